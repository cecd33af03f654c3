#pragma once
// Small behaving fakes of the remaining platform services.
#include <functional>
#include <map>
#include <optional>
#include <set>
#include <stdexcept>
#include <string>
#include <vector>

#include "fakes/fake_file_system.h"
#include "platform/fetcher.h"
#include "platform/launcher.h"
#include "platform/locale.h"
#include "platform/process_facts.h"
#include "platform/process_list.h"
#include "platform/settings_store.h"
#include "platform/url_cache.h"

namespace kelvane::fakes {

// Thrown by FakeProcessEnd; only the test harness catches it.
struct ProcessEnded {
  ExitCode code;
};

class FakeProcessEnd : public ProcessEnd {
 public:
  std::optional<ExitCode> code;  // how the process ended, once it has
  [[noreturn]] void EndNow(ExitCode c) override {
    code = c;
    throw ProcessEnded{c};
  }
};

class FakeProcessList : public ProcessList {
 public:
  std::vector<std::string> running;  // executable names
  Handle CreateSnapshot() override { return 1; }
  bool First(Handle snapshot, ProcessEntry& entry) override {
    cursor_ = 0;
    return Next(snapshot, entry);
  }
  bool Next(Handle, ProcessEntry& entry) override;
  void Close(Handle) override {}

 private:
  size_t cursor_ = 0;
};

// Serves bodies by URL into the fake file system, reporting `steps`
// progress calls on the way; a monitor that says stop gets kFetchCancelled at once.
class FakeFetcher : public Fetcher {
 public:
  explicit FakeFetcher(FakeFileSystem& fs) : fs_(fs) {}
  std::map<std::string, std::string> bodies;
  int steps = 0;
  std::function<void(int step)> atStep;                    // runs before each progress report
  std::vector<std::pair<std::string, std::string>> calls;  // url, file
  FetchResult DownloadToFile(const std::string& url, const std::string& file, FetchMonitor& monitor,
                             int64_t limit = 0) override;

 private:
  FakeFileSystem& fs_;
};

// A URL cache of groups and entries that the test fills; deleting a group
// takes nothing else along. A code in `deleteErrors` fails that group's
// deletion; one in `nextErrors` fails the search after that group, which
// still moves on.
class FakeUrlCache : public UrlCache {
 public:
  std::vector<int64_t> groups;
  std::vector<std::string> entries;  // source URLs
  std::map<int64_t, uint32_t> deleteErrors, nextErrors;

  bool HasGroupFunctions() override { return true; }
  CacheStatus FindFirstGroup(Handle& find, int64_t& groupId) override;
  CacheStatus FindNextGroup(Handle find, int64_t& groupId, uint32_t& size) override;
  CacheStatus DeleteGroup(int64_t groupId, uint32_t flags) override;
  CacheStatus FindFirstEntry(Handle& find, CacheEntryRecord& record, uint32_t& size) override;
  CacheStatus FindNextEntry(Handle find, CacheEntryRecord& record, uint32_t& size) override;
  CacheStatus DeleteEntry(const std::string& sourceUrl) override;

 private:
  std::vector<int64_t> groupWalk_;
  std::vector<std::string> entryWalk_;
  size_t groupCursor_ = 0, entryCursor_ = 0;
};

// Associations by extension; started command lines are recorded.
class FakeLauncher : public Launcher {
 public:
  explicit FakeLauncher(FakeFileSystem& fs) : fs_(fs) {}
  std::map<std::string, std::string> associations;  // ".html" -> program
  std::set<std::string> unanswered;                 // files whose look-up fails all the same
  std::vector<std::pair<std::string, std::string>> lookups;  // file, its bytes when asked
  std::vector<std::string> started;
  std::vector<std::string> startedIn;  // the current folder at each start
  bool refuses = false;                // every start fails (after it is recorded)
  int FindExecutable(const std::string& file, const std::string& directory,
                     std::string& program) override;
  std::optional<uint32_t> CreateProcess(const std::string& commandLine, int windowStyle) override;

 private:
  FakeFileSystem& fs_;
};

class FakeSettingsStore : public SettingsStore {
 public:
  std::map<std::string, std::string> values;  // "section/key" -> value
  bool RegistrySet(const std::string& section, const std::string& key,
                   const std::string& value) override;
  std::string RegistryGet(const std::string& section, const std::string& key,
                          const std::string& fallback) override;
};

class FakeLocale : public Locale {
 public:
  std::string languageName = "English";  // empty: the query fails
  int GetLocaleInfo(uint32_t type, char* buffer, int length) override;
  std::string DecodeSystemText(const std::string& bytes) override;  // Latin-1 to UTF-8
  std::string DecodeLegacyText(const std::string& bytes) override;  // Windows-1252, as on Linux
};

class FakeProcessFacts : public ProcessFacts {
 public:
  std::string arguments;
  std::string exeName = "kelvane";
  std::string exeFolder = "C:\\Tools";
  double twipsPerPixel = 15;
  std::optional<double> twipsPerPixelVertical;  // set: a screen with non-square pixels
  std::string ArgumentText() override { return arguments; }
  std::string ExeName() override { return exeName; }
  std::string ExeFolder() override { return exeFolder; }
  std::string ProbeFolder() override { return exeFolder.substr(0, 1) + ":\\"; }
  std::string TempFolder() override { return "C:\\Temp\\"; }
  double TwipsPerPixelX() override { return twipsPerPixel; }
  double TwipsPerPixelY() override { return twipsPerPixelVertical.value_or(twipsPerPixel); }
};

}  // namespace kelvane::fakes
