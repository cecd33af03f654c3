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

// Whether a rename of `path` succeeds exactly where its deletion would.
bool RenameStandsInForDelete(FileSystem& fs, const std::string& path);
// Makes `dest` a copy of `source`; an existing `dest` is replaced only with
// `overwrite`, and one that cannot be deleted stays as it is.
void CopyFile(FileSystem& fs, const std::string& source, const std::string& dest, bool overwrite);
// What CopyFile(source, dest, true) followed by a delete of `source` leaves.
void MoveFile(FileSystem& fs, const std::string& source, const std::string& dest);
// Copies the target to its backup; false when a target that exists got no
// backup.
bool BackUp(FileSystem& fs, const std::string& target, const std::string& backup);
// Puts the download in place of the target (absent by now, unless it could
// not be deleted).
void Install(FileSystem& fs, const std::string& download, const std::string& target);
// One line on standard error: what failed with which file, and why.
void ReportFileError(const std::string& failed, const std::string& reason, const std::string& file);
// Waits, calling `wait` between tries, until no other process works on
// `target`, then holds it for this job.
std::unique_ptr<FileLock> LockTarget(FileSystem& fs, const std::string& target,
                                     const std::function<void()>& wait);

}  // namespace kelvane
