#pragma once
// Starting programs and opening documents.
#include <cstdint>
#include <optional>
#include <string>

#include "platform/launcher.h"
#include "platform/platform.h"

namespace kelvane {

// Starts the program or opens the document that `command` names, with the
// arguments that follow it, without waiting. `command` is a path (in double
// quotes when it holds a blank), a blank and the arguments. Returns the
// started process's id, or nothing when no process could be started.
std::optional<uint32_t> StartFile(Platform& sys, std::string command, int windowStyle);

// The full path of the program associated with `file`, or "" when there is
// none or the file is missing.
std::string FindExe(Launcher& launcher, const std::string& file);

}  // namespace kelvane
