// Stand-ins that do nothing and say so, until the real services land.
#include "platform/linux/services_linux.h"

#include <unistd.h>

namespace kelvane::linux_platform {
namespace {

class NoFetcher : public Fetcher {
 public:
  int32_t DownloadToFile(const std::string&, const std::string&) override {
    return static_cast<int32_t>(0x800C0008u);  // the resource could not be found
  }
};

class EmptyCache : public UrlCache {
 public:
  bool HasGroupFunctions() override { return true; }
  Handle FindFirstGroup(int64_t&) override { return None(); }
  bool FindNextGroup(Handle, int64_t&, uint32_t&) override { return None(); }
  bool DeleteGroup(int64_t, uint32_t) override { return NotFound(); }
  Handle FindFirstEntry(CacheEntryRecord&, uint32_t&) override { return None(); }
  bool FindNextEntry(Handle, CacheEntryRecord&, uint32_t&) override { return None(); }
  bool DeleteEntry(const std::string&) override { return NotFound(); }
  uint32_t LastError() override { return lastError_; }
  void SetLastError(uint32_t code) override { lastError_ = code; }

 private:
  int None() {
    lastError_ = kErrorNoMoreItems;
    return 0;
  }
  bool NotFound() {
    lastError_ = kErrorFileNotFound;
    return false;
  }
  uint32_t lastError_ = 0;
};

class NoProcesses : public ProcessList {
 public:
  Handle CreateSnapshot() override { return 1; }
  bool First(Handle, ProcessEntry&) override { return false; }
  bool Next(Handle, ProcessEntry&) override { return false; }
  void Close(Handle) override {}
};

class NoLauncher : public Launcher {
 public:
  int FindExecutable(const std::string&, const std::string&, std::string&) override {
    return 31;  // no association
  }
  std::optional<uint32_t> CreateProcess(const std::string&, int) override { return std::nullopt; }
};

class EmptyFileSystem : public FileSystem {
 public:
  bool IsPresent(const std::string&) override { return false; }
  std::optional<uint32_t> Attributes(const std::string&) override { return std::nullopt; }
  bool Delete(const std::string&) override { return false; }
  bool Copy(const std::string&, const std::string&) override { return false; }
  std::optional<std::string> Read(const std::string&) override { return std::nullopt; }
  bool Write(const std::string&, const std::string&) override { return false; }
  std::string CurrentFolder() override {
    char buffer[4096];
    return getcwd(buffer, sizeof buffer) ? buffer : "";
  }
  bool SetCurrentFolder(const std::string&) override { return false; }
  bool SetCurrentDrive(char) override { return false; }
};

class NoSettings : public SettingsStore {
 public:
  bool RegistrySet(const std::string&, const std::string&, const std::string&) override {
    return false;
  }
  std::string RegistryGet(const std::string&, const std::string&,
                          const std::string& fallback) override {
    return fallback;
  }
};

class PlaceholderServices : public LinuxServices {
 public:
  Fetcher& fetcher() override { return fetcher_; }
  UrlCache& cache() override { return cache_; }
  ProcessList& processes() override { return processes_; }
  Launcher& launcher() override { return launcher_; }
  FileSystem& fs() override { return fs_; }
  SettingsStore& settings() override { return settings_; }

 private:
  NoFetcher fetcher_;
  EmptyCache cache_;
  NoProcesses processes_;
  NoLauncher launcher_;
  EmptyFileSystem fs_;
  NoSettings settings_;
};

}  // namespace

std::unique_ptr<LinuxServices> MakeLinuxServices() {
  return std::make_unique<PlaceholderServices>();
}

}  // namespace kelvane::linux_platform
