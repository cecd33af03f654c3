// The file steps of an update job: copies, moves, the lock of the target and
// the line on standard error when a step fails.
#include <cstdio>

#include "common/error_line.h"
#include "common/text.h"
#include "ui/form1.h"

namespace kelvane {
namespace {

// The longest wait for the lock between two yields: short enough that the
// window stays lively.
constexpr int kLockWaitMs = 20;

}  // namespace

void Form1::CopyFile(const std::string& source, const std::string& dest, bool overwrite) {
  if (overwrite && sys.fs.IsPresent(source) && sys.fs.IsPresent(dest)) sys.fs.Delete(dest);
  // A destination that is still there (never overwritten, or not deletable)
  // is left as it is.
  if (sys.fs.IsPresent(dest)) return;
  sys.fs.Copy(source, dest);  // without effect when the source is missing
}

bool Form1::RenameStandsInForDelete(const std::string& path) {
  // A read-only file is never deleted, but could be renamed.
  const auto attributes = sys.fs.Attributes(path);
  return sys.fs.RenameActsAsDelete() && attributes &&
         (*attributes & (FileSystem::kAttributeReadOnly | FileSystem::kAttributeDirectory)) == 0;
}

void Form1::MoveFile(const std::string& source, const std::string& dest) {
  if (sys.fs.IsPresent(source) && sys.fs.IsPresent(dest)) sys.fs.Delete(dest);
  // Where the delete would succeed, the rename gives the same files without
  // moving a byte; a rename that fails changes nothing.
  if (RenameStandsInForDelete(source) && sys.fs.Rename(source, dest)) return;
  CopyFile(source, dest, true);
  sys.fs.Delete(source);
}

void Form1::BackUp(const std::string& target, const std::string& backup) {
  CopyFile(target, backup, true);
  // A target that does not exist yet (a first installation) needs no backup.
  if (!sys.fs.IsPresent(backup) && sys.fs.IsPresent(target)) {
    ReportFileError("could not copy to", backup);
    MsgBox(
        Tr(std::string("Fehler Backup Datei:") + CR + target + CR + "konnte nicht angelegt werden",
           std::string("Error: Could not create backup file:") + CR + target),
        MsgButtons::Ok, MsgIcon::None);
    EndProcess(ExitCode::ReplaceFailed);
  }
}

void Form1::Install(const std::string& download, const std::string& target) {
  if (sys.fs.IsPresent(download) && sys.fs.IsPresent(target)) sys.fs.Delete(target);
  if (sys.fs.IsPresent(target)) return;  // the old file stays; the download is discarded
  // The new program takes the target's name in one step, complete, with its
  // mode and on the disk (synced after the download): a crash leaves the old
  // program in ".old" or the new one in place, never a part of it.
  if (!sys.fs.Rename(download, target)) sys.fs.Copy(download, target);
}

void Form1::ReportFileError(const std::string& failed, const std::string& file) {
  std::fputs(("kelvane: " + failed + " " + file + ": " + sys.fs.LastError() + "\n").c_str(),
             stderr);
  std::fflush(stderr);
}

void Form1::LockTarget(const std::string& target) {
  jobLock_.reset();
  while (!(jobLock_ = sys.fs.TryLock(target, kLockWaitMs))) DoEvents();
}

void Form1::EndProcess(ExitCode code) {
  jobLock_.reset();
  if (code == ExitCode::Cancelled)
    WriteErrorLine("cancelled", "stopped before the job was done", Path);
  sys.end.EndNow(code);
}

}  // namespace kelvane
