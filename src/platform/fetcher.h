#pragma once
#include <cstdint>
#include <string>

namespace kelvane {

// The core's side of a running transfer.
class FetchMonitor {
 public:
  virtual ~FetchMonitor() = default;
  // Called on the thread that called DownloadToFile, at least every 100 ms
  // while the transfer runs; `total` is -1 while the size is unknown. The
  // core lets the window process its events here. Returning false stops the
  // transfer: DownloadToFile then returns kFetchCancelled within a second.
  virtual bool Progress(int64_t received, int64_t total) = 0;
};

// Fetches URLs into files.
class Fetcher {
 public:
  virtual ~Fetcher() = default;
  // Fetches `url` into `file` (created, or replaced when it exists) and
  // returns when done. Returns 0 on success, otherwise a failure code (an
  // HRESULT-style negative number). Only a whole body is a success: a 2xx
  // status other than 204, not empty, as long as announced (or a complete
  // chunked body), decoded when it came compressed. A failure leaves `file`
  // as it was and no temporary file behind. With `limit` above 0 at most
  // that many bytes are fetched; a longer body is cut there and succeeds.
  virtual int32_t DownloadToFile(const std::string& url, const std::string& file,
                                 FetchMonitor& monitor, int64_t limit = 0) = 0;
  // Why the last DownloadToFile failed, as one line for standard error: the
  // HTTP status and the URL, or the library's or the system's error text.
  virtual std::string LastFailure() const = 0;
};

}  // namespace kelvane
