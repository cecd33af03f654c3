#include <gtest/gtest.h>

#include "unit/job_bench.h"

namespace kelvane::testing {
namespace {

// Cancel, the close box's English title and buttons, what the settings arrow
// shows: the end-to-end tests. Here the texts and the path field's selection.
TEST(WindowCommands, ParameterDisplayAndCloseConfirmation) {
  JobBench b;
  b.form->Param1 = "/install";
  b.p.ui.ExpectBox(MsgAnswer::Ok);
  b.form->Label2_DblClick();
  ASSERT_EQ(b.p.ui.boxes.size(), 1u);
  EXPECT_EQ(b.p.ui.boxes[0].text, Lines({"[URL] http://host/tool.exe", "[PATH] C:\\Apps\\tool.exe",
                                         "[PARAM1] /install", "[PARAM2] "}));

  for (bool german : {false, true}) {
    JobBench c;
    if (german) c.p.German();
    c.p.ui.ExpectBox(MsgAnswer::Ok);
    EXPECT_TRUE(fakes::Ends([&] { c.form->Picture2_DblClick(); }));
    ASSERT_EQ(c.p.ui.boxes.size(), 1u);
    EXPECT_EQ(c.p.ui.boxes[0].text,
              german ? "Programm beenden?" : "Cancel all activity and close this Program?");
    EXPECT_EQ(c.p.ui.boxes[0].title, german ? "Programm beenden?" : "Close Program?");
  }
}

TEST(WindowCommands, CheckBoxAndPathField) {
  JobBench b;
  // The box alone decides, whatever Ask was before.
  for (int value : {0, 1}) {
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
