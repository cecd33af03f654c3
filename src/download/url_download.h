#pragma once
// Fetching one URL into one local file.
#include <string>

#include "common/error_record.h"
#include "platform/launcher.h"
#include "platform/platform.h"

namespace kelvane {

constexpr const char* kUrlDownloadSource = "modURLDownload.URLDownload";

// Fetches `url` into `target` (a file, or an existing folder that receives
// the file named by the URL's end) after emptying the URL cache, telling
// `monitor` how far it is; with `limit` above 0 no more is fetched. Returns
// the file written, or "" on failure with the failure in `err` and, unless
// the monitor stopped it, one line with the reason on standard error.
std::string URLDownload(Platform& sys, ErrorRecord& err, std::string url, std::string target,
                        FetchMonitor& monitor, int64_t limit = 0);

// `folder` and `name` joined with "\" unless the folder ends with one.
std::string JoinPath(const std::string& folder, const std::string& name);

// False only when the program lookup says the path is missing (answer 2):
// true for files of every kind and for folders.
bool FileExists(Launcher& launcher, const std::string& path);

}  // namespace kelvane
