#pragma once
// Fetching one URL into one local file.
#include <string>

#include "common/error_record.h"
#include "platform/platform.h"

namespace kelvane {

// Fetches `url` into `target` (a file, or a folder that receives the URL's
// file name). The path written, or empty when the fetch failed; the failure
// is noted in `err`.
std::string URLDownload(Platform& sys, ErrorRecord& err, std::string url, std::string target);

}  // namespace kelvane
