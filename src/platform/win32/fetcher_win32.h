#pragma once
#include "platform/fetcher.h"

namespace kelvane::win32 {

// Fetches with WinINet, or for plain http without a proxy on a socket of its
// own (see SocketRoute), rather than with URLDownloadToFile, whose result
// cannot be trusted (it reports success for error pages and cut bodies). The
// transfer runs on a thread of its own while the calling thread waits for
// it, keeps the window alive through the monitor and watches its speed.
// Redirects are followed here (never from https to http), gzip and deflate
// are decoded, the cache is neither read nor written, proxies are the
// system's. The data goes to a temporary sibling with a name derived from
// the file's, so that a crashed run's leftover is removed by the next
// fetch of the same file; it replaces the file only when complete.
class Win32Fetcher : public Fetcher {
 public:
  int32_t DownloadToFile(const std::string& url, const std::string& file, FetchMonitor& monitor,
                         int64_t limit = 0) override;
  std::string LastFailure() const override { return failure_; }

 private:
  std::string failure_;
};

}  // namespace kelvane::win32
