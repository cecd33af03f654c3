#include "download/content_decoder.h"

#include <zlib.h>

#include <string>

#include "common/text.h"

namespace kelvane {

struct ContentDecoder::Stream {
  z_stream z{};
  bool open = false;
  std::string lead;  // a deflate body's first bytes, until they tell its wrapping
  ~Stream() {
    if (open) inflateEnd(&z);
  }
};

ContentDecoder::ContentDecoder(std::string_view coding) : stream_(std::make_unique<Stream>()) {
  const std::string name = UpperCase(Trim(coding));
  kind_ = name.empty() || name == "IDENTITY"   ? Kind::kIdentity
          : name == "GZIP" || name == "X-GZIP" ? Kind::kGzip
          : name == "DEFLATE"                  ? Kind::kDeflate
                                               : Kind::kUnknown;
  // gzip: the header and trailer checked by zlib.
  if (kind_ == Kind::kGzip) stream_->open = inflateInit2(&stream_->z, 16 + MAX_WBITS) == Z_OK;
}

ContentDecoder::~ContentDecoder() = default;

bool ContentDecoder::Ended() const { return kind_ == Kind::kIdentity || ended_; }

bool ContentDecoder::Feed(const char* data, size_t size,
                          const std::function<bool(const char*, size_t)>& write) {
  if (kind_ == Kind::kIdentity) return write(data, size);
  if (kind_ == Kind::kDeflate && !stream_->open) {
    // "deflate" is meant as a zlib stream, yet servers send it raw too: a
    // valid zlib header tells them apart.
    Stream& s = *stream_;
    s.lead.append(data, size);
    if (s.lead.size() < 2) return true;
    const auto cmf = static_cast<unsigned char>(s.lead[0]);
    const auto flg = static_cast<unsigned char>(s.lead[1]);
    const bool wrapped = (cmf & 0x0F) == 8 && (cmf * 256 + flg) % 31 == 0;
    s.open = inflateInit2(&s.z, wrapped ? MAX_WBITS : -MAX_WBITS) == Z_OK;
    const std::string lead = std::move(s.lead);
    return Inflate(lead.data(), lead.size(), write);
  }
  return Inflate(data, size, write);
}

bool ContentDecoder::Inflate(const char* data, size_t size,
                             const std::function<bool(const char*, size_t)>& write) {
  Stream& s = *stream_;
  if (!s.open) return false;
  char out[64 * 1024];
  s.z.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(data));
  s.z.avail_in = static_cast<uInt>(size);
  do {
    // Another gzip member may follow the first; nothing may follow deflate.
    if (ended_) {
      if (kind_ != Kind::kGzip || inflateReset(&s.z) != Z_OK) return false;
      ended_ = false;
    }
    s.z.next_out = reinterpret_cast<Bytef*>(out);
    s.z.avail_out = sizeof out;
    const int result = inflate(&s.z, Z_NO_FLUSH);
    if (result != Z_OK && result != Z_STREAM_END && result != Z_BUF_ERROR) return false;
    const size_t produced = sizeof out - s.z.avail_out;
    if (produced > 0 && !write(out, produced)) return false;
    ended_ = result == Z_STREAM_END;
    if (result == Z_BUF_ERROR) break;  // all input taken, no output pending
  } while (s.z.avail_in > 0 || (s.z.avail_out == 0 && !ended_));
  return true;
}

}  // namespace kelvane
