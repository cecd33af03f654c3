#pragma once
// The main window: its controls, the parameter record of the job and the
// window's event handlers. Handlers are implemented in the file of the
// subsystem they belong to.
#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "common/error_record.h"
#include "common/program.h"
#include "download/download_check.h"
#include "job/job_files.h"
#include "platform/platform.h"
#include "ui/always_on_top.h"
#include "ui/control.h"

namespace kelvane {

// Variables of Form1 that carry the job between its handlers.
struct ParameterRecord {
  std::string CommandLine, UpperLine, URL, Path, Param1, Param2, StartArgs, ScriptFile;
  bool Ask = false, AutoStart = false, SkipInfo = false, HasParam1 = false, ScriptMode = false;
  CheckRequest Check;  // [SHA256] and [PUBKEY]
};

enum class UiEvent { Click, DblClick, MouseDown, MouseMove, GotFocus, LostFocus, Timer };

class Form1 : public ParameterRecord {
 public:
  explicit Form1(Platform& platform);
  Form1(const Form1&) = delete;
  Form1& operator=(const Form1&) = delete;

  // Every control in stored order (Form1 itself first).
  const std::vector<Control*>& Controls() const { return order_; }
  Control& Find(const std::string& name) const;
  // Called by the model after each change; the view installs it.
  void SetObserver(ControlObserver observer) { observer_ = std::move(observer); }

  // Routes an event of the view to its handler; events without a handler
  // are ignored. `button` is the mouse button of a MouseDown.
  void Dispatch(const Control& control, UiEvent event, int button = 1);

  // Start-up and command line.
  void Form_Load();
  // The version texts and the window's shape, before any job is read.
  void ShowVersion();
  // Shows the window with the job's path, title and tool tips.
  void ShowJob();
  // The window has shown: what waited for it may touch the disk now.
  void Form_Activate() { AlwaysOnTop1.WindowShown(); }
  std::string BefZeileAbrufen();
  void ParseParameters(std::string& line);
  // Why the parsed values make a wrong line (a control character in one, a
  // [PATH] that names a folder, a malformed [SHA256] or [PUBKEY]), if they do.
  std::optional<std::string> ValuesWrong();
  // The "Wrong parameter" line and box for `line`; ends the process.
  void RefuseParameters(const std::string& line, const std::string& reason);
  bool ScriptCheck();  // true when script mode was entered
  void ScriptRun();

  // Window commands.
  void Command1_Click();
  void Label2_DblClick();
  void Picture2_DblClick();
  // The system asks the program to end (a signal): as the picture's OK,
  // nothing starts, and the ending is "cancelled" whatever the job reached.
  void EndAsked();
  void ShowCheckbox_Click();
  void RunProgramCheck_Click();
  void Text1_GotFocus();
  void Text1_LostFocus();

  // Fetches `url` into `file` with the progress bar shown; a stop asked for
  // meanwhile (Cancel, the picture's OK) is carried out once the fetch has
  // ended. Returns the file written, or "".
  std::string Download(const std::string& url, const std::string& file, int64_t limit = 0);

  // Update job.
  void StartBtn_Click();
  void Timer2_Timer();
  void RunUpdate();
  // Checks the complete download against [SHA256] and [PUBKEY]; a download
  // that fails is removed and the process ends.
  void CheckDownload(const std::string& download, const std::string& target);
  // Ends the process; a job's lock goes first.
  void EndProcess(ExitCode code);

  // Version information.
  void ReadInfoFile();
  void DLVersion_Click();
  void Label4_Click();

  // Presentation.
  void SetGermanCaptions();
  // A press of any mouse button on these surfaces moves the window.
  void Form_MouseDown(int button);
  void Frame1_MouseDown(int button);
  void Label1_MouseDown(int button);
  void Label2_MouseDown(int button);
  void Label3_MouseDown(int button);
  void Picture2_MouseDown(int button);
  void VersionsInfoText_MouseDown(int button);

  // The message box of the program: an empty title shows "Kelvane".
  MsgAnswer MsgBox(const std::string& text, MsgButtons buttons, MsgIcon icon,
                   const std::string& title = "");
  // German when the user's language is German, English otherwise.
  std::string Tr(const std::string& german, const std::string& english);
  void DoEvents() { sys.ui.DoEvents(); }

  Platform& sys;
  ErrorRecord Err;
  // What ending the process now reports: cancelled until the job is done.
  ExitCode Outcome = ExitCode::Cancelled;

 private:
  // Reacts to changes the model itself must answer, then tells the view.
  void Changed(const Control& control);
  void DispatchClick(const Control& control);
  void DispatchMouseDown(const Control& control, int button);

  ControlObserver observer_;
  ControlObserver notify_;
  std::map<std::string, std::unique_ptr<Control>> controls_;
  std::vector<Control*> order_;

 public:
  Control &Form, &Picture2, &Frame1, &Timer3, &Timer2, &ControlFrame, &Command1, &Text1,
      &RunProgramCheck, &StartBtn, &ShowCheckbox, &AlwaysOnTopHost, &AOT_Disabled, &AOT_MouseMove,
      &AOT_Enabled, &Label1, &VersionsInfoText, &Timer1, &DLVersion, &Label3, &Label4, &Line1,
      &VersionCaption, &Label2, &DownloadProgress;
  AlwaysOnTop AlwaysOnTop1;

 private:
  std::string startFolder_;            // the current folder at start, for relative paths
  bool jobRunning_ = false;            // keeps a second job from starting inside a running one
  std::unique_ptr<FileLock> jobLock_;  // held from the start of a job to its end
  // Why the job's last failed file operation failed, for its error line.
  std::string fileError_ = "Unknown error";
  // A command given while a fetch runs waits for the fetch to stop.
  enum class Stop { None, Cancel, Close };
  Stop stop_ = Stop::None;
  int fetching_ = 0;  // fetches running (a handler may start one inside another)
  void CancelNow();

  // The steps of RunUpdate, in their order.
  void LockJob(const std::string& folder);
  void WaitForProgram();
  void FetchDownload(const JobFiles& files);
  // True when the target is to become its backup by rename, in the install step.
  bool RotateBackups(const JobFiles& files);
  // Ends the process when a target that exists got no backup.
  void BackUpTarget(const JobFiles& files);
  // The box and the line for a backup that could not be made; ends the process.
  void FailBackup(const std::string& target, const std::string& backup);
  bool InstallDownload(const JobFiles& files, bool renameTarget);  // false: not replaced
  void RestartProgram(const std::string& target);
};

}  // namespace kelvane
