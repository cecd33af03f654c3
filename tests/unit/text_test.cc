#include "common/text.h"

#include <gtest/gtest.h>

#include <random>

#include "common/ini_text.h"
#include "common/language.h"
#include "common/paths.h"
#include "fakes/fake_services.h"

namespace kelvane {
namespace {

TEST(ReplaceText, IgnoresCaseInModeZeroAndKeepsTheRest) {
  EXPECT_EQ(ReplaceText("a [NoAsk] B [noask]", "[NOASK]", "", 0), "a  B ");
  // Upper-casing keeps byte positions, so a replacement behind a non-ASCII
  // letter hits the right bytes.
  EXPECT_EQ(ReplaceText("\xC3\xA4[noask]z", "[NOASK]", "", 0), "\xC3\xA4z");
}

// File names and folders as the handlers meet them: their own tests.
TEST(Paths, TheSeparatorIsTheOneThePathUses) {
  EXPECT_EQ(FileNameOfPath("/opt/apps/MyApp"), "MyApp");
  EXPECT_EQ(WithTrailingSeparator("C:\\Temp"), "C:\\Temp\\");
  EXPECT_EQ(WithTrailingSeparator("/opt/kelvane"), "/opt/kelvane/");
}

TEST(Language, GermanOnlyWhenTheLanguageNameSaysSo) {
  fakes::FakeLocale locale;
  for (const auto& [name, flag] : std::vector<std::pair<std::string, int>>{
           {"German", 1}, {"Swiss German", 1}, {"English", 0}, {"", 0}}) {
    locale.languageName = name;
    EXPECT_EQ(SystemLanguage(locale), flag) << name;
  }
}

TEST(IniText, SetsOneKeyKeepsEveryOtherLineAndReadsGarbageSafely) {
  // Someone's edits survive a write: comments, other sections, other keys.
  const std::string edited =
      "; kept\n[Other]\nOnTop=other\n\n[alwaysontop]\nColour=blue\n onTop = False \n[Last]\nx=1";
  EXPECT_EQ(IniValue(edited, "AlwaysOnTop", "OnTop"), "False");
  EXPECT_EQ(IniWithValue(edited, "AlwaysOnTop", "OnTop", "True"),
            "; kept\n[Other]\nOnTop=other\n\n[alwaysontop]\nColour=blue\nOnTop=True\n"
            "[Last]\nx=1\n");
  EXPECT_EQ(IniWithValue("", "AlwaysOnTop", "OnTop", "False"), "[AlwaysOnTop]\nOnTop=False\n");
  // Random bytes, NULs and broken lines: nothing matches, nothing crashes.
  std::mt19937 random(7);
  std::string garbage(2000, '\0');
  for (char& c : garbage) c = static_cast<char>(random());
  garbage += "\nOnTop=False\n[AlwaysOnTop\n=\n[]\n[AlwaysOnTop]]\nOnTop=False\n";
  EXPECT_EQ(IniValue(garbage, "AlwaysOnTop", "OnTop"), std::nullopt);
}

}  // namespace
}  // namespace kelvane
