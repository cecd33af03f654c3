#include <gtest/gtest.h>

#include "fakes/fake_platform.h"

namespace kelvane {
namespace {

class ParseParametersTest : public ::testing::Test {
 protected:
  void Parse(std::string line) { form->ParseParameters(line); }
  fakes::FakePlatform fake;
  std::unique_ptr<Form1> form = fake.MakeForm();
};

TEST_F(ParseParametersTest, CutsValuesBetweenKeywordsAndTakesSwitchesAnywhere) {
  Parse("[URL] www.example.com/index.html [PATH] C:\\Temp\\Index.html [NOASK]");
  EXPECT_EQ(form->URL, "www.example.com/index.html");
  EXPECT_EQ(form->Path, "C:\\Temp\\Index.html");
  EXPECT_FALSE(form->Ask);

  // A switch between a keyword and its value; keywords and switches in any
  // case, values keep theirs.
  Parse("[url] X [NoAsk] [PATH] [autostart] y [param1] a B [SkipInfo] [PARAM2] c");
  EXPECT_EQ(form->URL, "X");
  EXPECT_EQ(form->Path, "y");
  EXPECT_EQ(form->Param1, "a B");
  EXPECT_EQ(form->Param2, "c");
  EXPECT_FALSE(form->Ask);
  EXPECT_TRUE(form->AutoStart);
  EXPECT_TRUE(form->SkipInfo);
}

TEST_F(ParseParametersTest, OddLinesGiveTheValuesThatCouldBeCut) {
  // No separators: the character in front of [PATH] is dropped.
  Parse("[URL]x[PATH]y");
  EXPECT_EQ(form->URL, "");
  EXPECT_EQ(form->Path, "y");

  // [PARAM2] without [PARAM1] belongs to the path.
  Parse("[URL] u [PATH] p [PARAM2] q");
  EXPECT_EQ(form->Path, "p [PARAM2] q");

  // Misordered keywords stop the parse: values cut before stay, the rest keep
  // what they held.
  form->URL = "earlier";
  form->Path = "before";
  Parse("[PATH] p [URL] u");
  EXPECT_EQ(form->URL, "earlier");
  EXPECT_EQ(form->Path, "before");

  // [PARAM1] in front of [PATH]: the URL runs up to [PATH], the path cannot be cut.
  Parse("[URL] u [PARAM1] a [PATH] p");
  EXPECT_EQ(form->URL, "u [PARAM1] a");
  EXPECT_EQ(form->Path, "before");

  // Param2 survives a line without [PARAM1]; Param1 does not.
  Parse("[URL] u [PATH] p [PARAM1] one [PARAM2] two");
  Parse("[URL] u [PATH] p");
  EXPECT_EQ(form->Param1, "");
  EXPECT_EQ(form->Param2, "two");
}

TEST_F(ParseParametersTest, StatusLineInvitesToPressTheStartButtonInTheUsersLanguage) {
  Parse("[URL] u [PATH] p");
  EXPECT_EQ(form->Label1.Text(), "Press 'Update' to start download:");
  fake.German();
  form->StartBtn.SetText("Starten");
  Parse("[URL] u [PATH] p");
  EXPECT_EQ(form->Label1.Text(), "'Starten' startet den Download:");
}

TEST_F(ParseParametersTest, TheCommandLineIsCutBehindTheFirstCharacterOfThe21stWord) {
  const std::string twenty = "1 2 3 4 5 6 7 8 9 10\t11 12\t 13 14 15 16 17 18 19 20 ";
  fake.facts.arguments = twenty + "next word";
  EXPECT_EQ(form->BefZeileAbrufen(), twenty + "n");
  fake.facts.arguments = twenty;
  EXPECT_EQ(form->BefZeileAbrufen(), twenty);
}

}  // namespace
}  // namespace kelvane
