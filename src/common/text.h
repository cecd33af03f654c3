#pragma once
// Text operations on UTF-8 strings. Positions are counted from 1, as in
// the rest of the program; 0 means "not found".
#include <string>
#include <string_view>

namespace kelvane {

constexpr char CR = '\r';

// Upper case that keeps every byte position: ASCII letters and the two-byte
// Latin-1 letters are converted, everything else is kept as it is.
std::string UpperCase(std::string_view text);

// Removes blanks (spaces only) from both ends.
std::string Trim(std::string_view text);

// 1-based position of `search` in `text` at or after `start`, 0 if absent.
size_t InStr(std::string_view text, std::string_view search, size_t start = 1);

// Characters from 1-based `start`, `length` long (clipped to the text).
std::string Mid(std::string_view text, size_t start, size_t length = std::string::npos);

// Replaces every occurrence of `search`, left to right without overlaps.
// Mode 0 compares without regard to case; any other mode compares exactly.
std::string ReplaceText(std::string_view text, std::string_view search,
                        std::string_view replacement, int mode);

bool IsBlank(std::string_view text);

// Removes spaces, tabs and carriage returns from both ends, as lines of
// files and protocol headers are read.
std::string_view TrimWhitespace(std::string_view text);

// Equal when ASCII letters are compared without regard to case.
bool EqualsIgnoringCase(std::string_view a, std::string_view b);

// ASCII letters in lower case, every other byte kept.
std::string AsciiLower(std::string_view text);

// The text without one pair of surrounding double quotes, if it has them.
std::string Unquote(std::string_view text);

// The text without a double quote at its start and one at its end, each
// removed on its own.
std::string StripQuotes(std::string_view text);

}  // namespace kelvane
