#include "platform/win32/settings_win32.h"

#include <windows.h>

#include <vector>

#include "platform/win32/wide_text_win32.h"

namespace kelvane::win32 {
namespace {

// A stored value is a short word; longer ones are not ours and are not read.
constexpr DWORD kMaxValueBytes = 64 * 1024;

}  // namespace

Win32SettingsStore::Win32SettingsStore(std::string root) : root_(std::move(root)) {}

std::wstring Win32SettingsStore::KeyPath(const std::string& section) const {
  return Widen(root_ + "\\" + section);
}

bool Win32SettingsStore::RegistrySet(const std::string& section, const std::string& key,
                                     const std::string& value) {
  HKEY hkey = nullptr;
  if (RegCreateKeyExW(HKEY_CURRENT_USER, KeyPath(section).c_str(), 0, nullptr, 0, KEY_SET_VALUE,
                      nullptr, &hkey, nullptr) != ERROR_SUCCESS)
    return false;
  const std::wstring data = Widen(value);
  const DWORD bytes = static_cast<DWORD>((data.size() + 1) * sizeof(wchar_t));
  const LONG result = RegSetValueExW(hkey, Widen(key).c_str(), 0, REG_SZ,
                                     reinterpret_cast<const BYTE*>(data.c_str()), bytes);
  RegCloseKey(hkey);
  return result == ERROR_SUCCESS;
}

std::string Win32SettingsStore::RegistryGet(const std::string& section, const std::string& key,
                                            const std::string& fallback) {
  HKEY hkey = nullptr;
  if (RegOpenKeyExW(HKEY_CURRENT_USER, KeyPath(section).c_str(), 0, KEY_QUERY_VALUE, &hkey) !=
      ERROR_SUCCESS)
    return fallback;
  const std::wstring name = Widen(key);
  DWORD type = 0, bytes = 0;
  LONG result = RegQueryValueExW(hkey, name.c_str(), nullptr, &type, nullptr, &bytes);
  std::vector<wchar_t> data;
  if (result == ERROR_SUCCESS && type == REG_SZ && bytes <= kMaxValueBytes) {
    // One spare character: a stored string need not end with a NUL.
    data.assign(bytes / sizeof(wchar_t) + 1, L'\0');
    result = RegQueryValueExW(hkey, name.c_str(), nullptr, &type,
                              reinterpret_cast<BYTE*>(data.data()), &bytes);
  }
  RegCloseKey(hkey);
  if (data.empty() || result != ERROR_SUCCESS || type != REG_SZ) return fallback;
  return Narrow(std::wstring(data.data()));
}

}  // namespace kelvane::win32
