#pragma once
#include <string>

#include "common/error_record.h"
#include "platform/platform.h"

namespace kelvane {

// Fetches `url` into the file `target`; `target` on success, empty otherwise.
std::string URLDownload(Platform& sys, ErrorRecord& err, std::string url, std::string target);

}  // namespace kelvane
