#pragma once
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace kelvane {

// Held while a job works on one target; released when destroyed (and by the
// system when the process ends).
class FileLock {
 public:
  virtual ~FileLock() = default;
};

class FileSystem {
 public:
  static constexpr uint32_t kAttributeReadOnly = 1;
  static constexpr uint32_t kAttributeDirectory = 16;

  virtual ~FileSystem() = default;
  // Delete, Copy, Rename and Sync put why they failed into `*err` (when it
  // is not null), in English; the system's own text may follow in
  // parentheses. A success leaves `*err` as it is.
  // An ordinary file found by a directory lookup of the exact path: read-only
  // and archive files count; folders, hidden and system files do not.
  virtual bool IsPresent(const std::string& path) = 0;
  // The platform's attribute bits, or nothing when they cannot be read.
  virtual std::optional<uint32_t> Attributes(const std::string& path) = 0;
  // Removes a file if the platform allows it (a read-only file is kept); a
  // link goes itself, never what it points to.
  virtual bool Delete(const std::string& path, std::string* err) = 0;
  // Removes a file of the program's own (a download, a temporary file)
  // whatever its attributes; a link goes itself, never what it points to.
  virtual bool Remove(const std::string& path) = 0;
  // Creates `dest` (never through a link, never over anything that exists)
  // with the contents and mode of `source` (never read through a link), and
  // forces it to the disk. On failure nothing of `dest` is left.
  virtual bool Copy(const std::string& source, const std::string& dest, std::string* err) = 0;
  // The names of the files and links in `folder`, which ends with its separator.
  virtual std::vector<std::string> Names(const std::string& folder) = 0;
  // Gives the file `source` the name `dest` (in the same folder) in one step;
  // without effect when `dest` exists.
  virtual bool Rename(const std::string& source, const std::string& dest, std::string* err) = 0;
  // Whether renaming a file away is allowed exactly where deleting it is (a
  // read-only file aside), so that a rename can stand in for a copy followed
  // by a delete of the source. Not so on Windows: a running program can be
  // renamed there but not deleted.
  virtual bool RenameActsAsDelete() = 0;
  // Forces a file's bytes to the disk.
  virtual bool Sync(const std::string& path, std::string* err) = 0;
  // The file that `path` names once symbolic links are followed; `path`
  // itself where there is no link.
  virtual std::string RealFile(const std::string& path) = 0;
  // Takes the lock of the folder `path` for this process, waiting at most
  // `milliseconds`: null while another process still holds it. It makes no
  // file, and the system releases it when the process ends. Where no lock
  // can be had (a folder that cannot be read), a lock that holds nothing.
  virtual std::unique_ptr<FileLock> TryLock(const std::string& path, int milliseconds) = 0;
  // The whole file, or nothing when it cannot be read.
  virtual std::optional<std::string> Read(const std::string& path) = 0;
  // Up to `size` bytes of the file from `offset` (fewer only at its end), or
  // nothing when it cannot be read.
  virtual std::optional<std::string> ReadPart(const std::string& path, uint64_t offset,
                                              size_t size) = 0;
  // Whether a lone line feed ends a line of a text file (as a CR LF or a lone
  // CR does everywhere).
  virtual bool LineFeedEndsLine() = 0;
  // Creates or replaces a file with `bytes`.
  virtual bool Write(const std::string& path, const std::string& bytes) = 0;
  // The process's current folder, and setting it and the current drive.
  virtual std::string CurrentFolder() = 0;
  virtual bool SetCurrentFolder(const std::string& folder) = 0;
  virtual bool SetCurrentDrive(char drive) = 0;
};

}  // namespace kelvane
