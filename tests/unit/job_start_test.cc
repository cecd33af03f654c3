#include <gtest/gtest.h>

#include "unit/job_bench.h"

namespace kelvane::testing {
namespace {

void Click(Form1& form, Control& control) { form.Dispatch(control, UiEvent::Click); }
void Tick(Form1& form) { form.Dispatch(form.Timer2, UiEvent::Timer); }

TEST(JobStart, OneJobOnTheEditedPathWhateverArrivesAtItsYields) {
  JobBench b("C:\\Apps\\edited.exe");
  b.form->Path = "C:\\Apps\\parsed.exe";
  b.form->Text1.TakeTypedText(b.target);
  b.Settings(true, 0);
  b.form->Timer2.SetEnabled(true);  // polling, as with [NOASK]
  // A second click before the button is disabled, and ticks that find the
  // program ended while the unticked box asks to wait.
  b.p.ui.AtYield(1, [&] {
    Click(*b.form, b.form->StartBtn);
    Tick(*b.form);
  });
  b.p.ui.AtYield(200, [&] { Tick(*b.form); });
  b.p.ui.ExpectBox(MsgAnswer::Yes);

  Click(*b.form, b.form->StartBtn);
  EXPECT_EQ(b.p.fetcher.calls,
            (std::vector<std::pair<std::string, std::string>>{{b.form->URL, b.target + "_"}}));
  EXPECT_EQ(b.File(b.target), "new");
  EXPECT_FALSE(b.form->StartBtn.Enabled());

  // Ticking the box after the job lets no later tick start it again.
  b.form->RunProgramCheck.TakeToggledValue(1);
  Click(*b.form, b.form->RunProgramCheck);
  Tick(*b.form);
  EXPECT_EQ(b.p.fetcher.calls.size(), 1u);
}

TEST(JobStart, CancelOrConfirmedCloseInTheMiddleEndsWithTheOldProgram) {
  for (bool cancel : {true, false}) {
    JobBench b;
    b.Settings(true, 1);
    b.form->Text1.SetText(b.target);
    b.p.ui.AtYield(3, [&] {
      if (cancel) {
        Click(*b.form, b.form->Command1);
      } else {
        b.p.ui.ExpectBox(MsgAnswer::Ok);
        b.form->Dispatch(b.form->Picture2, UiEvent::DblClick);
      }
    });
    EXPECT_TRUE(fakes::Ends([&] { Click(*b.form, b.form->StartBtn); }));
    EXPECT_TRUE(b.p.fetcher.calls.empty());
    EXPECT_EQ(b.File(b.target), "old");
    // Cancel starts the program that is there; the confirmed close starts nothing.
    ASSERT_EQ(b.p.launcher.started.size(), cancel ? 1u : 0u);
    if (cancel) {
      EXPECT_EQ(Unquoted(b.p.launcher.started[0]), b.target);
    }
  }

  // A close that is not confirmed lets the job go on, and a tick that finds
  // the program ended adds no second job.
  JobBench b;
  b.Settings(false, 0);
  b.form->Text1.SetText(b.target);
  b.form->Timer2.SetEnabled(true);
  b.p.ui.AtYield(3, [&] {
    Tick(*b.form);
    b.p.ui.ExpectBox(MsgAnswer::Cancel);
    b.form->Dispatch(b.form->Picture2, UiEvent::DblClick);
  });
  EXPECT_FALSE(fakes::Ends([&] { Click(*b.form, b.form->StartBtn); }));
  EXPECT_EQ(b.File(b.target), "new");
  EXPECT_EQ(b.p.fetcher.calls.size(), 1u);
}

TEST(JobStart, PollingStartsTheJobOnceTheProgramHasEndedAndAskIsFalse) {
  JobBench b;
  b.p.facts.arguments = "[URL] " + b.form->URL + " [PATH] " + b.target + " [NOASK] [SKIPINFO]";
  b.p.processes.running = {"tool.exe"};
  b.form->Form_Load();
  ASSERT_TRUE(b.form->Timer2.Enabled());

  Tick(*b.form);  // still running
  b.p.processes.running.clear();
  b.form->RunProgramCheck.TakeToggledValue(0);
  Click(*b.form, b.form->RunProgramCheck);
  Tick(*b.form);  // ended, but the box asks to wait
  EXPECT_TRUE(b.p.fetcher.calls.empty());

  b.form->RunProgramCheck.TakeToggledValue(1);
  Click(*b.form, b.form->RunProgramCheck);
  EXPECT_TRUE(fakes::Ends([&] { Tick(*b.form); }));
  EXPECT_EQ(b.File(b.target), "new");
  ASSERT_EQ(b.p.launcher.started.size(), 1u);
  EXPECT_EQ(Unquoted(b.p.launcher.started[0]), b.target);
}

}  // namespace
}  // namespace kelvane::testing
