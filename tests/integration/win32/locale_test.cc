#include <gtest/gtest.h>

#include <string>

#include "common/language.h"
#include "platform/win32/locale_win32.h"
#include "platform/win32/windows_api_win32.h"

namespace kelvane::win32 {
namespace {

// Wine takes the user locale from the Unix one it was started under: CTest
// runs these tests once as they come and once under de_DE.UTF-8.
TEST(Win32Locale, NamesTheLanguageOfTheUserLocale) {
  char lang[64] = {};
  if (!GetEnvironmentVariableA("LC_ALL", lang, sizeof lang) || !*lang)
    GetEnvironmentVariableA("LANG", lang, sizeof lang);
  const bool german = std::string(lang).rfind("de", 0) == 0;
  Win32Locale locale;
  EXPECT_EQ(SystemLanguage(locale), german ? 1 : 0) << lang;
  if (!german) return;
  EXPECT_EQ(LocaleInfoText(locale, Locale::kEnglishLanguageName), "German");
  // German uses the Western code page.
  EXPECT_EQ(locale.DecodeSystemText("Gr\xFC\xDF"
                                    "e \xC4rger"),
            "Gr\xC3\xBC\xC3\x9F"
            "e \xC3\x84rger");
}

}  // namespace
}  // namespace kelvane::win32
