#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "platform/win32/settings_win32.h"

namespace kelvane::win32 {
namespace {

// A root of this test's own, removed afterwards, so the program's real value
// in the prefix stays untouched.
struct ScratchRoot {
  const std::string path = "Software\\Kelvane-test-" + std::to_string(GetCurrentProcessId());
  ~ScratchRoot() { RegDeleteTreeA(HKEY_CURRENT_USER, path.c_str()); }
};

TEST(Win32SettingsStore, RoundTripThroughTheRegistry) {
  ScratchRoot root;
  Win32SettingsStore store(root.path);
  EXPECT_EQ(store.RegistryGet("AlwaysOnTop", "OnTop", "True"), "True");

  ASSERT_TRUE(store.RegistrySet("AlwaysOnTop", "OnTop", "False"));
  // As another program reads it: a wide string value.
  const std::wstring wide(root.path.begin(), root.path.end());
  wchar_t value[16] = {};
  DWORD bytes = sizeof value;
  EXPECT_EQ(RegGetValueW(HKEY_CURRENT_USER, (wide + L"\\AlwaysOnTop").c_str(), L"OnTop",
                         RRF_RT_REG_SZ, nullptr, value, &bytes),
            ERROR_SUCCESS);
  EXPECT_EQ(std::wstring(value), L"False");
  EXPECT_EQ(Win32SettingsStore(root.path).RegistryGet("AlwaysOnTop", "OnTop", "True"), "False");
  EXPECT_EQ(store.RegistryGet("AlwaysOnTop", "Other", "?"), "?");
}

}  // namespace
}  // namespace kelvane::win32
