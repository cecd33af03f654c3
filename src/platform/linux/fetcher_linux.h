#pragma once
#include "platform/fetcher.h"

namespace kelvane::linux_platform {

// Fetches with libcurl: only a whole 2xx body counts, redirects are followed
// (up to a limit, never from https to plain http), compressed bodies are
// decoded, a transfer slower than the stall rate fails, caches are told not
// to answer, HTTPS certificates are checked and proxies come from the usual
// environment variables (upper- or lower-case). The data goes to a partial
// file that takes the target's place only when the transfer is complete; a
// failure leaves the file as it was. A finished download that is a program
// (a "#!" script or an ELF binary) is executable, so a replaced program can
// be started again.
class CurlFetcher : public Fetcher {
 public:
  CurlFetcher();
  ~CurlFetcher() override;
  CurlFetcher(const CurlFetcher&) = delete;
  CurlFetcher& operator=(const CurlFetcher&) = delete;

  int32_t DownloadToFile(const std::string& url, const std::string& file, FetchMonitor& monitor,
                         int64_t limit = 0) override;
  std::string LastFailure() const override { return failure_; }

 private:
  int32_t Fail(int32_t code, const std::string& why);
  std::string failure_;
};

}  // namespace kelvane::linux_platform
