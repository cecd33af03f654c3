#pragma once
#include <cstdint>
#include <string>

namespace kelvane {

// Fetches URLs into files.
class Fetcher {
 public:
  virtual ~Fetcher() = default;
  // Fetches `url` into `file` (created, or replaced when it exists) and
  // blocks until done. Returns 0 on success, otherwise a failure code
  // (an HRESULT-style negative number). A failure leaves `file` as it was.
  virtual int32_t DownloadToFile(const std::string& url, const std::string& file) = 0;
};

}  // namespace kelvane
