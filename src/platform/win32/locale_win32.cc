#include "platform/win32/locale_win32.h"

#include "platform/win32/wide_text_win32.h"
#include "platform/win32/windows_api_win32.h"

namespace kelvane::win32 {

int Win32Locale::GetLocaleInfo(uint32_t type, char* buffer, int length) {
  return GetLocaleInfoA(LOCALE_USER_DEFAULT, type, buffer, length);
}

std::string Win32Locale::DecodeSystemText(const std::string& bytes) {
  if (bytes.empty()) return {};
  const int size = static_cast<int>(bytes.size());
  const int n = MultiByteToWideChar(CP_ACP, 0, bytes.data(), size, nullptr, 0);
  std::wstring wide(static_cast<size_t>(n), L'\0');
  MultiByteToWideChar(CP_ACP, 0, bytes.data(), size, wide.data(), n);
  return Narrow(wide);
}

}  // namespace kelvane::win32
