// The window's small commands.
#include "common/text.h"
#include "launch/run_file.h"
#include "ui/form1.h"

namespace kelvane {

// Never merely closes while a target exists: it starts that file (the old
// one in the middle of a job, the new one after it) and ends. During a fetch
// it stops the fetch first.
void Form1::Command1_Click() {
  if (fetching_ > 0) {
    if (stop_ == Stop::None) stop_ = Stop::Cancel;
    return;
  }
  CancelNow();
}

void Form1::CancelNow() {
  if (sys.fs.IsPresent(Path)) {
    StartFile(sys, Path + " " + StartArgs, 1);
    DoEvents();
  }
  EndProcess(Outcome);
}

void Form1::Label2_DblClick() {
  MsgBox("[URL] " + URL + CR + "[PATH] " + Path + CR + "[PARAM1] " + Param1 + CR + "[PARAM2] " +
             Param2,
         MsgButtons::Ok, MsgIcon::Information);
}

void Form1::Picture2_DblClick() {
  if (MsgBox(Tr("Programm beenden?", "Cancel all activity and close this Program?"),
             MsgButtons::OkCancel, MsgIcon::Question,
             Tr("Programm beenden?", "Close Program?")) != MsgAnswer::Ok)
    return;
  if (fetching_ == 0) EndProcess(Outcome);
  if (stop_ == Stop::None) stop_ = Stop::Close;
}

void Form1::EndAsked() {
  Outcome = ExitCode::Cancelled;
  if (fetching_ == 0) EndProcess(Outcome);
  stop_ = Stop::Close;  // also over a Cancel given before: nothing starts
}

void Form1::ShowCheckbox_Click() {
  ShowCheckbox.SetVisible(false);
  RunProgramCheck.SetVisible(true);
  DLVersion.SetVisible(true);
  DoEvents();
  sys.ui.SetFocus(RunProgramCheck);
}

// Unchecked: ask before starting the program and let the polling timer wait.
void Form1::RunProgramCheck_Click() { Ask = RunProgramCheck.Value() == 0; }

// The first character (a drive letter) stays unselected.
void Form1::Text1_GotFocus() { Text1.SetSelection(1, static_cast<int>(Text1.Text().size())); }

void Form1::Text1_LostFocus() {
  const int length = static_cast<int>(Text1.Text().size());
  Text1.SetSelection(length, 1);
}

}  // namespace kelvane
