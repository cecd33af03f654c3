#include "versioninfo/notes_encoding.h"

#include <string_view>

#include "common/unicode.h"

namespace kelvane {
namespace {

bool IsUtf8(std::string_view text) {
  const auto* p = reinterpret_cast<const unsigned char*>(text.data());
  for (size_t i = 0; i < text.size();) {
    const size_t n = Utf8SequenceLength(p + i, text.size() - i);
    if (n == 0) return false;
    i += n;
  }
  return true;
}

}  // namespace

std::string DecodeNotes(const std::string& bytes, Locale& locale) {
  const std::string_view text = bytes;
  if (text.starts_with("\xEF\xBB\xBF")) return bytes.substr(3);
  if (text.starts_with("\xFF\xFE")) return Utf16ToUtf8(text.substr(2), false);
  if (text.starts_with("\xFE\xFF")) return Utf16ToUtf8(text.substr(2), true);
  if (IsUtf8(text)) return bytes;
  return locale.DecodeLegacyText(bytes);
}

}  // namespace kelvane
