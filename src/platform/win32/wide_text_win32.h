#pragma once
// UTF-8 inside the program, UTF-16 at the Windows boundary.
#include <string>
#include <string_view>

namespace kelvane::win32 {

std::wstring Widen(std::string_view utf8);
std::string Narrow(std::wstring_view wide);

}  // namespace kelvane::win32
