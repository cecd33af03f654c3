// The load handler: everything the program does before its window shows.
#include "common/error_line.h"
#include "common/paths.h"
#include "common/text.h"
#include "ui/form1.h"
#include "ui/window_handling.h"

namespace kelvane {
namespace {

std::string UsageText(const std::string& exe) {
  const std::string cr(1, CR);
  return "This program needs Command-Line Parameters:" + cr +
         "[URL] [PATH] [PARAM1] [PARAM2] [NOASK] [AUTOSTART] [SKIPINFO] [BATCHFILE]" + cr + cr +
         "Example:" + cr + cr + "Download HTML-Pages:" + cr + exe +
         ".exe [URL] www.example.com/index.html [PATH] C:\\Temp\\Index.html [NOASK]" + cr + cr +
         "Download Applications (while they are running!!):" + cr + exe +
         ".exe [URL] www.example.com/Downloads/MyApp.exe [PATH] C:\\Programme\\MyApp.exe "
         "[PARAM1] /install" +
         cr + cr + "Use Batchmode:" + cr + exe + ".exe [BATCHFILE] C:\\UpdateThis.txt";
}

}  // namespace

void Form1::Form_Load() {
  SetGermanCaptions();
  StartArgs.clear();
  Ask = true;

  const std::string arguments = sys.facts.ArgumentText();
  if (arguments == "/?") {
    MsgBox(Tr("Dies ist die Version: ", "You are now using Version: ") + CR +
               "Kelvane - Version: " + kVersion,
           MsgButtons::Ok, MsgIcon::Information, "Kelvane Info");
    sys.end.EndNow(ExitCode::Done);
  }

  ShowVersion();

  if (arguments.empty()) {
    WriteErrorLine("missing commandline parameter", "no job given", sys.facts.ExeName());
    MsgBox(UsageText(sys.facts.ExeName()), MsgButtons::Ok, MsgIcon::Information,
           "Missing commandline parameter");
    StartBtn.SetEnabled(false);
    Outcome = ExitCode::WrongParameter;  // what closing the window then reports
    Label1.SetText(Tr("Parameter fehlt!", "Parameter missing"));
    return;
  }

  CommandLine = BefZeileAbrufen();
  ScriptMode = false;
  if (!ScriptCheck()) {
    std::string line = CommandLine;
    ParseParameters(line);
  }

  Text1.SetText(Path);
  Path = StripQuotes(Path);

  if (URL.empty() || Path.empty()) RefuseParameters(CommandLine, "a job needs [URL] and [PATH]");
  if (const auto wrong = ValuesWrong()) RefuseParameters(CommandLine, *wrong);
  // The job and the restart name the same file, wherever the job leaves the
  // current folder.
  startFolder_ = sys.fs.CurrentFolder();
  Path = AbsolutePath(Path, startFolder_);
  ShowJob();

  if (!Ask) Timer2.SetEnabled(true);
  Text1.SetText(Path);
  if (!SkipInfo) ReadInfoFile();
  if (AutoStart) StartBtn_Click();
}

void Form1::ShowVersion() {
  VersionsInfoText.SetText(Tr(
      std::string("Dies ist: ") + kVersion + CR + CR + "Update Information wurde nicht gefunden.",
      std::string("You are using: ") + kVersion + CR + CR +
          "Could not download update information"));
  RoundWindow(*this, 40);
  VersionCaption.SetText(kVersion);
  AlwaysOnTop1.SetToTop(true);
}

void Form1::ShowJob() {
  const int length = static_cast<int>(Text1.Text().size());
  Text1.SetSelection(length, 0);

  const std::string title = Label2.Text() + " Vers." + VersionCaption.Text();
  Form.SetText(title);
  sys.ui.SetWindowTitle(title);

  sys.ui.ShowWindow();
  Form_Activate();
  sys.ui.SetFocus(StartBtn);

  if (!Trim(Path).empty()) {
    const std::string exe = FileNameOfPath(Path);
    if (!exe.empty()) {
      RunProgramCheck.SetToolTip("Run " + exe + " after finished downloading");
      ShowCheckbox.SetToolTip(" Settings .. disable running " + exe + " after downloding");
    }
  }
}

}  // namespace kelvane
