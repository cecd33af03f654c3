// Stand-ins that do nothing, honestly: every call reports failure or
// emptiness, so the core takes its failure paths until the real services
// are built.
#include "platform/win32/services_win32.h"

namespace kelvane::win32 {
namespace {

constexpr int32_t kDownloadFailure = static_cast<int32_t>(0x800C0008);  // like a refused connection
constexpr int kNoAssociation = 31;

class NoProcessList : public ProcessList {
 public:
  Handle CreateSnapshot() override { return 0; }
  bool First(Handle, ProcessEntry&) override { return false; }
  bool Next(Handle, ProcessEntry&) override { return false; }
  void Close(Handle) override {}
};

class NoFetcher : public Fetcher {
 public:
  int32_t DownloadToFile(const std::string&, const std::string&) override {
    return kDownloadFailure;
  }
};

class EmptyUrlCache : public UrlCache {
 public:
  bool HasGroupFunctions() override { return false; }
  Handle FindFirstGroup(int64_t&) override { return NoMore(); }
  bool FindNextGroup(Handle, int64_t&, uint32_t&) override { return NoMore() != 0; }
  bool DeleteGroup(int64_t, uint32_t) override { return NoMore() != 0; }
  Handle FindFirstEntry(CacheEntryRecord&, uint32_t&) override { return NoMore(); }
  bool FindNextEntry(Handle, CacheEntryRecord&, uint32_t&) override { return NoMore() != 0; }
  bool DeleteEntry(const std::string&) override {
    lastError_ = kErrorFileNotFound;
    return false;
  }
  uint32_t LastError() override { return lastError_; }
  void SetLastError(uint32_t code) override { lastError_ = code; }

 private:
  Handle NoMore() {
    lastError_ = kErrorNoMoreItems;
    return 0;
  }
  uint32_t lastError_ = 0;
};

class NoLauncher : public Launcher {
 public:
  int FindExecutable(const std::string&, const std::string&, std::string& program) override {
    program.clear();
    return kNoAssociation;
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
  std::string CurrentFolder() override { return {}; }
  bool SetCurrentFolder(const std::string&) override { return false; }
  bool SetCurrentDrive(char) override { return false; }
};

class ForgetfulSettingsStore : public SettingsStore {
 public:
  bool RegistrySet(const std::string&, const std::string&, const std::string&) override {
    return false;
  }
  std::string RegistryGet(const std::string&, const std::string&,
                          const std::string& fallback) override {
    return fallback;
  }
};

}  // namespace

Win32Services MakeWin32Services() {
  return {std::make_unique<NoProcessList>(),   std::make_unique<NoFetcher>(),
          std::make_unique<EmptyUrlCache>(),   std::make_unique<NoLauncher>(),
          std::make_unique<EmptyFileSystem>(), std::make_unique<ForgetfulSettingsStore>()};
}

}  // namespace kelvane::win32
