#include <gtest/gtest.h>

#include <algorithm>

#include "fakes/fake_platform.h"

namespace kelvane {
namespace {

using fakes::Ends;

// The boxes' titles, the program's end and which windows show: the
// end-to-end tests. Here the texts and the state the window is left in.
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
  EXPECT_EQ(fake.ui.boxes[0].text, "You are now using Version: \rKelvane - Version: Vers. 1.4b");
}

TEST(FormLoad, NoArgumentsExplainUsageAndLeaveADisabledStartButtonInEitherLanguage) {
  for (bool german : {false, true}) {
    fakes::FakePlatform f;
    if (german) f.German();
    f.facts.exeName = "kvupd";
    f.ui.ExpectBox(MsgAnswer::Ok);
    auto w = f.MakeForm();
    ::testing::internal::CaptureStderr();
    EXPECT_FALSE(Ends([&] { w->Form_Load(); }));
    EXPECT_EQ(::testing::internal::GetCapturedStderr(),
              "kelvane: missing commandline parameter: no job given: kvupd\n");
    ASSERT_EQ(f.ui.boxes.size(), 1u);
    EXPECT_EQ(f.ui.boxes[0].text,
              "This program needs Command-Line Parameters:\r"
              "[URL] [PATH] [PARAM1] [PARAM2] [NOASK] [AUTOSTART] [SKIPINFO] [BATCHFILE]\r\r"
              "Example:\r\rDownload HTML-Pages:\r"
              "kvupd.exe [URL] www.example.com/index.html [PATH] C:\\Temp\\Index.html [NOASK]\r\r"
              "Download Applications (while they are running!!):\r"
              "kvupd.exe [URL] www.example.com/Downloads/MyApp.exe [PATH] C:\\Programme\\MyApp.exe "
              "[PARAM1] /install\r\r"
              "Use Batchmode:\rkvupd.exe [BATCHFILE] C:\\UpdateThis.txt");
    EXPECT_FALSE(w->StartBtn.Enabled());
    EXPECT_EQ(w->Label1.Text(), german ? "Parameter fehlt!" : "Parameter missing");
    EXPECT_EQ(w->VersionsInfoText.Text(),
              german ? "Dies ist: Vers. 1.4b\r\rUpdate Information wurde nicht gefunden."
                     : "You are using: Vers. 1.4b\r\rCould not download update information");
    EXPECT_EQ(w->StartBtn.ToolTip(), german ? "Update jetzt starten" : "Run Update now");
  }
}

// A line without a path (its keyword missing, or its value), or with keywords
// but no values; the whole argument text is shown, switches included, and
// named on standard error.
TEST_F(FormLoadTest, UnusableLinesAreRejectedWithTheWholeArgumentText) {
  for (const auto& [args, shown] : std::vector<std::pair<std::string, std::string>>{
           {"[URL] only", "Wrong parameter\r[URL] only"},
           {"[URL] http://host/a.exe [PATH]", "Wrong parameter\r[URL] http://host/a.exe [PATH]"},
           {"[URL][PATH][PARAM1][NOASK]", "Falsche Parameter\r[URL][PATH][PARAM1][NOASK]"}}) {
    fakes::FakePlatform f;
    if (shown.starts_with("Falsche")) f.German();
    f.facts.arguments = args;
    f.ui.ExpectBox(MsgAnswer::Ok);
    auto w = f.MakeForm();
    ::testing::internal::CaptureStderr();
    EXPECT_TRUE(Ends([&] { w->Form_Load(); })) << args;
    EXPECT_EQ(::testing::internal::GetCapturedStderr(),
              "kelvane: wrong parameter: a job needs [URL] and [PATH]: " + args + "\n");
    ASSERT_EQ(f.ui.boxes.size(), 1u) << args;
    EXPECT_EQ(f.ui.boxes[0].text, shown);
  }
}

TEST_F(FormLoadTest, AUsableLineFillsTheWindowAndShapesItBeforeItShows) {
  fake.facts.arguments =
      "[URL] http://h/MyApp.exe [PATH] \"C:\\Program Files\\MyApp.exe\" [SKIPINFO] [NOASK]";
  EXPECT_FALSE(Ends([&] { form->Form_Load(); }));
  EXPECT_EQ(form->Path, "C:\\Program Files\\MyApp.exe");
  EXPECT_EQ(form->Text1.Text(), "C:\\Program Files\\MyApp.exe");
  EXPECT_EQ(form->Text1.SelStart(), 28);  // behind the path as it was first shown, quoted
  EXPECT_EQ(form->RunProgramCheck.ToolTip(), "Run MyApp.exe after finished downloading");
  EXPECT_EQ(form->ShowCheckbox.ToolTip(),
            " Settings .. disable running MyApp.exe after downloding");
  EXPECT_TRUE(form->Timer2.Enabled());
  EXPECT_EQ(form->Label1.Text(), "Press 'Update' to start download:");
  EXPECT_LT(At("region:313x167/40"), At("show"));
  EXPECT_LT(At("topmost:1"), At("show"));
}

TEST_F(FormLoadTest, PollingOnlyWithNoAskAndNoToolTipsForABlankFileName) {
  fake.facts.arguments = "[URL] u [PATH] C:\\dir\\ [SKIPINFO]";
  form->Form_Load();
  EXPECT_FALSE(form->Timer2.Enabled());
  EXPECT_EQ(form->RunProgramCheck.ToolTip(), "");
  EXPECT_EQ(form->ShowCheckbox.ToolTip(), "Settings ...");
}

}  // namespace
}  // namespace kelvane
