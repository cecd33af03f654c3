#include "fakes/fake_services.h"

#include <cstring>

#include "common/paths.h"
#include "common/unicode.h"
#include "download/fetch_policy.h"

namespace kelvane::fakes {

bool FakeProcessList::Next(Handle, ProcessEntry& entry) {
  if (cursor_ >= running.size()) return false;
  entry = {};  // a name that fills the field has no NUL, like the system's
  running[cursor_++].copy(entry.exeFile, sizeof entry.exeFile);
  return true;
}

FetchResult FakeFetcher::DownloadToFile(const std::string& url, const std::string& file,
                                        FetchMonitor& monitor, int64_t limit) {
  calls.emplace_back(url, file);
  auto it = bodies.find(url);
  if (it == bodies.end()) return {kFetchHttpError, "HTTP status 404"};
  const auto size = static_cast<int64_t>(it->second.size());
  for (int step = 0; step < steps; ++step) {
    if (atStep) atStep(step);
    if (!monitor.Progress(size * step / steps, size)) return {kFetchCancelled, "stopped"};
  }
  const std::string body = limit > 0 ? it->second.substr(0, limit) : it->second;
  if (file.empty() || !fs_.Write(file, body)) return {kFetchAccessDenied, "cannot write the file"};
  return {};
}

namespace {
constexpr CacheStatus kDone{true};
constexpr CacheStatus kEnd{false, CacheWord::kNoMore};
CacheStatus Failed(uint32_t code) { return {false, CacheWord::kOther, code}; }
}  // namespace

CacheStatus FakeUrlCache::FindFirstGroup(Handle& find, int64_t& groupId) {
  groupWalk_ = groups;
  groupCursor_ = 0;
  uint32_t size = 0;
  const CacheStatus status = FindNextGroup(1, groupId, size);
  find = status.ok ? 1 : 0;
  return status;
}

CacheStatus FakeUrlCache::FindNextGroup(Handle, int64_t& groupId, uint32_t&) {
  if (groupCursor_ >= groupWalk_.size()) return kEnd;
  const int64_t left = groupCursor_ == 0 ? 0 : groupWalk_[groupCursor_ - 1];
  groupId = groupWalk_[groupCursor_++];
  if (nextErrors.count(left)) return Failed(nextErrors[left]);
  return kDone;
}

CacheStatus FakeUrlCache::DeleteGroup(int64_t groupId, uint32_t) {
  if (deleteErrors.count(groupId)) return Failed(deleteErrors[groupId]);
  std::erase(groups, groupId);
  return kDone;
}

CacheStatus FakeUrlCache::FindFirstEntry(Handle& find, CacheEntryRecord& record, uint32_t& size) {
  entryWalk_ = entries;
  entryCursor_ = 0;
  const CacheStatus status = FindNextEntry(2, record, size);
  find = status.ok ? 2 : 0;
  return status;
}

CacheStatus FakeUrlCache::FindNextEntry(Handle, CacheEntryRecord& record, uint32_t&) {
  if (entryCursor_ >= entryWalk_.size()) return kEnd;
  record.sourceUrl = entryWalk_[entryCursor_++];
  return kDone;
}

CacheStatus FakeUrlCache::DeleteEntry(const std::string& sourceUrl) {
  std::erase(entries, sourceUrl);
  return kDone;
}

int FakeLauncher::FindExecutable(const std::string& file, const std::string&,
                                 std::string& program) {
  if (!fs_.Has(file)) return fs_.Attributes(file) ? 31 : 2;  // a folder has no association
  lookups.emplace_back(file, fs_.Bytes(file));
  if (unanswered.count(file)) return 31;
  const std::string name = FileNameOfPath(file);
  const size_t dot = name.rfind('.');
  const auto it = associations.find(dot == std::string::npos ? "" : name.substr(dot));
  if (it == associations.end()) return 31;
  program = it->second;
  return 42;
}

std::optional<uint32_t> FakeLauncher::CreateProcess(const std::string& commandLine, int) {
  started.push_back(commandLine);
  startedIn.push_back(fs_.CurrentFolder());
  if (refuses) return std::nullopt;
  return static_cast<uint32_t>(1000 + started.size());
}

bool FakeSettingsStore::RegistrySet(const std::string& section, const std::string& key,
                                    const std::string& value) {
  values[section + "/" + key] = value;
  return true;
}

std::string FakeSettingsStore::RegistryGet(const std::string& section, const std::string& key,
                                           const std::string& fallback) {
  auto it = values.find(section + "/" + key);
  return it == values.end() ? fallback : it->second;
}

int FakeLocale::GetLocaleInfo(uint32_t type, char* buffer, int length) {
  if (type != kEnglishLanguageName || languageName.empty()) return 0;
  const int n = static_cast<int>(languageName.size()) + 1;
  if (n > length) return 0;
  std::memcpy(buffer, languageName.c_str(), static_cast<size_t>(n));
  return n;
}

std::string FakeLocale::DecodeLegacyText(const std::string& bytes) {
  return Windows1252ToUtf8(bytes);
}

std::string FakeLocale::DecodeSystemText(const std::string& bytes) {
  std::string out;
  for (const char byte : bytes) {
    const auto c = static_cast<unsigned char>(byte);
    if (c >= 0x80) out += static_cast<char>(0xC0 | (c >> 6));
    out += c >= 0x80 ? static_cast<char>(0x80 | (c & 0x3F)) : byte;
  }
  return out;
}

}  // namespace kelvane::fakes
