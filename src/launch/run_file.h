#pragma once
// Starting programs and documents.
#include <cstdint>
#include <optional>
#include <string>

#include "platform/launcher.h"
#include "platform/platform.h"

namespace kelvane {

// The full path of the program associated with `file`, or empty.
std::string FindExe(Launcher& launcher, const std::string& file);
// Starts `command` (a path, a blank, then the arguments) with a window style;
// the process id, or nothing when the start failed.
std::optional<uint32_t> StartFile(Platform& sys, std::string command, int windowStyle);

}  // namespace kelvane
