#pragma once
// UTF-8 inside the program, UTF-16 at the Windows boundary.
#include <string>
#include <string_view>

namespace kelvane::win32 {

std::wstring Widen(std::string_view utf8);
std::string Narrow(std::wstring_view wide);

// Windows breaks lines at CR LF; the program's texts use a lone CR (and
// texts read from files may use a lone LF): each becomes CR LF.
std::wstring WithCrLf(std::wstring_view text);

// The UTF-16 position of a byte position of a UTF-8 text (clipped to it).
int WideOffset(std::string_view utf8, int bytes);

}  // namespace kelvane::win32
