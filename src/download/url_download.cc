#include "download/url_download.h"

#include "common/error_line.h"
#include "common/text.h"
#include "download/cache_purge.h"
#include "download/fetch_policy.h"

namespace kelvane {
namespace {

constexpr int kLookupFileNotFound = 2;

bool IsFolder(Platform& sys, const std::string& path) {
  if (!FileExists(sys.launcher, path)) return false;
  const auto attributes = sys.fs.Attributes(path);
  return attributes && (*attributes & FileSystem::kAttributeDirectory) != 0;
}

}  // namespace

std::string JoinPath(const std::string& folder, const std::string& name) {
  if (folder.empty()) return name;
  if (folder.back() == '\\') return folder + name;
  return folder + "\\" + name;
}

bool FileExists(Launcher& launcher, const std::string& path) {
  std::string program(255, ' ');
  return launcher.FindExecutable(path, "", program) != kLookupFileNotFound;
}

std::string URLDownload(Platform& sys, ErrorRecord& err, std::string url, std::string target,
                        FetchMonitor& monitor, int64_t limit) {
  url = Unquote(url);
  target = Unquote(target);
  std::string file = target;
  if (IsFolder(sys, target)) {
    const size_t slash = url.rfind('/');
    if (slash == std::string::npos) {
      // No file name in the URL: noted, and the fetch below fails on the
      // empty name.
      err.Raise(kFetchInvalidUrl, kUrlDownloadSource);
      file.clear();
    } else {
      file = JoinPath(target, url.substr(slash + 1));
    }
  }
  ClearUrlCache(sys.cache, sys.ui);
  sys.ui.DoEvents();
  const FetchResult result = sys.fetcher.DownloadToFile(url, file, monitor, limit);
  if (result.code != 0) {
    err.Raise(result.code, kUrlDownloadSource, result.systemError);
    if (result.code != kFetchCancelled) WriteErrorLine("download failed", result.reason, url);
    return "";
  }
  return file;
}

}  // namespace kelvane
