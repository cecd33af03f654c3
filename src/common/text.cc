#include "common/text.h"

namespace kelvane {

namespace {

// One byte of the upper-case copy. `pairSecond` tells whether the byte is the
// second of a two-byte Latin-1 letter and is updated for the next byte, so a
// scan left to right gives exactly what UpperCase gives for the whole text.
char UpperByte(char byte, bool& pairSecond) {
  const unsigned char c = static_cast<unsigned char>(byte);
  if (pairSecond) {
    // U+00E0..U+00FE (but not U+00F7) map to U+00C0..U+00DE, same length.
    pairSecond = false;
    return c >= 0xA0 && c <= 0xBE && c != 0xB7 ? static_cast<char>(c - 0x20) : byte;
  }
  if (c >= 'a' && c <= 'z') return static_cast<char>(c - 32);
  pairSecond = c == 0xC3;
  return byte;
}

// Whether the upper-case copy holds `key` at `at`, scanning from `pairSecond`.
bool UpperMatchAt(std::string_view text, size_t at, std::string_view key, bool pairSecond) {
  if (text.size() - at < key.size()) return false;
  for (size_t k = 0; k < key.size(); ++k)
    if (UpperByte(text[at + k], pairSecond) != key[k]) return false;
  return true;
}

// A search text of ASCII non-letters is found at the same places with or
// without regard to case, whatever the upper-casing does around it.
bool HasNoCase(std::string_view search) {
  for (unsigned char c : search)
    if (c >= 0x80 || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z')) return false;
  return true;
}

char AsciiLowerByte(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

}  // namespace

std::string UpperCase(std::string_view text) {
  std::string out(text);
  bool pairSecond = false;
  for (char& c : out) c = UpperByte(c, pairSecond);
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
  if (search.empty()) return std::string(text);
  std::string result;
  result.reserve(text.size());
  size_t done = 0;  // text before this position is in `result` already
  if (mode != 0 || HasNoCase(search)) {
    for (size_t at; (at = text.find(search, done)) != std::string_view::npos;
         done = at + search.size())
      result.append(text.substr(done, at - done)).append(replacement);
    return result.append(text.substr(done));
  }
  // Without regard to case: the comparison copy is the upper case of the text
  // as rebuilt so far. It is made on the fly, one pass, instead of being
  // rebuilt after every replacement; the scan state carries the result's
  // upper-casing across each inserted replacement.
  const std::string key = UpperCase(search);
  bool pairSecond = false;
  for (size_t at = 0; at < text.size();) {
    if (UpperMatchAt(text, at, key, pairSecond)) {
      result.append(text.substr(done, at - done)).append(replacement);
      for (char c : replacement) UpperByte(c, pairSecond);
      done = at += search.size();
    } else {
      UpperByte(text[at++], pairSecond);
    }
  }
  return result.append(text.substr(done));
}

bool IsBlank(std::string_view text) {
  return text.find_first_not_of(' ') == std::string_view::npos;
}

std::string_view TrimWhitespace(std::string_view text) {
  const size_t first = text.find_first_not_of(" \t\r");
  if (first == std::string_view::npos) return {};
  return text.substr(first, text.find_last_not_of(" \t\r") - first + 1);
}

bool EqualsIgnoringCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    if (AsciiLowerByte(a[i]) != AsciiLowerByte(b[i])) return false;
  }
  return true;
}

std::string AsciiLower(std::string_view text) {
  std::string out(text);
  for (char& c : out) c = AsciiLowerByte(c);
  return out;
}

std::string Unquote(std::string_view text) {
  if (text.size() >= 2 && text.front() == '"' && text.back() == '"')
    text = text.substr(1, text.size() - 2);
  return std::string(text);
}

std::string StripQuotes(std::string_view text) {
  if (!text.empty() && text.front() == '"') text.remove_prefix(1);
  if (!text.empty() && text.back() == '"') text.remove_suffix(1);
  return std::string(text);
}

}  // namespace kelvane
