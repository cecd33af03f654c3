#include "platform/linux/locale_linux.h"

#include <gtest/gtest.h>

#include "common/language.h"
#include "integration/env_guard.h"

namespace kelvane::linux_platform {
namespace {

using testing::EnvGuard;

struct LocaleCase {
  std::optional<std::string> lcAll, lcMessages, lang;
  std::string name;  // expected English language name, empty: none
  int flag;
};

TEST(LinuxLocale, NamesTheLanguageOfTheEnvironmentAndTakesInvalidBytesAsLatin1) {
  const LocaleCase cases[] = {
      {std::nullopt, std::nullopt, "de_AT.ISO-8859-15@euro", "German", 1},
      {"", "", "de_CH", "German", 1},                              // empty values do not count
      {"de_DE.UTF-8", "fr_FR.UTF-8", "en_US.UTF-8", "German", 1},  // LC_ALL first
      {std::nullopt, "fr_FR.UTF-8", "de_DE.UTF-8", "French", 0},   // then LC_MESSAGES
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

  // UTF-8 stays; a stray byte, an overlong form and a cut sequence are Latin-1.
  EnvGuard env;
  env.Set("LC_ALL", "de_DE.UTF-8");
  EXPECT_EQ(locale.DecodeSystemText("Gr\xC3\xBC\xC3\x9F"
                                    "e \xE2\x82\xAC a\xFF \xC0\xAF cut \xC3"),
            "Gr\xC3\xBC\xC3\x9F"
            "e \xE2\x82\xAC a\xC3\xBF \xC3\x80\xC2\xAF cut \xC3\x83");
}

}  // namespace
}  // namespace kelvane::linux_platform
