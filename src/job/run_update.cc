// One update job from the running-program check to the start of the program,
// as a sequence of steps: lock, wait, fetch, check, rotate, install, restart.
#include "common/error_line.h"
#include "common/paths.h"
#include "common/text.h"
#include "job/job_files.h"
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
  // it, and the link stays.
  const JobFiles files(sys.fs.RealFile(Path));
  LockJob(FolderOfPath(files.target));
  struct Release {
    std::unique_ptr<FileLock>& lock;
    ~Release() { lock.reset(); }
  } release{jobLock_};

  WaitForProgram();
  FetchDownload(files);
  // The download is whole and on the disk here, and no name has changed yet.
  CheckDownload(files.download, files.target);
  const bool renameTarget = RotateBackups(files);
  if (!InstallDownload(files, renameTarget)) return;
  RestartProgram(files.target);
}

void Form1::LockJob(const std::string& folder) {
  // One job per folder: a second Kelvane waits here, before it even looks
  // for the running program, which the first may be about to restart. The
  // lock needs no file; whoever holds it, the window says what it waits for.
  jobLock_ = LockFolder(sys.fs, folder, [&] {
    const std::string waiting =
        Tr("Warte auf die Sperre des Ordners: ", "Waiting for the lock of the folder: ") + folder;
    if (Label1.Text() != waiting) Label1.SetText(waiting);
    DoEvents();
  });
  // The holder of the lock is the only job in the folder: what a killed one
  // left goes now.
  RemoveLeftovers(sys.fs, folder);
}

void Form1::WaitForProgram() {
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
}

void Form1::FetchDownload(const JobFiles& files) {
  Label1.SetText("Downloading ...");
  DoEvents();
  // A download left from an earlier run must never pass for this one.
  sys.fs.Remove(files.download);
  const bool fetched = !Download(URL, files.download).empty();
  Label1.SetText(Tr("Download abgeschlossen", "Download Done .."));
  if (!ScriptMode) Label3.SetText("...all done!");
  Label3.SetVisible(true);
  Label4.SetVisible(false);
  DoEvents();
  DoEvents();

  if (!fetched || !sys.fs.IsPresent(files.download)) {
    MsgBox(Tr(std::string("Download Fehler!") + CR + "Erneut versuchen?",
              std::string("Download Error!") + CR + "You want to try it again?"),
           MsgButtons::Ok, MsgIcon::None);
    EndProcess(ExitCode::DownloadFailed);
  }
  // The new program reaches the disk before any name changes.
  sys.fs.Sync(files.download, &fileError_);
}

bool Form1::RotateBackups(const JobFiles& files) {
  // Two generations of backups: ".old2" from ".old", ".old" from the target.
  // A ".old2" that stays costs the generation in ".old": it is said, and
  // the job goes on.
  if (sys.fs.IsPresent(files.olderBackup) && !sys.fs.Delete(files.olderBackup, &fileError_))
    WriteErrorLine("could not delete", fileError_, files.olderBackup);
  if (sys.fs.IsPresent(files.backup) &&
      !MoveFile(sys.fs, files.backup, files.olderBackup, &fileError_))
    FailBackup(files.target, files.olderBackup);
  if (sys.fs.IsPresent(files.backup)) {
    WriteErrorLine("could not delete", fileError_, files.backup);
    MsgBox(std::string("Fehler: Backup file is writeprotected!") + CR + files.backup,
           MsgButtons::Ok, MsgIcon::None);
  }
  // Where a rename stands in for the delete, the target becomes the backup
  // by its rename in the install step, at the moment it would be deleted;
  // else it is copied now and deleted there.
  const bool renameTarget =
      RenameStandsInForDelete(sys.fs, files.target) && !sys.fs.Attributes(files.backup);
  if (!renameTarget) BackUpTarget(files);
  return renameTarget;
}

void Form1::BackUpTarget(const JobFiles& files) {
  if (!BackUp(sys.fs, files.target, files.backup, &fileError_))
    FailBackup(files.target, files.backup);
}

void Form1::FailBackup(const std::string& target, const std::string& backup) {
  WriteErrorLine("could not create backup file", fileError_, backup);
  MsgBox(Tr(std::string("Fehler Backup Datei:") + CR + target + CR + "konnte nicht angelegt werden",
            std::string("Error: Could not create backup file:") + CR + target),
         MsgButtons::Ok, MsgIcon::None);
  EndProcess(ExitCode::ReplaceFailed);
}

bool Form1::InstallDownload(const JobFiles& files, bool renameTarget) {
  Label1.SetText("Remove Temp-Files..");
  DoEvents();
  if (!renameTarget || !sys.fs.Rename(files.target, files.backup, &fileError_)) {
    if (renameTarget) BackUpTarget(files);  // the rename failed: copy and delete after all
    sys.fs.Delete(files.target, &fileError_);
  }
  if (sys.fs.IsPresent(files.target)) {  // the user may still remove it while the box is open
    WriteErrorLine("could not delete", fileError_, files.target);
    MsgBox(Tr(std::string("Die Datei:") + CR + files.target + CR +
                  "Konnte nicht gelöscht werden.. bitte löschen sie sie, bevor die fortfahren!",
              std::string("Could not delete file:") + CR + files.target + CR +
                  "Please delete it before continue.."),
           MsgButtons::Ok, MsgIcon::None);
  }
  if (sys.fs.IsPresent(files.target)) {  // the old program stays: the download is discarded
    sys.fs.Delete(files.download, &fileError_);
    Outcome = ExitCode::ReplaceFailed;
    return false;
  }
  Install(sys.fs, files.download, files.target, &fileError_);
  DoEvents();
  if (!sys.fs.IsPresent(files.target)) {
    WriteErrorLine("could not replace", fileError_, files.target);
    // Put the old program back without overwriting anything; the download
    // stays for a later attempt.
    CopyFile(sys.fs, files.backup, files.target, false, &fileError_);
    Outcome = ExitCode::ReplaceFailed;
    return false;
  }
  if (!ScriptMode) Outcome = ExitCode::Done;
  return true;
}

void Form1::RestartProgram(const std::string& target) {
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

void Form1::EndProcess(ExitCode code) {
  jobLock_.reset();
  if (code == ExitCode::Cancelled)
    WriteErrorLine("cancelled", "stopped before the job was done", Path);
  sys.end.EndNow(code);
}

}  // namespace kelvane
