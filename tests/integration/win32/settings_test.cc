#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "platform/win32/settings_win32.h"

namespace kelvane::win32 {
namespace {

// A root of this test's own, removed afterwards, so the program's real value
// in the prefix stays untouched.
class ScratchRoot {
 public:
  ScratchRoot() : path_("Software\\Kelvane-test-" + std::to_string(GetCurrentProcessId())) {}
  ~ScratchRoot() { RegDeleteTreeA(HKEY_CURRENT_USER, path_.c_str()); }
  const std::string& path() const { return path_; }

 private:
  std::string path_;
};

// The value as another program reads it: wide, with its type.
std::wstring QueryWide(const std::string& keyPath, const wchar_t* name, DWORD& type) {
  HKEY key = nullptr;
  std::wstring wideKey(keyPath.begin(), keyPath.end());
  if (RegOpenKeyExW(HKEY_CURRENT_USER, wideKey.c_str(), 0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS)
    return L"<no key>";
  wchar_t data[256] = {};
  DWORD bytes = sizeof(data) - sizeof(wchar_t);
  const LONG result =
      RegQueryValueExW(key, name, nullptr, &type, reinterpret_cast<BYTE*>(data), &bytes);
  RegCloseKey(key);
  return result == ERROR_SUCCESS ? std::wstring(data) : L"<no value>";
}

TEST(Win32SettingsStore, RoundTripThroughTheRegistry) {
  ScratchRoot root;
  Win32SettingsStore store(root.path());
  EXPECT_EQ(store.RegistryGet("AlwaysOnTop", "OnTop", "True"), "True");

  ASSERT_TRUE(store.RegistrySet("AlwaysOnTop", "OnTop", "False"));
  DWORD type = 0;
  EXPECT_EQ(QueryWide(root.path() + "\\AlwaysOnTop", L"OnTop", type), L"False");
  EXPECT_EQ(type, static_cast<DWORD>(REG_SZ));
  EXPECT_EQ(Win32SettingsStore(root.path()).RegistryGet("AlwaysOnTop", "OnTop", "True"), "False");
  ASSERT_TRUE(store.RegistrySet("AlwaysOnTop", "OnTop", "True"));
  EXPECT_EQ(store.RegistryGet("AlwaysOnTop", "OnTop", "?"), "True");
  EXPECT_EQ(store.RegistryGet("AlwaysOnTop", "Other", "?"), "?");

  // Non-ASCII text travels as UTF-8 inside and UTF-16 in the registry.
  ASSERT_TRUE(store.RegistrySet("Sektion \xC3\xA4", "Schl\xC3\xBCssel",
                                "Gr\xC3\xB6\xC3\x9F"
                                "e"));
  EXPECT_EQ(store.RegistryGet("Sektion \xC3\xA4", "Schl\xC3\xBCssel", "?"),
            "Gr\xC3\xB6\xC3\x9F"
            "e");

  // A value of another type is not ours: the fallback.
  HKEY key = nullptr;
  ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, (root.path() + "\\AlwaysOnTop").c_str(), 0, nullptr,
                            0, KEY_SET_VALUE, nullptr, &key, nullptr),
            ERROR_SUCCESS);
  const DWORD number = 1;
  RegSetValueExA(key, "OnTop", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&number),
                 sizeof(number));
  RegCloseKey(key);
  EXPECT_EQ(store.RegistryGet("AlwaysOnTop", "OnTop", "fallback"), "fallback");
}

TEST(Win32SettingsStore, KeysThatCannotBeMadeGiveFalse) {
  ScratchRoot root;
  Win32SettingsStore store(root.path());
  // A key name longer than the registry allows.
  const std::string tooLong(300, 'k');
  EXPECT_FALSE(store.RegistrySet(tooLong, "OnTop", "True"));
  EXPECT_EQ(store.RegistryGet(tooLong, "OnTop", "True"), "True");
}

}  // namespace
}  // namespace kelvane::win32
