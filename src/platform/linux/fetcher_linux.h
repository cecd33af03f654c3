#pragma once
#include "platform/fetcher.h"

namespace kelvane::linux_platform {

// Fetches with libcurl (see CurlTransport in the .cc): HTTPS certificates are
// checked and proxies come from the usual environment variables (upper- or
// lower-case). The data goes to a PartialFile that takes the target's place
// only when the download is whole. A finished download that is a program (a
// "#!" script or an ELF binary) is executable, so a replaced program can be
// started again.
class CurlFetcher : public Fetcher {
 public:
  CurlFetcher();
  ~CurlFetcher() override;
  CurlFetcher(const CurlFetcher&) = delete;
  CurlFetcher& operator=(const CurlFetcher&) = delete;

  FetchResult DownloadToFile(const std::string& url, const std::string& file, FetchMonitor& monitor,
                             int64_t limit = 0) override;
};

}  // namespace kelvane::linux_platform
