// Stand-ins for the program launch until it joins this branch: the plain
// look-up and process start, without the launcher's path handling.
#include "launch/run_file.h"

namespace kelvane {

std::string FindExe(Launcher& launcher, const std::string& file) {
  std::string program;
  return launcher.FindExecutable(file, "", program) > 32 ? program : "";
}

}  // namespace kelvane
