#include <gtest/gtest.h>

#include "fakes/fake_platform.h"

namespace kelvane {
namespace {

const std::string kBrowser = "C:\\Web\\browser.exe";

// The box's title and buttons, and what each answer opens: the end-to-end tests.
struct VersionCheckTest : testing::Test {
  fakes::FakePlatform fake;
  std::unique_ptr<Form1> form = fake.MakeForm();
  VersionCheckTest() {
    fake.launcher.associations[".html"] = kBrowser;
    form->URL = "http://h/job.exe";
    form->VersionsInfoText.SetText("job\r\nnotes");
  }
  // The job's URL and text come back whatever the answer.
  void ExpectJobRestored() {
    EXPECT_EQ(form->URL, "http://h/job.exe");
    EXPECT_EQ(form->VersionsInfoText.Text(), "job\r\nnotes");
    EXPECT_TRUE(fake.fs.files.empty());  // no temporary file, no probe
  }
};

TEST_F(VersionCheckTest, YesAsksWithTheNewestNotesAndRestoresTheJob) {
  fake.fetcher.bodies[std::string(kHomepage) + "Update.txt"] = "Vers. 1.5\r\nfixes";
  fake.ui.ExpectBox(MsgAnswer::Yes);
  form->DLVersion_Click();
  ASSERT_EQ(fake.ui.boxes.size(), 1u);
  EXPECT_EQ(fake.ui.boxes[0].text, "Vers. 1.5\rfixes\r\r\rdownload now? (Web-Page)");
  EXPECT_TRUE(form->VersionsInfoText.Visible());
  ExpectJobRestored();
}

TEST_F(VersionCheckTest, WithoutUpdateNotesTheJobsTextIsAsked) {
  fake.German();
  fake.ui.ExpectBox(MsgAnswer::No);
  fake.ui.ExpectBox(MsgAnswer::No);
  form->DLVersion_Click();  // Update.txt is not there: the job's text is asked
  fake.fetcher.bodies[std::string(kHomepage) + "Update.txt"] = "Vers. 1.5";
  form->DLVersion_Click();
  ASSERT_EQ(fake.ui.boxes.size(), 2u);
  EXPECT_EQ(fake.ui.boxes[0].text, "job\rnotes\r\rjetzt herunterladen? (Homepage)");
  EXPECT_EQ(fake.ui.boxes[1].text, "Vers. 1.5\r\r\rjetzt herunterladen? (Homepage)");
  ExpectJobRestored();
}

}  // namespace
}  // namespace kelvane
