// A fetch the user watches and may stop.
#include "download/progress_monitor.h"
#include "download/url_download.h"
#include "ui/form1.h"

namespace kelvane {

std::string Form1::Download(const std::string& url, const std::string& file, int64_t limit) {
  std::string written;
  {
    ProgressMonitor monitor(DownloadProgress, sys.ui, [this] { return stop_ != Stop::None; });
    ++fetching_;
    written = URLDownload(sys, Err, url, file, monitor, limit);
    --fetching_;
  }
  if (stop_ == Stop::None) return written;
  // Stopped (or done just as the stop came): nothing of it is kept, then
  // the command does what it does at any other time.
  sys.fs.Remove(written.empty() ? file : written);
  if (fetching_ == 0) {
    if (stop_ == Stop::Cancel) CancelNow();
    EndProcess(Outcome);
  }
  return "";  // the outer fetch stops next and carries the command out
}

}  // namespace kelvane
