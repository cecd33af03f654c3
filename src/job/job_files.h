#pragma once
// The file steps of an update job over the platform's file system: the names
// a job works with beside its target, and how it copies, moves, installs and
// locks them.
#include <functional>
#include <memory>
#include <string>

#include "platform/file_system.h"

namespace kelvane {

// The names of one job: its target and the siblings it may create.
struct JobFiles {
  explicit JobFiles(const std::string& file)
      : target(file), download(file + "_"), backup(file + ".old"), olderBackup(file + ".old2") {}
  std::string target, download, backup, olderBackup;
};

// The steps below put why a file operation failed into `*err` (as
// FileSystem does), so the job can say it after the step.

// Whether a rename of `path` succeeds exactly where its deletion would.
bool RenameStandsInForDelete(FileSystem& fs, const std::string& path);
// Makes `dest` a whole copy of `source`; an existing `dest` is replaced only
// with `overwrite`, and one that cannot be deleted stays as it is. False when
// a copy was due and failed: then nothing of it is left.
bool CopyFile(FileSystem& fs, const std::string& source, const std::string& dest, bool overwrite,
              std::string* err);
// What CopyFile(source, dest, true) followed by a delete of `source` leaves;
// false (and `source` kept) when the copy failed.
bool MoveFile(FileSystem& fs, const std::string& source, const std::string& dest, std::string* err);
// Copies the target to its backup; false when a target that exists got no
// whole backup.
bool BackUp(FileSystem& fs, const std::string& target, const std::string& backup, std::string* err);
// Puts the download in place of the target, which is absent by now.
void Install(FileSystem& fs, const std::string& download, const std::string& target,
             std::string* err);
// Removes the temporary copies a killed job left in `folder` (which ends with
// its separator); only a holder of the folder's lock may.
void RemoveLeftovers(FileSystem& fs, const std::string& folder);
// Waits, calling `wait` between tries, until no other process holds the lock
// of `folder`, then holds it for this job: one job at a time per folder.
std::unique_ptr<FileLock> LockFolder(FileSystem& fs, const std::string& folder,
                                     const std::function<void()>& wait);

}  // namespace kelvane
