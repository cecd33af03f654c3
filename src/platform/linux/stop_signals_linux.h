#pragma once
// The signals that ask a program to end (SIGTERM, SIGINT, SIGHUP) taken to
// the event loop, where they stop the job as the window's own commands do;
// SIGPIPE ignored, so that a reader who went away is a failed write, not
// the end of the process.
#include <functional>

namespace kelvane::linux_platform {

// Installs the handlers for the life of the process. `stop` runs on the
// event loop (at its next turn, also inside a yield or a message box).
void TakeStopSignals(std::function<void()> stop);

}  // namespace kelvane::linux_platform
