#include <gtest/gtest.h>

#include "unit/job_bench.h"

namespace kelvane::testing {
namespace {

// Cancel and the picture's close during a job: the run_update tests and the
// end-to-end tests; polling with [NOASK]: the end-to-end tests.
TEST(JobStart, OneJobOnTheEditedPathWhateverArrivesAtItsYields) {
  JobBench b("C:\\Apps\\edited.exe");
  b.form->Path = "C:\\Apps\\parsed.exe";
  b.form->Text1.TakeTypedText(b.target);
  b.Settings(true, 0);
  b.form->Timer2.SetEnabled(true);  // polling, as with [NOASK]
  // A second click before the button is disabled.
  b.p.ui.AtNextYield([&] { b.form->Dispatch(b.form->StartBtn, UiEvent::Click); });
  b.p.ui.ExpectBox(MsgAnswer::Yes);

  b.form->Dispatch(b.form->StartBtn, UiEvent::Click);
  EXPECT_EQ(b.p.fetcher.calls,
            (std::vector<std::pair<std::string, std::string>>{{b.form->URL, b.target + "_"}}));
  EXPECT_EQ(b.File(b.target), "new");
  EXPECT_FALSE(b.form->StartBtn.Enabled());

  // Ticking the box after the job lets no later tick start it again.
  b.form->RunProgramCheck.TakeToggledValue(1);
  b.form->Dispatch(b.form->RunProgramCheck, UiEvent::Click);
  b.form->Dispatch(b.form->Timer2, UiEvent::Timer);
  EXPECT_EQ(b.p.fetcher.calls.size(), 1u);
}

}  // namespace
}  // namespace kelvane::testing
