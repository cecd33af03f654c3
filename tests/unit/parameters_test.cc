#include <gtest/gtest.h>

#include "fakes/fake_platform.h"

namespace kelvane {
namespace {

struct Parsed {
  std::string url, path, param1, param2;
  bool ask, autoStart, skipInfo, hasParam1;
};

class ParseParametersTest : public ::testing::Test {
 protected:
  Parsed Parse(std::string line) {
    form->ParseParameters(line);
    return {form->URL, form->Path,      form->Param1,   form->Param2,
            form->Ask, form->AutoStart, form->SkipInfo, form->HasParam1};
  }
  fakes::FakePlatform fake;
  std::unique_ptr<Form1> form = fake.MakeForm();
};

TEST_F(ParseParametersTest, CutsValuesBetweenKeywordsAndTakesSwitchesAnywhere) {
  Parsed p = Parse("[URL] www.example.com/index.html [PATH] C:\\Temp\\Index.html [NOASK]");
  EXPECT_EQ(p.url, "www.example.com/index.html");
  EXPECT_EQ(p.path, "C:\\Temp\\Index.html");
  EXPECT_FALSE(p.ask);
  EXPECT_FALSE(p.hasParam1);

  // A switch between a keyword and its value; keywords and switches in any
  // case, values keep theirs.
  p = Parse("[url] X [NoAsk] [PATH] [autostart] y [param1] a B [SkipInfo] [PARAM2] c");
  EXPECT_EQ(p.url, "X");
  EXPECT_EQ(p.path, "y");
  EXPECT_EQ(p.param1, "a B");
  EXPECT_EQ(p.param2, "c");
  EXPECT_FALSE(p.ask);
  EXPECT_TRUE(p.autoStart);
  EXPECT_TRUE(p.skipInfo);
}

TEST_F(ParseParametersTest, OddLinesGiveTheValuesThatCouldBeCut) {
  // No separators: the character in front of [PATH] is dropped.
  Parsed p = Parse("[URL]x[PATH]y");
  EXPECT_EQ(p.url, "");
  EXPECT_EQ(p.path, "y");

  // [PARAM2] without [PARAM1] belongs to the path.
  p = Parse("[URL] u [PATH] p [PARAM2] q");
  EXPECT_EQ(p.path, "p [PARAM2] q");
  EXPECT_FALSE(p.hasParam1);

  // Misordered keywords stop the parse: values cut before stay, the rest keep
  // what they held.
  form->URL = "earlier";
  form->Path = "before";
  p = Parse("[PATH] p [URL] u");
  EXPECT_EQ(p.url, "earlier");
  EXPECT_EQ(p.path, "before");

  // [PARAM1] in front of [PATH]: the URL runs up to [PATH], the path cannot be cut.
  form->Path = "old";
  p = Parse("[URL] u [PARAM1] a [PATH] p");
  EXPECT_EQ(p.url, "u [PARAM1] a");
  EXPECT_EQ(p.path, "old");
  EXPECT_TRUE(p.hasParam1);

  // Param2 survives a line without [PARAM1]; Param1 does not.
  Parse("[URL] u [PATH] p [PARAM1] one [PARAM2] two");
  p = Parse("[URL] u [PATH] p");
  EXPECT_EQ(p.param1, "");
  EXPECT_EQ(p.param2, "two");
}

TEST_F(ParseParametersTest, StatusLineInvitesToPressTheStartButtonInTheUsersLanguage) {
  Parse("[URL] u [PATH] p");
  EXPECT_EQ(form->Label1.Text(), "Press 'Update' to start download:");
  fake.German();
  form->StartBtn.SetText("Starten");
  Parse("[URL] u [PATH] p");
  EXPECT_EQ(form->Label1.Text(), "'Starten' startet den Download:");
}

TEST(BefZeileAbrufen, CutsBehindTheFirstCharacterOfThe21stWord) {
  fakes::FakePlatform fake;
  auto form = fake.MakeForm();
  std::string twenty;
  for (int i = 1; i <= 20; ++i) {
    twenty += 'w';
    twenty += std::to_string(i);
    twenty += i % 2 ? " " : "\t ";
  }
  fake.facts.arguments = twenty + "next word";
  EXPECT_EQ(form->BefZeileAbrufen(), twenty + "n");
  fake.facts.arguments = twenty;
  EXPECT_EQ(form->BefZeileAbrufen(), twenty);
}

}  // namespace
}  // namespace kelvane
