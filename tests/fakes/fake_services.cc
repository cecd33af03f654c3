#include "fakes/fake_services.h"

#include <algorithm>
#include <cstring>

#include "common/paths.h"
#include "common/text.h"

namespace kelvane::fakes {

ProcessList::Handle FakeProcessList::CreateSnapshot() {
  ++snapshots;
  return failSnapshot ? 0 : 1;
}

bool FakeProcessList::Fill(ProcessEntry& entry) {
  if (cursor_ >= running.size()) return false;
  std::memset(entry.exeFile, 0, sizeof entry.exeFile);
  const std::string& name = running[cursor_];
  std::memcpy(entry.exeFile, name.data(), std::min(name.size(), sizeof entry.exeFile));
  ++cursor_;
  return true;
}

bool FakeProcessList::First(Handle snapshot, ProcessEntry& entry) {
  cursor_ = 0;
  return snapshot != 0 && entry.size == sizeof(ProcessEntry) && Fill(entry);
}

bool FakeProcessList::Next(Handle snapshot, ProcessEntry& entry) {
  return snapshot != 0 && Fill(entry);
}

int32_t FakeFetcher::DownloadToFile(const std::string& url, const std::string& file) {
  calls.emplace_back(url, file);
  auto it = bodies.find(url);
  if (it == bodies.end()) return kNotFound;
  if (file.empty() || !fs_.Write(file, it->second)) return kNotFound;
  return 0;
}

ProcessList::Handle FakeUrlCache::FindFirstGroup(int64_t& groupId) {
  calls.push_back("FindFirstGroup");
  groupCursor_ = 0;
  if (groups.empty()) {
    lastError = kErrorFileNotFound;
    return 0;
  }
  groupId = groups[groupCursor_++];
  lastError = 0;
  return 1;
}

bool FakeUrlCache::FindNextGroup(Handle, int64_t& groupId, uint32_t&) {
  calls.push_back("FindNextGroup");
  if (groupCursor_ >= groups.size()) {
    lastError = kErrorFileNotFound;
    return false;
  }
  groupId = groups[groupCursor_++];
  lastError = 0;
  return true;
}

bool FakeUrlCache::DeleteGroup(int64_t groupId, uint32_t) {
  calls.push_back("DeleteGroup:" + std::to_string(groupId));
  lastError = 0;
  return true;
}

ProcessList::Handle FakeUrlCache::FindFirstEntry(CacheEntryRecord& record, uint32_t&) {
  calls.push_back("FindFirstEntry");
  entryCursor_ = 0;
  if (entries.empty()) {
    lastError = kErrorNoMoreItems;
    return 0;
  }
  record.sourceUrl = entries[entryCursor_++];
  lastError = 0;
  return 1;
}

bool FakeUrlCache::FindNextEntry(Handle, CacheEntryRecord& record, uint32_t&) {
  calls.push_back("FindNextEntry");
  if (entryCursor_ >= entries.size()) {
    lastError = kErrorNoMoreItems;
    return false;
  }
  record.sourceUrl = entries[entryCursor_++];
  lastError = 0;
  return true;
}

bool FakeUrlCache::DeleteEntry(const std::string& sourceUrl) {
  calls.push_back("DeleteEntry:" + sourceUrl);
  lastError = 0;
  return true;
}

int FakeLauncher::FindExecutable(const std::string& file, const std::string&,
                                 std::string& program) {
  if (!fs_.Has(file)) return 2;
  lookups.emplace_back(file, fs_.Bytes(file));
  if (unanswered.count(file)) return 31;
  const std::string name = FileNameOfPath(file);
  const size_t dot = name.rfind('.');
  const std::string ext = dot == std::string::npos ? "" : UpperCase(name.substr(dot));
  if (ext == ".EXE" || ext == ".COM" || ext == ".BAT") {
    program = file;
    return 42;
  }
  for (const auto& [type, exe] : associations) {
    if (UpperCase(type) == ext) {
      program = exe;
      return 42;
    }
  }
  return 31;
}

std::optional<uint32_t> FakeLauncher::CreateProcess(const std::string& commandLine, int) {
  started.push_back(commandLine);
  if (startFails) return std::nullopt;
  return static_cast<uint32_t>(1000 + started.size());
}

bool FakeSettingsStore::RegistrySet(const std::string& section, const std::string& key,
                                    const std::string& value) {
  if (!writable) return false;
  ++writes;
  values[section + "/" + key] = value;
  return true;
}

std::string FakeSettingsStore::RegistryGet(const std::string& section, const std::string& key,
                                           const std::string& fallback) {
  if (!readable) return fallback;
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

std::string FakeLocale::DecodeSystemText(const std::string& bytes) {
  std::string out;
  out.reserve(bytes.size());
  for (size_t i = 0; i < bytes.size();) {
    size_t ascii = i;  // copied as a run: tests decode files of many megabytes
    while (ascii < bytes.size() && static_cast<unsigned char>(bytes[ascii]) < 0x80) ++ascii;
    out.append(bytes, i, ascii - i);
    if (ascii == bytes.size()) break;
    const unsigned char c = static_cast<unsigned char>(bytes[ascii]);
    out += static_cast<char>(0xC0 | (c >> 6));
    out += static_cast<char>(0x80 | (c & 0x3F));
    i = ascii + 1;
  }
  return out;
}

}  // namespace kelvane::fakes
