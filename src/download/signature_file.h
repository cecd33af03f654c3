#pragma once
// The public key and signature file formats of the `minisign` tool: an
// Ed25519 key and detached signatures, either over the file itself (the
// legacy "Ed" form) or over its BLAKE2b-512 hash (the "ED" form), plus a
// signature over the trusted comment.
#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace kelvane {

using KeyId = std::array<unsigned char, 8>;

struct PublicKey {
  KeyId id;
  std::array<unsigned char, 32> key;
};

struct SignatureFile {
  bool prehashed;  // "ED": the signature covers the file's BLAKE2b-512 hash
  KeyId keyId;
  std::array<unsigned char, 64> signature;
  std::string trustedComment;
  std::array<unsigned char, 64> commentSignature;  // over signature + trusted comment
};

// The one-line key that `minisign -G` prints ("RW..."), or nothing when the
// text is not one.
std::optional<PublicKey> ParsePublicKey(std::string_view text);

// A signature file as `minisign -S` writes it (lines end with LF or CR LF;
// nothing but line ends after the fourth line), or nothing.
std::optional<SignatureFile> ParseSignatureFile(std::string_view text);

// A key id as `minisign` shows it: upper-case hex digits.
std::string KeyIdText(const KeyId& id);

// The value of a "name:value" field of a trusted comment (fields are
// separated by tabs), or nothing when the field is absent.
std::optional<std::string> CommentField(std::string_view comment, std::string_view name);

}  // namespace kelvane
