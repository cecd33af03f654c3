#include <gtest/gtest.h>

#include <algorithm>

#include "fakes/fake_platform.h"

namespace kelvane {
namespace {

using fakes::Ends;

class FormLoadTest : public ::testing::Test {
 protected:
  // Index of the first log entry equal to `entry`, or -1.
  long At(const std::string& entry) {
    auto it = std::find(fake.ui.log.begin(), fake.ui.log.end(), entry);
    return it == fake.ui.log.end() ? -1 : it - fake.ui.log.begin();
  }
  fakes::FakePlatform fake;
  std::unique_ptr<Form1> form = fake.MakeForm();
};

TEST_F(FormLoadTest, VersionQuestionShowsTheVersionAndEnds) {
  fake.facts.arguments = "/?";
  fake.ui.ExpectBox(MsgAnswer::Ok);
  EXPECT_TRUE(Ends([&] { form->Form_Load(); }));
  ASSERT_EQ(fake.ui.boxes.size(), 1u);
  EXPECT_EQ(fake.ui.boxes[0].title, "Kelvane Info");
  EXPECT_EQ(fake.ui.boxes[0].text, "You are now using Version: \rKelvane - Version: Vers. 1.4b");
  EXPECT_FALSE(fake.ui.shown);
}

TEST_F(FormLoadTest, NoArgumentsExplainUsageAndLeaveADisabledStartButton) {
  fake.facts.exeName = "kvupd";
  fake.ui.ExpectBox(MsgAnswer::Ok);
  EXPECT_FALSE(Ends([&] { form->Form_Load(); }));
  ASSERT_EQ(fake.ui.boxes.size(), 1u);
  const auto& box = fake.ui.boxes[0];
  EXPECT_EQ(box.title, "Missing commandline parameter");
  EXPECT_EQ(box.text,
            "This program needs Command-Line Parameters:\r"
            "[URL] [PATH] [PARAM1] [PARAM2] [NOASK] [AUTOSTART] [SKIPINFO] [BATCHFILE]\r\r"
            "Example:\r\rDownload HTML-Pages:\r"
            "kvupd.exe [URL] www.example.com/index.html [PATH] C:\\Temp\\Index.html [NOASK]\r\r"
            "Download Applications (while they are running!!):\r"
            "kvupd.exe [URL] www.example.com/Downloads/MyApp.exe [PATH] C:\\Programme\\MyApp.exe "
            "[PARAM1] /install\r\r"
            "Use Batchmode:\rkvupd.exe [BATCHFILE] C:\\UpdateThis.txt");
  EXPECT_FALSE(form->StartBtn.Enabled());
  EXPECT_EQ(form->Label1.Text(), "Parameter missing");
  // The window is shown by the caller once the handler has returned.
  EXPECT_FALSE(fake.ui.shown);
}

TEST_F(FormLoadTest, UnusableLinesAreRejectedWithTheWholeArgumentText) {
  for (const std::string& args :
       std::vector<std::string>{"   ", "[URL] only", "[URL][PATH][PARAM1][PARAM2]"}) {
    fakes::FakePlatform f;
    f.facts.arguments = args;
    f.ui.ExpectBox(MsgAnswer::Ok);
    auto w = f.MakeForm();
    EXPECT_TRUE(Ends([&] { w->Form_Load(); })) << args;
    ASSERT_EQ(f.ui.boxes.size(), 1u) << args;
    EXPECT_EQ(f.ui.boxes[0].text, "Wrong parameter\r" + args);
    EXPECT_EQ(f.ui.boxes[0].title, "Kelvane");
    EXPECT_FALSE(f.ui.shown);
  }
}

TEST_F(FormLoadTest, AUsableLineFillsAndShowsTheWindowInOrder) {
  fake.facts.arguments =
      "[URL] http://h/MyApp.exe [PATH] \"C:\\Program Files\\MyApp.exe\" [SKIPINFO] [NOASK]";
  EXPECT_FALSE(Ends([&] { form->Form_Load(); }));
  EXPECT_TRUE(fake.ui.boxes.empty());
  EXPECT_EQ(form->Path, "C:\\Program Files\\MyApp.exe");
  EXPECT_EQ(form->Text1.Text(), "C:\\Program Files\\MyApp.exe");
  // The path field first held the quoted path; its caret sits behind it.
  EXPECT_EQ(fake.ui.texts["Text1"][0], "\"C:\\Program Files\\MyApp.exe\"");
  EXPECT_EQ(form->Text1.SelStart(), 28);
  EXPECT_EQ(form->RunProgramCheck.ToolTip(), "Run MyApp.exe after finished downloading");
  EXPECT_EQ(form->ShowCheckbox.ToolTip(),
            " Settings .. disable running MyApp.exe after downloding");
  EXPECT_TRUE(form->Timer2.Enabled());
  EXPECT_EQ(form->VersionsInfoText.Text(),
            "You are using: Vers. 1.4b\r\rCould not download update information");
  EXPECT_EQ(form->Label1.Text(), "Press 'Update' to start download:");
  EXPECT_EQ(form->CommandLine, fake.facts.arguments);  // keeps its switches

  // Shape and topmost before the window shows; title, show and focus in order.
  EXPECT_LT(At("region:313x167/40"), At("topmost:1"));
  EXPECT_LT(At("topmost:1"), At("title:Kelvane  Vers.Vers. 1.4b"));
  EXPECT_LT(At("title:Kelvane  Vers.Vers. 1.4b"), At("show"));
  EXPECT_EQ(At("show") + 1, At("focus:StartBtn"));
}

TEST_F(FormLoadTest, PollingOnlyWithNoAskAndNoToolTipsForABlankFileName) {
  fake.facts.arguments = "[URL] u [PATH] C:\\dir\\ [SKIPINFO]";
  form->Form_Load();
  EXPECT_FALSE(form->Timer2.Enabled());
  EXPECT_EQ(form->RunProgramCheck.ToolTip(), "");
  EXPECT_EQ(form->ShowCheckbox.ToolTip(), "Settings ...");
}

TEST_F(FormLoadTest, GermanLocaleGetsGermanCaptionsAndTexts) {
  fake.German();
  fake.ui.ExpectBox(MsgAnswer::Ok);
  form->Form_Load();
  EXPECT_EQ(form->RunProgramCheck.Text(), "Programm nach dem Update starten");
  EXPECT_EQ(form->StartBtn.ToolTip(), "Update jetzt starten");
  EXPECT_EQ(form->Label1.Text(), "Parameter fehlt!");
  EXPECT_EQ(form->VersionsInfoText.Text(),
            "Dies ist: Vers. 1.4b\r\rUpdate Information wurde nicht gefunden.");

  fakes::FakePlatform bad;
  bad.German();
  bad.facts.arguments = "[NOASK]";
  bad.ui.ExpectBox(MsgAnswer::Ok);
  auto w = bad.MakeForm();
  EXPECT_TRUE(Ends([&] { w->Form_Load(); }));
  EXPECT_EQ(bad.ui.boxes[0].text, "Falsche Parameter\r[NOASK]");
}

}  // namespace
}  // namespace kelvane
