#include <gtest/gtest.h>

#include "fakes/fake_platform.h"

namespace kelvane {
namespace {

// The box's title and buttons, and what each answer opens: the end-to-end tests.
TEST(VersionCheck, AsksWithTheNewestNotesOrTheJobsAndGivesTheJobBack) {
  fakes::FakePlatform fake;
  auto form = fake.MakeForm();
  form->URL = "http://h/job.exe";
  form->VersionsInfoText.SetText("job\r\nnotes");
  fake.ui.ExpectBox(MsgAnswer::Cancel);  // Escape: no answer, asked again
  fake.ui.ExpectBox(MsgAnswer::No);
  form->DLVersion_Click();  // Update.txt is not there: the job's text is asked
  fake.German();
  fake.fetcher.bodies[std::string(kHomepage) + "Update.txt"] = "Vers. 1.5\r\nfixes";
  fake.ui.ExpectBox(MsgAnswer::Yes);
  form->DLVersion_Click();

  ASSERT_EQ(fake.ui.boxes.size(), 3u);
  EXPECT_EQ(fake.ui.boxes[1].text, "job\rnotes\r\rdownload now? (Web-Page)");
  EXPECT_EQ(fake.ui.boxes[2].text, "Vers. 1.5\rfixes\r\r\rjetzt herunterladen? (Homepage)");
  EXPECT_EQ(form->URL, "http://h/job.exe");
  EXPECT_EQ(form->VersionsInfoText.Text(), "job\r\nnotes");
  EXPECT_TRUE(fake.fs.files.empty());  // no temporary file, no probe
}

}  // namespace
}  // namespace kelvane
