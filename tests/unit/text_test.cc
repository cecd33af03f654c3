#include "common/text.h"

#include <gtest/gtest.h>

#include "common/language.h"
#include "common/paths.h"
#include "fakes/fake_services.h"

namespace kelvane {
namespace {

TEST(ReplaceText, IgnoresCaseInModeZeroAndKeepsTheRest) {
  EXPECT_EQ(ReplaceText("a [NoAsk] B [noask]", "[NOASK]", "", 0), "a  B ");
  EXPECT_EQ(ReplaceText("Xa", "A", "b", 1), "Xa");
  EXPECT_EQ(ReplaceText("a", "a", "aa", 0), "aa");  // the inserted text is not searched again
  EXPECT_EQ(ReplaceText("abc", "", "x", 0), "abc");
  // Upper-casing keeps byte positions, so a replacement behind a non-ASCII
  // letter hits the right bytes.
  EXPECT_EQ(ReplaceText("\xC3\xA4[noask]z", "[NOASK]", "", 0), "\xC3\xA4z");
  // Matches are sought in the upper case of the text as rebuilt so far: a
  // replacement ending in a letter's first byte pairs with the byte after it.
  EXPECT_EQ(ReplaceText("aa", "A", "\xC3", 0), std::string("\xC3") + "a");
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

}  // namespace
}  // namespace kelvane
