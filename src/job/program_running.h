#pragma once
// Whether the program that a job is to replace still runs.
#include <string>

#include "platform/process_list.h"

namespace kelvane {

// True while a process runs whose executable name equals the file-name part
// of `path` (compared without regard to case).
bool IsProgramRunning(ProcessList& processes, std::string path);

}  // namespace kelvane
