#pragma once
#include "platform/fetcher.h"

namespace kelvane::win32 {

// Fetches with WinINet, or for plain http on a socket of its own (see
// SocketRoute), rather than with URLDownloadToFile, whose result cannot be
// trusted (it reports success for error pages and cut bodies). A request
// runs on a thread of its own while the calling thread keeps the window
// alive. The data goes to a PartialFile that takes the target's place only
// when the download is whole.
class Win32Fetcher : public Fetcher {
 public:
  enum class Route {
    kChosen,   // the socket for plain http where the system's proxy settings allow
    kSocket,   // the socket for every plain http URL
    kLibrary,  // WinINet for everything
  };
  explicit Win32Fetcher(Route route = Route::kChosen) : route_(route) {}
  FetchResult DownloadToFile(const std::string& url, const std::string& file, FetchMonitor& monitor,
                             int64_t limit = 0) override;

 private:
  Route route_;
};

}  // namespace kelvane::win32
