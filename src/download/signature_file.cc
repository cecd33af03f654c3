#include "download/signature_file.h"

#include <sodium.h>

#include <algorithm>

namespace kelvane {
namespace {

constexpr std::string_view kUntrusted = "untrusted comment: ";
constexpr std::string_view kTrusted = "trusted comment: ";
// Longer comments are not ours: a signature file stays a few KiB.
constexpr size_t kMaxCommentSize = 4096;

// Exactly `size` bytes from standard base64 (with padding), or false.
bool DecodeBase64(std::string_view text, unsigned char* out, size_t size) {
  size_t written = 0;
  const char* end = nullptr;
  return sodium_base642bin(out, size, text.data(), text.size(), nullptr, &written, &end,
                           sodium_base64_VARIANT_ORIGINAL) == 0 &&
         end == text.data() + text.size() && written == size;
}

// The next line without its LF or CR LF; false at the end of the text.
bool NextLine(std::string_view& text, std::string_view& line) {
  if (text.empty()) return false;
  const size_t end = text.find('\n');
  line = text.substr(0, end);
  text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
  if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
  return true;
}

bool Prefixed(std::string_view line, std::string_view prefix) {
  return line.substr(0, prefix.size()) == prefix && line.size() <= prefix.size() + kMaxCommentSize;
}

}  // namespace

std::optional<PublicKey> ParsePublicKey(std::string_view text) {
  unsigned char raw[2 + 8 + 32];
  if (!DecodeBase64(text, raw, sizeof raw) || raw[0] != 'E' || raw[1] != 'd') return std::nullopt;
  PublicKey key;
  std::copy(raw + 2, raw + 10, key.id.begin());
  std::copy(raw + 10, raw + sizeof raw, key.key.begin());
  return key;
}

std::optional<SignatureFile> ParseSignatureFile(std::string_view text) {
  std::string_view untrusted, signature, trusted, commentSignature, rest;
  if (!NextLine(text, untrusted) || !NextLine(text, signature) || !NextLine(text, trusted) ||
      !NextLine(text, commentSignature) || !Prefixed(untrusted, kUntrusted) ||
      !Prefixed(trusted, kTrusted))
    return std::nullopt;
  while (NextLine(text, rest)) {
    if (!rest.empty()) return std::nullopt;
  }
  unsigned char raw[2 + 8 + 64];
  if (!DecodeBase64(signature, raw, sizeof raw) || raw[0] != 'E' ||
      (raw[1] != 'd' && raw[1] != 'D'))
    return std::nullopt;
  SignatureFile file;
  file.prehashed = raw[1] == 'D';
  std::copy(raw + 2, raw + 10, file.keyId.begin());
  std::copy(raw + 10, raw + sizeof raw, file.signature.begin());
  file.trustedComment = trusted.substr(kTrusted.size());
  if (!DecodeBase64(commentSignature, file.commentSignature.data(), file.commentSignature.size()))
    return std::nullopt;
  return file;
}

std::string KeyIdText(const KeyId& id) {
  // Shown as the little-endian number it is, without leading zeros.
  std::string text;
  for (auto byte = id.rbegin(); byte != id.rend(); ++byte) {
    text += "0123456789ABCDEF"[*byte >> 4];
    text += "0123456789ABCDEF"[*byte & 15];
  }
  return text.substr(std::min(text.find_first_not_of('0'), text.size() - 1));
}

std::optional<std::string> CommentField(std::string_view comment, std::string_view name) {
  while (!comment.empty()) {
    const size_t end = comment.find('\t');
    const std::string_view field = comment.substr(0, end);
    if (field.size() > name.size() && field.substr(0, name.size()) == name &&
        field[name.size()] == ':')
      return std::string(field.substr(name.size() + 1));
    comment.remove_prefix(end == std::string_view::npos ? comment.size() : end + 1);
  }
  return std::nullopt;
}

}  // namespace kelvane
