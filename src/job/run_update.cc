// One update job from the running-program check to the start of the program.
#include "common/error_line.h"
#include "common/text.h"
#include "download/url_download.h"
#include "job/program_running.h"
#include "launch/run_file.h"
#include "ui/form1.h"

namespace kelvane {
namespace {

constexpr int kRunningChecks = 6;
constexpr int kYieldsPerCheck = 501;  // a short pause counted in yields, not in time

}  // namespace

void Form1::RunUpdate() {
  // A link is followed: the file it names is replaced, its backups lie beside
  // it, and the link stays. One job per file: a second Kelvane waits here,
  // before it even looks for the running program, which the first may be
  // about to restart.
  const std::string target = sys.fs.RealFile(Path);
  LockTarget(target);
  struct Release {
    std::unique_ptr<FileLock>& lock;
    ~Release() { lock.reset(); }
  } release{jobLock_};

  for (int check = 1; check <= kRunningChecks; ++check) {
    for (int i = 0; i < kYieldsPerCheck; ++i) DoEvents();
    if (!IsProgramRunning(sys.processes, Path)) break;
    // After the last warning the job goes on: the replacement then shows
    // whether the file can still be swapped.
    MsgBox(Tr(std::string("Das Programm: ") + CR + Path + CR + CR + "ist noch gestartet!" + CR +
                  "Bitte schließen sie das Program bevor Sie das Update starten!",
              std::string("The program: ") + CR + Path + CR + CR + "is still running!" + CR +
                  "Please close the program before starting the Update-Process!"),
           MsgButtons::Ok, MsgIcon::Information,
           Tr("Bitte Programm schließen..", "Close program.."));
  }

  const std::string download = target + "_";
  const std::string backup = target + ".old";
  const std::string olderBackup = target + ".old2";

  Label1.SetText("Downloading ...");
  DoEvents();
  // A download left from an earlier run must never pass for this one.
  sys.fs.Remove(download);
  const bool fetched = !Download(URL, download).empty();
  Label1.SetText(Tr("Download abgeschlossen", "Download Done .."));
  if (!ScriptMode) Label3.SetText("...all done!");
  Label3.SetVisible(true);
  Label4.SetVisible(false);
  DoEvents();
  DoEvents();

  if (!fetched || !sys.fs.IsPresent(download)) {
    MsgBox(Tr(std::string("Download Fehler!") + CR + "Erneut versuchen?",
              std::string("Download Error!") + CR + "You want to try it again?"),
           MsgButtons::Ok, MsgIcon::None);
    EndProcess(ExitCode::DownloadFailed);
  }
  // The new program reaches the disk before any name changes.
  sys.fs.Sync(download);

  // Two generations of backups: ".old2" from ".old", ".old" from the target.
  if (sys.fs.IsPresent(olderBackup)) sys.fs.Delete(olderBackup);
  if (sys.fs.IsPresent(backup)) MoveFile(backup, olderBackup);
  if (sys.fs.IsPresent(backup)) {
    ReportFileError("could not delete", backup);
    MsgBox(std::string("Fehler: Backup file is writeprotected!") + CR + backup, MsgButtons::Ok,
           MsgIcon::None);
  }
  // Where a rename stands in for the delete, the target becomes the backup
  // by its rename below, at the moment it would be deleted; else it is
  // copied now and deleted there.
  const bool renameTarget = RenameStandsInForDelete(target) && !sys.fs.Attributes(backup);
  if (!renameTarget) BackUp(target, backup);

  Label1.SetText("Remove Temp-Files..");
  DoEvents();
  if (!renameTarget || !sys.fs.Rename(target, backup)) {
    if (renameTarget) BackUp(target, backup);  // the rename failed: copy and delete after all
    sys.fs.Delete(target);
  }
  if (sys.fs.IsPresent(target)) {  // the user may still remove it while the box is open
    ReportFileError("could not delete", target);
    MsgBox(Tr(std::string("Die Datei:") + CR + target + CR +
                  "Konnte nicht gelöscht werden.. bitte löschen sie sie, bevor die fortfahren!",
              std::string("Could not delete file:") + CR + target + CR +
                  "Please delete it before continue.."),
           MsgButtons::Ok, MsgIcon::None);
  }
  Install(download, target);
  DoEvents();
  if (!sys.fs.IsPresent(target)) {
    ReportFileError("could not replace", target);
    // Put the old program back without overwriting anything; the download
    // stays for a later attempt.
    CopyFile(backup, target, false);
    Outcome = ExitCode::ReplaceFailed;
    return;
  }
  sys.fs.Delete(download);  // also when the old target stayed: the download is discarded
  if (!ScriptMode) Outcome = ExitCode::Done;

  Label1.SetText(Tr("fertig ...", "done ..."));
  AlwaysOnTop1.SetToNormal(true);
  if (!ScriptMode) Label1.SetText(Tr("Programm wird gestartet..", "Restarting Program.."));
  DoEvents();
  const std::string ownFolder = sys.facts.ExeFolder();
  sys.fs.SetCurrentFolder(ownFolder);
  if (!ownFolder.empty()) sys.fs.SetCurrentDrive(ownFolder.front());

  // From here on every use of Path, also outside the job, sees the quoted form.
  if (Path.find(' ') != std::string::npos && Path.find('"') == std::string::npos)
    Path = '"' + Trim(Path) + '"';
  DoEvents();

  if (!ScriptMode && Ask &&
      MsgBox(Tr(std::string("Programm jetzt starten:") + CR + CR + Path,
                std::string("Restart:") + CR + CR + Path),
             MsgButtons::YesNo, MsgIcon::Question,
             Tr("Programm starten?", "Run program?")) == MsgAnswer::No) {
    WriteErrorLine("not started", "the question to run it was answered No", target);
    EndProcess(ExitCode::Declined);
  }

  if (RunProgramCheck.Value() == 1 && !ScriptMode) {
    StartArgs = Trim(" " + Param1 + " " + Param2);
    if (!StartFile(sys, Path + " " + StartArgs, 1)) {
      WriteErrorLine("could not start", "the system started no process", target);
      MsgBox(
          Tr(std::string("Das Programm: ") + CR + Path + CR + CR + "konnte nicht gestartet werden!",
             std::string("The program: ") + CR + Path + CR + CR + "could not be started!"),
          MsgButtons::Ok, MsgIcon::None);
      EndProcess(ExitCode::RestartFailed);
    }
    EndProcess(ExitCode::Done);
  }
  if (!ScriptMode) Command1.SetText(Tr("Schließen", "Close"));
}

}  // namespace kelvane
