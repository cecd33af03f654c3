#pragma once
// The check of a complete download against what the calling program trusts:
// a SHA-256 and a signature key given with the job.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "platform/file_system.h"
#include "platform/toolkit.h"

namespace kelvane {

// A signature file is a few lines: one longer than this is refused, and no
// more than one byte beyond it is fetched.
constexpr int64_t kSignatureLimit = 8 * 1024;

struct CheckRequest {
  std::string sha256;     // 64 hex digits in any letter case, or empty
  std::string publicKey;  // the one-line key that `minisign -G` prints, or empty
  // A value that is given but cannot be one: the job is refused.
  std::optional<std::string> Malformed() const;
};

// A decimal number of seconds, or nothing when `text` is none.
std::optional<int64_t> ParseSeconds(const std::optional<std::string>& text);

struct CheckFacts {
  std::string fileName;  // the URL's last path segment: what the signature must name
  std::optional<std::string> signatureFile;  // the fetched "<URL>.minisig", if any
  std::optional<int64_t> installedSince;     // timestamp of the last signed file installed here
};

struct CheckOutcome {
  std::string failure;              // why the download is refused; empty when it passed
  std::optional<int64_t> signedAt;  // the passed signature's timestamp
};

// Reads `file` once, in large blocks with a yield to the window between
// them, and checks it against `request`.
CheckOutcome CheckDownloadFile(FileSystem& fs, Toolkit& ui, const std::string& file,
                               const CheckRequest& request, const CheckFacts& facts);

// The last path segment of a URL, without its query or fragment.
std::string UrlFileName(std::string_view url);

}  // namespace kelvane
