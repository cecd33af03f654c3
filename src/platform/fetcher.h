#pragma once
// Fetching: the core decides (download/fetch_policy.h), a platform's
// transport asks the server once and reports what it saw.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

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

// How a fetch ended: 0 or a failure code (kFetch..., HRESULT-style), and for
// a failure the reason in English, e.g. "HTTP status 404" (a system's or
// library's own text may follow in parentheses).
struct FetchResult {
  int32_t code = 0;
  std::string reason;
  uint32_t systemError = 0;  // the failed system call's own number, when one failed
};

// Fetches URLs into files.
class Fetcher {
 public:
  virtual ~Fetcher() = default;
  // Fetches `url` into `file` (created, or replaced when it exists) as
  // FetchIntoFile does (download/fetch_policy.h). A failure leaves `file` as
  // it was and no temporary file behind.
  virtual FetchResult DownloadToFile(const std::string& url, const std::string& file,
                                     FetchMonitor& monitor, int64_t limit = 0) = 0;
};

// The head of an answer, as the server sent it.
struct FetchHead {
  int status = 0;                           // 0: a scheme without statuses (ftp)
  std::vector<std::string> contentLengths;  // every Content-Length field's value
  std::string transferEncoding;             // the fields' values, "" when absent
  std::string contentEncoding;
  std::string location;
};

// What a transport hands over while it runs. Head and Body come from one
// thread, Progress from the thread that called Get; any of them returning
// false stops the transfer.
class FetchReceiver {
 public:
  virtual ~FetchReceiver() = default;
  // Once, when the head is read; false: the body is not wanted.
  virtual bool Head(const FetchHead& head) = 0;
  // The body's bytes with the chunk framing removed, not decoded otherwise.
  virtual bool Body(const char* data, size_t size) = 0;
  // At least every 100 ms, also while the server is silent; `nowMs` is a
  // steady clock's reading in milliseconds (the platform's own clock).
  virtual bool Progress(int64_t nowMs) = 0;
};

// Why a transfer ended.
enum class FetchEnding {
  kWhole,          // the body's framing ended (the last chunk, the announced
                   // length, or the close that ends a body without either)
  kStopped,        // the receiver said stop
  kCut,            // the connection ended before the framing did
  kMalformed,      // framing or head that is not HTTP
  kInvalidUrl,     // a URL the transport cannot ask for
  kHostNotFound,   // the name did not resolve
  kCannotConnect,  // refused, unreachable, or no connection within the time-out
  kFailed,         // anything else
};

struct FetchEnd {
  FetchEnding ending = FetchEnding::kFailed;
  std::string detail;        // the library's or the system's own text, may be ""
  uint32_t systemError = 0;  // the failed system call's own number, when one failed
};

// One platform's way of asking a server: one request, no redirect followed,
// no cache asked, bodies asked for as identity, gzip or deflate, nothing
// decoded. It waits at most kFetchConnectTimeoutSeconds for a connection.
class FetchTransport {
 public:
  virtual ~FetchTransport() = default;
  virtual FetchEnd Get(const std::string& url, FetchReceiver& receiver) = 0;
};

// Where the body goes: the download's temporary file.
class FetchOutput {
 public:
  virtual ~FetchOutput() = default;
  // False with the system's text in `why` when the data could not be written.
  virtual bool Write(const char* data, size_t size, std::string& why) = 0;
};

}  // namespace kelvane
