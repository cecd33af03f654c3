#include "platform/linux/process_end_linux.h"

#include <cstdio>
#include <cstdlib>

namespace kelvane::linux_platform {

void LinuxProcessEnd::EndNow(ExitCode code) {
  if (tidy_) tidy_();
  std::fflush(nullptr);
  std::_Exit(static_cast<int>(code));  // at once: no handler of the window runs any more
}

}  // namespace kelvane::linux_platform
