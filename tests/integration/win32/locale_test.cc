#include <gtest/gtest.h>

#include <string>

#include "common/language.h"
#include "platform/win32/locale_win32.h"
#include "platform/win32/windows_api_win32.h"

namespace kelvane::win32 {
namespace {

// The language that Wine derives from the Unix locale it was started under
// (CTest runs these tests once as they come and once under de_DE.UTF-8).
std::string LanguageOfTheEnvironment() {
  char value[64] = {};
  if (!GetEnvironmentVariableA("LC_ALL", value, sizeof value) || !*value)
    GetEnvironmentVariableA("LANG", value, sizeof value);
  const std::string lang = value;
  if (lang.rfind("de", 0) == 0) return "German";
  if (lang.empty() || lang.rfind("en", 0) == 0 || lang.rfind("C", 0) == 0 || lang == "POSIX")
    return "English";
  return {};
}

TEST(Win32Locale, NamesTheLanguageOfTheUserLocale) {
  const std::string expected = LanguageOfTheEnvironment();
  if (expected.empty()) GTEST_SKIP() << "a locale that this test has no expectation for";
  Win32Locale locale;
  EXPECT_EQ(LocaleInfoText(locale, Locale::kEnglishLanguageName), expected);
  EXPECT_EQ(SystemLanguage(locale), expected == "German" ? 1 : 0);
  // Both locales use the Western code page.
  EXPECT_EQ(locale.DecodeSystemText("Gr\xFC\xDF"
                                    "e \xC4rger"),
            "Gr\xC3\xBC\xC3\x9F"
            "e \xC3\x84rger");
}

}  // namespace
}  // namespace kelvane::win32
