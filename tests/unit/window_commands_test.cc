#include <gtest/gtest.h>

#include "unit/job_bench.h"

namespace kelvane::testing {
namespace {

TEST(WindowCommands, Command1StartsThePresentTargetAndAlwaysEnds) {
  JobBench missing("C:\\Apps\\none.exe", "");
  EXPECT_TRUE(fakes::Ends([&] { missing.form->Command1_Click(); }));
  EXPECT_TRUE(missing.p.launcher.started.empty());

  JobBench present;
  present.form->StartArgs = "/x";
  EXPECT_TRUE(fakes::Ends([&] { present.form->Command1_Click(); }));
  ASSERT_EQ(present.p.launcher.started.size(), 1u);
  EXPECT_EQ(Unquoted(present.p.launcher.started[0]), present.target + " /x");
}

TEST(WindowCommands, ParameterDisplayAndCloseConfirmation) {
  JobBench b;
  b.form->Param1 = "/install";
  b.p.ui.ExpectBox(MsgAnswer::Ok);
  b.form->Label2_DblClick();
  ASSERT_EQ(b.p.ui.boxes.size(), 1u);
  EXPECT_EQ(b.p.ui.boxes[0].text, Lines({"[URL] http://host/tool.exe", "[PATH] C:\\Apps\\tool.exe",
                                         "[PARAM1] /install", "[PARAM2] "}));
  EXPECT_EQ(b.p.ui.boxes[0].title, "Kelvane");
  EXPECT_EQ(b.p.ui.boxes[0].icon, MsgIcon::Information);

  for (bool german : {false, true}) {
    JobBench c;
    if (german) c.p.German();
    c.p.ui.ExpectBox(MsgAnswer::Cancel);
    EXPECT_FALSE(fakes::Ends([&] { c.form->Picture2_DblClick(); }));
    c.p.ui.ExpectBox(MsgAnswer::Ok);
    EXPECT_TRUE(fakes::Ends([&] { c.form->Picture2_DblClick(); }));
    for (const auto& box : c.p.ui.boxes) {
      EXPECT_EQ(box.text,
                german ? "Programm beenden?" : "Cancel all activity and close this Program?");
      EXPECT_EQ(box.title, german ? "Programm beenden?" : "Close Program?");
      EXPECT_EQ(box.buttons, MsgButtons::OkCancel);
      EXPECT_EQ(box.icon, MsgIcon::Question);
    }
    EXPECT_TRUE(c.p.launcher.started.empty());
  }
}

TEST(WindowCommands, SettingsCheckBoxAndPathField) {
  JobBench b;
  b.form->ShowCheckbox_Click();
  EXPECT_FALSE(b.form->ShowCheckbox.Visible());
  EXPECT_TRUE(b.form->RunProgramCheck.Visible());
  EXPECT_TRUE(b.form->DLVersion.Visible());
  EXPECT_EQ(b.p.ui.log.back(), "focus:RunProgramCheck");

  // The box alone decides, whatever Ask was before.
  for (int value : {0, 0, 1, 1, 0}) {
    b.form->Ask = value == 1;
    b.form->RunProgramCheck.TakeToggledValue(value);
    b.form->Dispatch(b.form->RunProgramCheck, UiEvent::Click);
    EXPECT_EQ(b.form->Ask, value == 0);
  }

  b.form->Text1.SetText("C:\\");
  b.form->Dispatch(b.form->Text1, UiEvent::GotFocus);  // selects ":\", not the drive
  EXPECT_EQ(b.form->Text1.SelStart(), 1);
  EXPECT_EQ(b.form->Text1.SelLength(), 2);
  b.form->Dispatch(b.form->Text1, UiEvent::LostFocus);  // the caret at the end
  EXPECT_EQ(b.form->Text1.SelStart(), 3);
  EXPECT_EQ(b.form->Text1.SelLength(), 0);
}

}  // namespace
}  // namespace kelvane::testing
