#include "common/text.h"

namespace kelvane {

std::string UpperCase(std::string_view text) {
  std::string out(text);
  for (size_t i = 0; i < out.size(); ++i) {
    unsigned char c = static_cast<unsigned char>(out[i]);
    if (c >= 'a' && c <= 'z') {
      out[i] = static_cast<char>(c - 32);
    } else if (c == 0xC3 && i + 1 < out.size()) {
      // U+00E0..U+00FE (but not U+00F7) map to U+00C0..U+00DE, same length.
      unsigned char n = static_cast<unsigned char>(out[i + 1]);
      if (n >= 0xA0 && n <= 0xBE && n != 0xB7) out[i + 1] = static_cast<char>(n - 0x20);
      ++i;
    }
  }
  return out;
}

std::string Trim(std::string_view text) {
  const size_t first = text.find_first_not_of(' ');
  if (first == std::string_view::npos) return {};
  const size_t last = text.find_last_not_of(' ');
  return std::string(text.substr(first, last - first + 1));
}

size_t InStr(std::string_view text, std::string_view search, size_t start) {
  if (start == 0 || start > text.size() + 1) return 0;
  const size_t at = text.find(search, start - 1);
  return at == std::string_view::npos ? 0 : at + 1;
}

std::string Mid(std::string_view text, size_t start, size_t length) {
  if (start == 0 || start > text.size()) return {};
  return std::string(text.substr(start - 1, length));
}

std::string ReplaceText(std::string_view text, std::string_view search,
                        std::string_view replacement, int mode) {
  std::string result(text);
  if (search.empty()) return result;
  const std::string key = mode == 0 ? UpperCase(search) : std::string(search);
  size_t from = 0;  // 0-based position to search from
  while (from < result.size()) {
    const std::string compare = mode == 0 ? UpperCase(result) : result;
    const size_t at = compare.find(key, from);
    if (at == std::string::npos) break;
    result.replace(at, search.size(), replacement);
    from = at + replacement.size();
  }
  return result;
}

bool IsBlank(std::string_view text) { return text.find_first_not_of(' ') == std::string_view::npos; }

}  // namespace kelvane
