#include "download/socket_http_framing.h"

#include <algorithm>
#include <charconv>

#include "common/text.h"

namespace kelvane {
namespace {

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  return c >= 'A' && c <= 'F' ? c - 'A' + 10 : -1;
}

}  // namespace

bool ParseHttpHead(std::string_view text, HttpHead& head) {
  head = HttpHead();
  size_t end = text.find('\n');
  const std::string_view status = TrimWhitespace(text.substr(0, end));
  if (status.size() < 12 || status.substr(0, 7) != "HTTP/1." || status[8] != ' ') return false;
  const auto [rest, error] = std::from_chars(status.data() + 9, status.data() + 12, head.status);
  if (error != std::errc() || rest != status.data() + 12 || head.status < 100) return false;
  head.reason = std::string(TrimWhitespace(status.substr(12)));
  while (end != std::string_view::npos) {
    const size_t start = end + 1;
    end = text.find('\n', start);
    const std::string_view line =
        text.substr(start, end == std::string_view::npos ? end : end - start);
    const size_t colon = line.find(':');
    if (colon == std::string_view::npos) continue;
    const std::string_view name = TrimWhitespace(line.substr(0, colon));
    const std::string_view value = TrimWhitespace(line.substr(colon + 1));
    if (EqualsIgnoringCase(name, "Location")) {
      head.location = value;
    } else if (EqualsIgnoringCase(name, "Content-Encoding")) {
      head.contentEncoding = EqualsIgnoringCase(value, "identity") ? "" : value;
    } else if (EqualsIgnoringCase(name, "Transfer-Encoding")) {
      head.transferEncoding = value;
      // The last coding is the one that frames the body.
      const size_t comma = value.rfind(',');
      head.chunked = EqualsIgnoringCase(
          TrimWhitespace(comma == std::string_view::npos ? value : value.substr(comma + 1)),
          "chunked");
    } else if (EqualsIgnoringCase(name, "Content-Length")) {
      int64_t length = -1;
      const auto [last, bad] = std::from_chars(value.data(), value.data() + value.size(), length);
      // Two different lengths, or no number, leave the end unknowable.
      if (bad != std::errc() || last != value.data() + value.size() || length < 0 ||
          (head.contentLength >= 0 && head.contentLength != length))
        return false;
      head.contentLength = length;
    }
  }
  return true;
}

HttpBody::HttpBody(const HttpHead& head)
    : byLength_(!head.chunked), state_(head.chunked ? State::kSize : State::kData) {
  if (!byLength_) return;
  const bool bodiless = head.status == 204 || head.status == 304 || head.status < 200;
  remaining_ = bodiless                  ? 0
               : head.contentLength >= 0 ? static_cast<uint64_t>(head.contentLength)
                                         : UINT64_MAX;
  if (remaining_ == 0) state_ = State::kDone;
}

size_t HttpBody::Take(char* data, size_t size) {
  size_t out = 0;
  for (size_t i = 0; i < size && state_ != State::kDone && state_ != State::kMalformed;) {
    if (state_ != State::kData) {
      FrameByte(data[i++]);
      continue;
    }
    const size_t n = static_cast<size_t>(std::min<uint64_t>(remaining_, size - i));
    std::char_traits<char>::move(data + out, data + i, n);
    out += n;
    i += n;
    if (remaining_ != UINT64_MAX) remaining_ -= n;
    if (remaining_ == 0) state_ = byLength_ ? State::kDone : State::kDataEnd;
  }
  return out;
}

void HttpBody::SizeByte(char c) {
  if (HexDigit(c) >= 0 && sizeDigits_ < 15) {
    remaining_ = remaining_ * 16 + static_cast<uint64_t>(HexDigit(c));
    ++sizeDigits_;
  } else if (sizeDigits_ > 0 && (c == ';' || c == ' ' || c == '\t')) {
    state_ = State::kExtension;
  } else if (sizeDigits_ > 0 && c == '\r') {
    state_ = State::kSizeEnd;
  } else {
    state_ = State::kMalformed;
  }
}

void HttpBody::FrameByte(char c) {
  switch (state_) {
    case State::kSize:
      SizeByte(c);
      break;
    case State::kExtension:
      if (c == '\r') state_ = State::kSizeEnd;
      break;
    case State::kSizeEnd:
      if (c != '\n') {
        state_ = State::kMalformed;
      } else {
        state_ = remaining_ > 0 ? State::kData : State::kTrailer;
        sizeDigits_ = 0;
      }
      break;
    case State::kDataEnd:
      // The CR LF after a chunk's data, then the next size line.
      if (c == '\n') {
        state_ = State::kSize;
      } else if (c != '\r') {
        state_ = State::kMalformed;
      }
      break;
    case State::kTrailer:
      // A line that begins with CR LF ends the trailer (and the body).
      if (c == '\n') {
        state_ = State::kDone;
      } else if (c != '\r') {
        state_ = State::kTrailerLine;
      }
      break;
    case State::kTrailerLine:
      if (c == '\n') state_ = State::kTrailer;
      break;
    case State::kData:
    case State::kDone:
    case State::kMalformed:
      break;
  }
}

bool HttpBody::Complete(bool closed) const {
  return state_ == State::kDone || (closed && byLength_ && remaining_ == UINT64_MAX);
}

}  // namespace kelvane
