// The file steps of an update job: whole copies, moves, the lock and the line
// on standard error when a step fails.
#include "job/job_files.h"

#include "common/paths.h"
#include "common/temporary_name.h"

namespace kelvane {
namespace {

// The longest wait for the lock between two yields: short enough that the
// window stays lively.
constexpr int kLockWaitMs = 20;
// A random name taken by someone else is tried again, a few times.
constexpr int kNameTries = 8;

// Copies `source` to a fresh temporary name beside `dest`, and gives the
// whole, synced copy the name `dest`: a crash or a failure never leaves a
// part of it under that name. False when no copy took the name.
bool CopyWhole(FileSystem& fs, const std::string& source, const std::string& dest,
               std::string* err) {
  for (int i = 0; i < kNameTries; ++i) {
    const std::string temporary = TemporaryName(FolderOfPath(dest));
    if (!fs.Copy(source, temporary, err)) {
      if (fs.Attributes(temporary)) continue;  // the name was taken: another one
      return false;
    }
    if (fs.Rename(temporary, dest, err)) return true;
    fs.Remove(temporary);
    return false;
  }
  return false;
}

}  // namespace

bool RenameStandsInForDelete(FileSystem& fs, const std::string& path) {
  // A read-only file is never deleted, but could be renamed.
  const auto attributes = fs.Attributes(path);
  return fs.RenameActsAsDelete() && attributes &&
         (*attributes & (FileSystem::kAttributeReadOnly | FileSystem::kAttributeDirectory)) == 0;
}

bool CopyFile(FileSystem& fs, const std::string& source, const std::string& dest, bool overwrite,
              std::string* err) {
  if (overwrite && fs.IsPresent(source) && fs.IsPresent(dest)) fs.Delete(dest, err);
  // A destination that is still there (never overwritten, or not deletable)
  // is left as it is, and so is a missing source.
  if (fs.IsPresent(dest) || !fs.IsPresent(source)) return true;
  return CopyWhole(fs, source, dest, err);
}

bool MoveFile(FileSystem& fs, const std::string& source, const std::string& dest,
              std::string* err) {
  if (fs.IsPresent(source) && fs.IsPresent(dest)) fs.Delete(dest, err);
  // Where the delete would succeed, the rename gives the same files without
  // moving a byte; a rename that fails changes nothing.
  if (RenameStandsInForDelete(fs, source) && fs.Rename(source, dest, err)) return true;
  if (!CopyFile(fs, source, dest, true, err)) return false;
  fs.Delete(source, err);
  return true;
}

bool BackUp(FileSystem& fs, const std::string& target, const std::string& backup,
            std::string* err) {
  // A target that does not exist yet (a first installation) needs no backup.
  return CopyFile(fs, target, backup, true, err) && (fs.IsPresent(backup) || !fs.IsPresent(target));
}

void Install(FileSystem& fs, const std::string& download, const std::string& target,
             std::string* err) {
  // The new program takes the target's name in one step, complete, with its
  // mode and on the disk (synced after the download): a crash leaves the old
  // program in ".old" or the new one in place, never a part of it. One that
  // cannot be moved (held open elsewhere) is copied the same way.
  if (!fs.Rename(download, target, err) && CopyWhole(fs, download, target, err))
    fs.Delete(download, err);
}

void RemoveLeftovers(FileSystem& fs, const std::string& folder) {
  for (const std::string& name : fs.Names(folder))
    if (IsTemporaryName(name)) fs.Remove(folder + name);
}

std::unique_ptr<FileLock> LockFolder(FileSystem& fs, const std::string& folder,
                                     const std::function<void()>& wait) {
  std::unique_ptr<FileLock> lock;
  while (!(lock = fs.TryLock(folder, kLockWaitMs))) wait();
  return lock;
}

}  // namespace kelvane
