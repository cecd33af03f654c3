// Starting a job: the start button, [AUTOSTART] and the polling timer.
#include "job/program_running.h"
#include "ui/form1.h"

namespace kelvane {

void Form1::StartBtn_Click() {
  // The job yields to the event loop many times, and the first yield below
  // comes before the button is disabled: a second click or a polling tick
  // arriving there must not nest a second job inside this one.
  if (jobRunning_) return;
  jobRunning_ = true;
  // Polling has done its work once any job starts. Left on, a tick after a
  // job that leaves the window open (a script run, or the box ticked again
  // after the job) would start the whole job a second time.
  Timer2.SetEnabled(false);

  Path = Text1.Text();
  Label1.SetText(Tr("Verbinde ...", "Connecting ..."));
  DoEvents();
  StartBtn.SetEnabled(false);
  ShowCheckbox_Click();
  sys.ui.SetFocus(Command1);
  if (ScriptMode)
    ScriptRun();
  else
    RunUpdate();
  jobRunning_ = false;
}

void Form1::Timer2_Timer() {
  if (!IsProgramRunning(sys.processes, Path) && !Ask) {
    Timer2.SetEnabled(false);
    StartBtn_Click();
  }
}

}  // namespace kelvane
