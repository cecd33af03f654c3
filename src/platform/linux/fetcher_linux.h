#pragma once
#include "platform/fetcher.h"

namespace kelvane::linux_platform {

// Fetches with libcurl: HTTP errors fail, redirects are followed (up to a
// limit), a silent server fails after a time-out, caches are told not to
// answer, HTTPS certificates are checked and proxies come from the usual
// environment variables. The data goes to a temporary sibling that replaces
// the file only when the transfer is complete; a failure leaves the file
// as it was. A finished download that is a program (a "#!" script or an
// ELF binary) is executable, so a replaced program can be started again.
class CurlFetcher : public Fetcher {
 public:
  CurlFetcher();
  ~CurlFetcher() override;
  CurlFetcher(const CurlFetcher&) = delete;
  CurlFetcher& operator=(const CurlFetcher&) = delete;

  int32_t DownloadToFile(const std::string& url, const std::string& file) override;
};

}  // namespace kelvane::linux_platform
