#include "platform/linux/locale_linux.h"

#include <gtest/gtest.h>

#include <cstring>

#include "common/language.h"
#include "integration/linux/env_guard.h"

namespace kelvane::linux_platform {
namespace {

using testing::EnvGuard;

struct LocaleCase {
  std::optional<std::string> lcAll, lcMessages, lang;
  std::string name;  // expected English language name, empty: none
  int flag;
};

TEST(LinuxLocale, NamesTheLanguageOfTheEnvironmentInItsBuffer) {
  const LocaleCase cases[] = {
      {std::nullopt, std::nullopt, "de_AT.ISO-8859-15@euro", "German", 1},
      {"", "", "de_CH", "German", 1},                              // empty values do not count
      {"de_DE.UTF-8", "fr_FR.UTF-8", "en_US.UTF-8", "German", 1},  // LC_ALL first
      {std::nullopt, "fr_FR.UTF-8", "de_DE.UTF-8", "French", 0},   // then LC_MESSAGES
      {std::nullopt, std::nullopt, "en_GB.UTF-8", "English", 0},
      {std::nullopt, std::nullopt, "C", "English", 0},
      {std::nullopt, std::nullopt, std::nullopt, "English", 0},
      {std::nullopt, std::nullopt, "xx_YY.UTF-8", "", 0},  // unknown: the query fails
  };
  LinuxLocale locale;
  for (const LocaleCase& c : cases) {
    EnvGuard env;
    env.Set("LC_ALL", c.lcAll);
    env.Set("LC_MESSAGES", c.lcMessages);
    env.Set("LANG", c.lang);
    const std::string where = c.lang.value_or("(no LANG)") + " / " + c.lcAll.value_or("-");
    EXPECT_EQ(LocaleInfoText(locale, Locale::kEnglishLanguageName), c.name) << where;
    EXPECT_EQ(SystemLanguage(locale), c.flag) << where;
  }

  EnvGuard env;
  env.Set("LC_ALL", "de_DE.UTF-8");
  char buffer[16];
  EXPECT_EQ(locale.GetLocaleInfo(Locale::kEnglishLanguageName, nullptr, 0), 7);  // size asked
  std::memset(buffer, 'x', sizeof buffer);
  EXPECT_EQ(locale.GetLocaleInfo(Locale::kEnglishLanguageName, buffer, 6), 0);  // too small
  EXPECT_EQ(locale.GetLocaleInfo(Locale::kEnglishLanguageName, buffer, 7), 7);
  EXPECT_STREQ(buffer, "German");
  EXPECT_EQ(locale.GetLocaleInfo(0x1002, buffer, sizeof buffer), 0);  // a type we do not offer
}

TEST(LinuxLocale, KeepsUtf8AndTakesInvalidBytesAsLatin1) {
  EnvGuard env;
  env.Set("LC_ALL", "de_DE.UTF-8");
  LinuxLocale locale;
  EXPECT_EQ(locale.DecodeSystemText("Gr\xC3\xBC\xC3\x9F"
                                    "e \xE2\x82\xAC"),
            "Gr\xC3\xBC\xC3\x9F"
            "e \xE2\x82\xAC");
  EXPECT_EQ(locale.DecodeSystemText("a\xFF"
                                    "b"),
            "a\xC3\xBF"
            "b");
  EXPECT_EQ(locale.DecodeSystemText("cut \xC3"), "cut \xC3\x83");
  EXPECT_EQ(locale.DecodeSystemText("\xC0\xAF"), "\xC3\x80\xC2\xAF");  // overlong: two bytes
}

}  // namespace
}  // namespace kelvane::linux_platform
