#pragma once
// Opening web pages in the user's browser, found through the program that
// opens ".html" files.
#include <cstdint>
#include <optional>
#include <string>

#include "platform/platform.h"

namespace kelvane {

// Starts the browser with `url`; its process id, or nothing.
std::optional<uint32_t> OpenWebPage(Platform& sys, const std::string& url, int windowStyle);
// The full path of the program associated with `file`, or empty. Falls back
// to probe files of the same name, then of the same type, in the probe folder.
std::string GetExeForFile(Platform& sys, const std::string& file);

}  // namespace kelvane
