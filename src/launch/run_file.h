#pragma once
#include <cstdint>
#include <optional>
#include <string>

#include "platform/launcher.h"
#include "platform/platform.h"

namespace kelvane {

// The full path of the program associated with `file`, or empty.
std::string FindExe(Launcher& launcher, const std::string& file);
// Starts a program or opens a document; the process id, or nothing.
std::optional<uint32_t> StartFile(Platform& sys, std::string command, int windowStyle);

}  // namespace kelvane
