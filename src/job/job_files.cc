// The file steps of an update job: copies, moves, the lock of the target and
// the line on standard error when a step fails.
#include "job/job_files.h"

#include <cstdio>

namespace kelvane {
namespace {

// The longest wait for the lock between two yields: short enough that the
// window stays lively.
constexpr int kLockWaitMs = 20;

}  // namespace

bool RenameStandsInForDelete(FileSystem& fs, const std::string& path) {
  // A read-only file is never deleted, but could be renamed.
  const auto attributes = fs.Attributes(path);
  return fs.RenameActsAsDelete() && attributes &&
         (*attributes & (FileSystem::kAttributeReadOnly | FileSystem::kAttributeDirectory)) == 0;
}

void CopyFile(FileSystem& fs, const std::string& source, const std::string& dest, bool overwrite) {
  if (overwrite && fs.IsPresent(source) && fs.IsPresent(dest)) fs.Delete(dest);
  // A destination that is still there (never overwritten, or not deletable)
  // is left as it is.
  if (fs.IsPresent(dest)) return;
  fs.Copy(source, dest);  // without effect when the source is missing
}

void MoveFile(FileSystem& fs, const std::string& source, const std::string& dest) {
  if (fs.IsPresent(source) && fs.IsPresent(dest)) fs.Delete(dest);
  // Where the delete would succeed, the rename gives the same files without
  // moving a byte; a rename that fails changes nothing.
  if (RenameStandsInForDelete(fs, source) && fs.Rename(source, dest)) return;
  CopyFile(fs, source, dest, true);
  fs.Delete(source);
}

bool BackUp(FileSystem& fs, const std::string& target, const std::string& backup) {
  CopyFile(fs, target, backup, true);
  // A target that does not exist yet (a first installation) needs no backup.
  return fs.IsPresent(backup) || !fs.IsPresent(target);
}

void Install(FileSystem& fs, const std::string& download, const std::string& target) {
  if (fs.IsPresent(download) && fs.IsPresent(target)) fs.Delete(target);
  if (fs.IsPresent(target)) return;  // the old file stays; the download is discarded
  // The new program takes the target's name in one step, complete, with its
  // mode and on the disk (synced after the download): a crash leaves the old
  // program in ".old" or the new one in place, never a part of it.
  if (!fs.Rename(download, target)) fs.Copy(download, target);
}

void ReportFileError(const std::string& failed, const std::string& reason,
                     const std::string& file) {
  std::fputs(("kelvane: " + failed + " " + file + ": " + reason + "\n").c_str(), stderr);
  std::fflush(stderr);
}

std::unique_ptr<FileLock> LockTarget(FileSystem& fs, const std::string& target,
                                     const std::function<void()>& wait) {
  std::unique_ptr<FileLock> lock;
  while (!(lock = fs.TryLock(target, kLockWaitMs))) wait();
  return lock;
}

}  // namespace kelvane
