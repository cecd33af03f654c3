#pragma once
// Starting programs and documents.
#include <cstdint>
#include <optional>
#include <string>

#include "platform/platform.h"

namespace kelvane {

// Starts `command` (a path, a blank, then the arguments) with a window style;
// the process id, or nothing when the start failed.
std::optional<uint32_t> StartFile(Platform& sys, std::string command, int windowStyle);

}  // namespace kelvane
