#pragma once
// The framing of an HTTP/1.1 response, for the one fetcher that speaks HTTP
// on a socket itself: the Windows program's socket route
// (platform/win32/socket_route_win32.cc). It exists because WinINet, under
// Wine at least, takes a chunked body whose connection dropped for a whole
// one. What matters here is the head and where the body ends: a body cut
// short must never pass for a whole one. What the body must be to count is
// not decided here but in download/fetch_policy.h, for every fetcher.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace kelvane {

// What a fetcher acts on in a response head.
struct HttpHead {
  int status = 0;
  std::string reason;
  std::string location;
  std::string contentEncoding;   // "" when the body is not encoded
  std::string transferEncoding;  // as sent
  int64_t contentLength = -1;    // -1: not announced
  bool chunked = false;
};

// Reads a head: the status line and the header lines, without the blank line
// that ends them. False when it is not an HTTP/1.x response head.
bool ParseHttpHead(std::string_view text, HttpHead& head);

// Takes the bytes of a body as they arrive and tells where it ends.
class HttpBody {
 public:
  // Framed by chunks, by the announced length, or else by the closing of the
  // connection. (A body that a status forbids counts as given.)
  explicit HttpBody(const HttpHead& head);

  // Turns `size` received bytes into body bytes, in place at the front of
  // `data`; returns how many. Bytes past the end of the body are dropped.
  // Sets Malformed() on bad chunk framing.
  size_t Take(char* data, size_t size);
  // Whether the whole body is here once the connection has `closed` too.
  bool Complete(bool closed) const;
  bool Malformed() const { return state_ == State::kMalformed; }

 private:
  enum class State {
    kSize,
    kExtension,
    kSizeEnd,
    kData,
    kDataEnd,
    kTrailer,
    kTrailerLine,
    kDone,
    kMalformed
  };
  // One byte of a chunk's size line, of the line breaks or of the trailer.
  void FrameByte(char c);
  void SizeByte(char c);

  bool byLength_;
  State state_;
  uint64_t remaining_ = 0;  // of the body (by length) or of the chunk
  int sizeDigits_ = 0;
};

}  // namespace kelvane
