#pragma once
// The content codings a download may come in. A compressed body is whole
// only once its stream has ended (gzip: with its trailer's length and CRC
// checked), whatever the HTTP framing said.
#include <cstddef>
#include <functional>
#include <memory>
#include <string_view>

namespace kelvane {

class ContentDecoder {
 public:
  // `coding` as the Content-Encoding field gives it.
  explicit ContentDecoder(std::string_view coding);
  ~ContentDecoder();
  ContentDecoder(const ContentDecoder&) = delete;
  ContentDecoder& operator=(const ContentDecoder&) = delete;

  // False when the coding is not one this decoder reads.
  bool Known() const { return kind_ != Kind::kUnknown; }
  // Decodes `size` bytes, handing the result to `write` (which returns
  // false to stop); false on damaged data or when `write` stopped.
  bool Feed(const char* data, size_t size, const std::function<bool(const char*, size_t)>& write);
  // Whether the body ended where its coding says it ends.
  bool Ended() const;

 private:
  enum class Kind { kIdentity, kGzip, kDeflate, kUnknown };
  struct Stream;
  bool Inflate(const char* data, size_t size,
               const std::function<bool(const char*, size_t)>& write);

  Kind kind_;
  std::unique_ptr<Stream> stream_;
  bool ended_ = false;
};

}  // namespace kelvane
