#pragma once
// The system's own text for a Windows error number.
#include <windows.h>

#include <string>

namespace kelvane::win32 {

// The message of `error` (from `module`'s table when given, else the
// system's), without the line break, blanks and full stop at its end.
std::string SystemMessage(DWORD error, HMODULE module = nullptr);

}  // namespace kelvane::win32
