#include "download/signature_file.h"

#include <gtest/gtest.h>
#include <sodium.h>

#include <random>

namespace kelvane {
namespace {

std::string Base64(const std::string& bytes) {
  std::string text(sodium_base64_ENCODED_LEN(bytes.size(), sodium_base64_VARIANT_ORIGINAL), '\0');
  sodium_bin2base64(text.data(), text.size(), reinterpret_cast<const unsigned char*>(bytes.data()),
                    bytes.size(), sodium_base64_VARIANT_ORIGINAL);
  text.pop_back();
  return text;
}

// A key and a signature file in the tool's layout, from random bytes.
struct Sample {
  std::string key, file;
  explicit Sample(std::mt19937& rng, std::string_view algorithm = "ED") {
    std::string raw(2 + 8 + 64, '\0');
    for (char& c : raw) c = static_cast<char>(rng());
    raw.replace(0, 2, algorithm);
    key = Base64("Ed" + raw.substr(2, 8 + 32));
    file = "untrusted comment: x\n" + Base64(raw) + "\ntrusted comment: timestamp:1\tfile:a\n" +
           Base64(raw.substr(10)) + "\n";
  }
};

TEST(SignatureFileTest, ReadsTheToolsLayoutAndRefusesEveryCutOrForeignText) {
  std::mt19937 rng(7);
  const Sample sample(rng);
  const auto key = ParsePublicKey(sample.key);
  const auto file = ParseSignatureFile(sample.file);
  ASSERT_TRUE(key && file);
  EXPECT_TRUE(file->prehashed);
  EXPECT_EQ(file->keyId, key->id);
  EXPECT_EQ(file->trustedComment, "timestamp:1\tfile:a");
  EXPECT_EQ(CommentField(file->trustedComment, "time"), std::nullopt);
  for (const char* algorithm : {"Ee", "RD", "eD"})
    EXPECT_FALSE(ParseSignatureFile(Sample(rng, algorithm).file));
  EXPECT_FALSE(ParsePublicKey(Sample(rng).key.replace(0, 2, "RU")));  // a key of another algorithm

  // Every cut inside the text, and text after the last line.
  for (size_t size = 0; size + 1 < sample.file.size(); ++size)
    EXPECT_FALSE(ParseSignatureFile(sample.file.substr(0, size))) << size;
  for (size_t size = 0; size < sample.key.size(); ++size)
    EXPECT_FALSE(ParsePublicKey(sample.key.substr(0, size))) << size;
  EXPECT_FALSE(ParseSignatureFile(sample.file + "x"));
  EXPECT_FALSE(ParsePublicKey(sample.key + "A"));

  // Random bytes, also behind a first line that fits: never a crash, always refused.
  for (int round = 0; round < 20000; ++round) {
    std::string text(rng() % 300, '\0');
    for (char& c : text) c = static_cast<char>(rng() % 4 ? rng() % 128 : rng());
    if (round % 2) text = "untrusted comment: x\n" + text;
    EXPECT_FALSE(ParseSignatureFile(text) || ParsePublicKey(text.substr(0, 56))) << round;
  }
}

}  // namespace
}  // namespace kelvane
