#include "download/download_check.h"

#include <sodium.h>

#include <array>
#include <charconv>

#include "common/text.h"
#include "download/signature_file.h"

namespace kelvane {
namespace {

// Large enough that the reads cost little, small enough that the window
// stays lively while a large file is hashed.
constexpr size_t kBlock = 1 << 20;

std::string Hex(const unsigned char* bytes, size_t size) {
  std::string text(size * 2 + 1, '\0');
  sodium_bin2hex(text.data(), text.size(), bytes, size);
  text.pop_back();
  return text;
}

bool Verify(const std::array<unsigned char, 64>& signature, std::string_view message,
            const PublicKey& key) {
  return crypto_sign_ed25519_verify_detached(signature.data(),
                                             reinterpret_cast<const unsigned char*>(message.data()),
                                             message.size(), key.key.data()) == 0;
}

// The hashes and bytes the checks need, from one read of the file.
struct FileDigest {
  std::optional<std::string> sha256;   // hex, when asked for
  std::optional<std::string> blake2b;  // raw 64 bytes, when asked for
  std::optional<std::string> bytes;    // the whole file, when asked for
};

std::optional<FileDigest> ReadOnce(FileSystem& fs, Toolkit& ui, const std::string& file,
                                   bool sha256, bool blake2b, bool bytes) {
  crypto_hash_sha256_state sha;
  crypto_generichash_blake2b_state blake;
  crypto_hash_sha256_init(&sha);
  crypto_generichash_blake2b_init(&blake, nullptr, 0, 64);
  FileDigest digest;
  if (bytes) digest.bytes.emplace();
  for (uint64_t offset = 0;;) {
    const std::optional<std::string> block = fs.ReadPart(file, offset, kBlock);
    if (!block) return std::nullopt;
    const auto* data = reinterpret_cast<const unsigned char*>(block->data());
    if (sha256) crypto_hash_sha256_update(&sha, data, block->size());
    if (blake2b) crypto_generichash_blake2b_update(&blake, data, block->size());
    if (bytes) *digest.bytes += *block;
    offset += block->size();
    if (block->size() < kBlock) break;
    ui.DoEvents();
  }
  unsigned char out[64];
  if (sha256) {
    crypto_hash_sha256_final(&sha, out);
    digest.sha256 = Hex(out, crypto_hash_sha256_BYTES);
  }
  if (blake2b) {
    crypto_generichash_blake2b_final(&blake, out, sizeof out);
    digest.blake2b.emplace(reinterpret_cast<const char*>(out), sizeof out);
  }
  return digest;
}

// Why the signature does not vouch for this file at this target, or "".
std::string SignatureFailure(const SignatureFile& signature, const PublicKey& key,
                             const FileDigest& digest, const CheckFacts& facts) {
  if (signature.keyId != key.id)
    return "signature made with another key (id " + KeyIdText(signature.keyId) + ")";
  if (!Verify(signature.signature, signature.prehashed ? *digest.blake2b : *digest.bytes, key))
    return "signature does not match the file";
  std::string signedText(signature.signature.begin(), signature.signature.end());
  signedText += signature.trustedComment;
  if (!Verify(signature.commentSignature, signedText, key))
    return "trusted comment does not match its signature";
  const std::optional<std::string> name = CommentField(signature.trustedComment, "file");
  if (name != facts.fileName) return "signature is for another file (" + name.value_or("") + ")";
  const std::optional<int64_t> signedAt =
      ParseSeconds(CommentField(signature.trustedComment, "timestamp"));
  if (!signedAt) return "signature has no timestamp";
  if (facts.installedSince && *signedAt < *facts.installedSince)
    return "signed earlier than the file installed here (timestamp " + std::to_string(*signedAt) +
           " < " + std::to_string(*facts.installedSince) + ")";
  return "";
}

}  // namespace

std::optional<int64_t> ParseSeconds(const std::optional<std::string>& text) {
  int64_t value = 0;
  if (!text || text->empty()) return std::nullopt;
  const char* end = text->data() + text->size();
  const auto [at, error] = std::from_chars(text->data(), end, value);
  if (error != std::errc() || at != end || value < 0) return std::nullopt;
  return value;
}

std::optional<std::string> CheckRequest::Malformed() const {
  if (!sha256.empty() && (sha256.size() != 64 ||
                          sha256.find_first_not_of("0123456789abcdefABCDEF") != std::string::npos))
    return "malformed [SHA256] value";
  if (!publicKey.empty() && !ParsePublicKey(publicKey)) return "malformed [PUBKEY] value";
  return std::nullopt;
}

CheckOutcome CheckDownloadFile(FileSystem& fs, Toolkit& ui, const std::string& file,
                               const CheckRequest& request, const CheckFacts& facts) {
  if (const auto malformed = request.Malformed()) return {*malformed, std::nullopt};
  const std::optional<PublicKey> key =
      request.publicKey.empty() ? std::nullopt : ParsePublicKey(request.publicKey);
  std::optional<SignatureFile> signature;
  if (key) {
    // Refused before the file is read: no signature, no need to hash.
    if (!facts.signatureFile) return {"no signature file", std::nullopt};
    if (facts.signatureFile->size() > kSignatureLimit)
      return {"signature file too long", std::nullopt};
    signature = ParseSignatureFile(*facts.signatureFile);
    if (!signature) return {"malformed signature file", std::nullopt};
  }
  const std::optional<FileDigest> digest =
      ReadOnce(fs, ui, file, !request.sha256.empty(), signature && signature->prehashed,
               signature && !signature->prehashed);
  if (!digest) return {"download could not be read", std::nullopt};
  if (digest->sha256 && *digest->sha256 != AsciiLower(request.sha256))
    return {"SHA-256 differs (" + *digest->sha256 + ")", std::nullopt};
  if (!signature) return {};
  std::string failure = SignatureFailure(*signature, *key, *digest, facts);
  if (!failure.empty()) return {std::move(failure), std::nullopt};
  return {"", ParseSeconds(CommentField(signature->trustedComment, "timestamp"))};
}

std::string UrlFileName(std::string_view url) {
  url = url.substr(0, url.find_first_of("?#"));
  const size_t slash = url.rfind('/');
  return std::string(slash == std::string_view::npos ? url : url.substr(slash + 1));
}

}  // namespace kelvane
