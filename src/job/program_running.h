#pragma once
// Whether the program at a path is running.
#include <string>

#include "platform/process_list.h"

namespace kelvane {

// True when a running process's executable name equals the file-name part
// of `path`, compared in upper case as whole texts. The separator is "/" if
// the path holds one, else "\"; nothing else (quotes, blanks) is removed.
bool IsProgramRunning(ProcessList& processes, std::string path);

}  // namespace kelvane
