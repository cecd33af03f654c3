#include "versioninfo/notes_encoding.h"

#include <string_view>

#include "common/unicode.h"

namespace kelvane {
std::string DecodeNotes(const std::string& bytes, Locale& locale) {
  const std::string_view text = bytes;
  if (text.starts_with("\xEF\xBB\xBF")) return bytes.substr(3);
  if (text.starts_with("\xFF\xFE")) return Utf16ToUtf8(text.substr(2), false);
  if (text.starts_with("\xFE\xFF")) return Utf16ToUtf8(text.substr(2), true);
  if (IsValidUtf8(text)) return bytes;
  return locale.DecodeLegacyText(bytes);
}

}  // namespace kelvane
