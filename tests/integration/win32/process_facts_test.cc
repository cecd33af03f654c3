#include <gtest/gtest.h>

#include "platform/win32/process_facts_win32.h"
#include "platform/win32/wide_text_win32.h"
#include "platform/win32/windows_api_win32.h"

namespace kelvane::win32 {
namespace {

TEST(ArgumentText, SkipsTheProgramNameAndTheBlanksBehindIt) {
  EXPECT_EQ(ArgumentTextOf(L"\"C:\\Program Files\\Kelvane\\kelvane.exe\" [URL] a [PATH] b"),
            L"[URL] a [PATH] b");
  // What follows is kept as it is, trailing blanks included.
  EXPECT_EQ(ArgumentTextOf(L"kelvane.exe\t [NOASK]  "), L"[NOASK]  ");
  // A quoted name ends at its closing quote, even without a blank behind it.
  EXPECT_EQ(ArgumentTextOf(L"\"C:\\A B\\kelvane.exe\"[URL] x"), L"[URL] x");
  // No arguments.
  EXPECT_EQ(ArgumentTextOf(L"\"C:\\A B\\kelvane.exe\"   "), L"");
}

TEST(Win32ProcessFacts, NamesTheProgramItsFolderAndItsDrive) {
  Win32ProcessFacts facts;
  wchar_t path[MAX_PATH];
  GetModuleFileNameW(nullptr, path, MAX_PATH);
  EXPECT_EQ(facts.ExeName(), "integration_tests");
  const std::string folder = facts.ExeFolder();
  ASSERT_GT(folder.size(), 2u);
  EXPECT_EQ(folder + "\\integration_tests.exe", Narrow(path));
  EXPECT_EQ(facts.ProbeFolder(), folder.substr(0, 1) + ":\\");
}

}  // namespace
}  // namespace kelvane::win32
