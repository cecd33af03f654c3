#include "job/program_running.h"

#include <algorithm>

#include "common/paths.h"
#include "common/text.h"

namespace kelvane {

bool IsProgramRunning(ProcessList& processes, std::string path) {
  const char separator = SeparatorOf(path);
  const size_t last = path.rfind(separator);
  const std::string wanted = UpperCase(last == std::string::npos ? path : path.substr(last + 1));

  const ProcessList::Handle snapshot = processes.CreateSnapshot();
  if (snapshot == 0) return false;
  ProcessEntry entry;
  entry.size = sizeof(ProcessEntry);
  bool more = processes.First(snapshot, entry);
  while (more) {
    // The name ends at its first NUL, or fills the whole field.
    const char* end = std::find(std::begin(entry.exeFile), std::end(entry.exeFile), '\0');
    if (UpperCase(std::string_view(entry.exeFile, end - entry.exeFile)) == wanted) {
      processes.Close(snapshot);
      return true;
    }
    more = processes.Next(snapshot, entry);
  }
  processes.Close(snapshot);
  return false;
}

}  // namespace kelvane
