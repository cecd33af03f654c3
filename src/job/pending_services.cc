// Plain stand-ins for the process check, the download and the launcher, so
// that the job links and runs against the fakes until the full versions land.
#include <cstring>

#include "common/paths.h"
#include "common/text.h"
#include "download/url_download.h"
#include "job/program_running.h"
#include "launch/run_file.h"

namespace kelvane {

bool IsProgramRunning(ProcessList& processes, std::string path) {
  const std::string name = UpperCase(FileNameOfPath(path));
  const ProcessList::Handle snapshot = processes.CreateSnapshot();
  if (snapshot == 0) return false;
  ProcessEntry entry;
  entry.size = sizeof entry;
  bool found = false;
  for (bool more = processes.First(snapshot, entry); more && !found;
       more = processes.Next(snapshot, entry))
    found =
        UpperCase(std::string(entry.exeFile, strnlen(entry.exeFile, sizeof entry.exeFile))) == name;
  processes.Close(snapshot);
  return found;
}

std::string URLDownload(Platform& sys, ErrorRecord& err, std::string url, std::string target) {
  const int32_t result = sys.fetcher.DownloadToFile(url, target);
  if (result == 0) return target;
  err.Raise(result, "modURLDownload.URLDownload");
  return "";
}

std::optional<uint32_t> StartFile(Platform& sys, std::string command, int windowStyle) {
  return sys.launcher.CreateProcess(command, windowStyle);
}

}  // namespace kelvane
