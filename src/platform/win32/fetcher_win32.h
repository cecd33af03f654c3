#pragma once
#include "platform/fetcher.h"

namespace kelvane::win32 {

// Fetches with WinINet rather than URLDownloadToFile, whose result cannot
// be trusted (it reports success for error pages and cut bodies): an HTTP
// status other than 2xx fails, a body shorter than its Content-Length
// fails, a silent server fails after a time-out, the cache is neither read
// nor written, proxies are the system's. The data goes to a temporary
// sibling that replaces the file only when complete; a failure leaves the
// file as it was.
class WinInetFetcher : public Fetcher {
 public:
  int32_t DownloadToFile(const std::string& url, const std::string& file) override;
};

}  // namespace kelvane::win32
