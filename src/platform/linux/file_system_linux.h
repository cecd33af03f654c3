#pragma once
#include "platform/file_system.h"

namespace kelvane::linux_platform {

// The file system with the attributes Windows would show:
//  - read-only (1): the owner may not write the file (its mode lacks u+w);
//    judged by the mode, not by access(), so it holds for root as well;
//  - directory (16), and archive (32) for ordinary files.
// Linux has no hidden files: a dotfile is an ordinary file. There are no
// drives: setting the current drive does nothing.
class LinuxFileSystem : public FileSystem {
 public:
  bool IsPresent(const std::string& path) override;
  std::optional<uint32_t> Attributes(const std::string& path) override;
  bool Delete(const std::string& path, std::string* err) override;
  bool Remove(const std::string& path) override;
  bool Copy(const std::string& source, const std::string& dest, std::string* err) override;
  bool Rename(const std::string& source, const std::string& dest, std::string* err) override;
  std::vector<std::string> Names(const std::string& folder) override;
  // Both need only the right to write the folder.
  bool RenameActsAsDelete() override { return true; }
  bool Sync(const std::string& path, std::string* err) override;
  std::string RealFile(const std::string& path) override;
  // flock on "<path>.lock"; the holder removes the file when it is done.
  std::unique_ptr<FileLock> TryLock(const std::string& path, int milliseconds) override;
  std::optional<std::string> Read(const std::string& path) override;
  std::optional<std::string> ReadPart(const std::string& path, uint64_t offset,
                                      size_t size) override;
  bool LineFeedEndsLine() override { return true; }
  bool Write(const std::string& path, const std::string& bytes) override;
  std::string CurrentFolder() override;
  bool SetCurrentFolder(const std::string& folder) override;
  bool SetCurrentDrive(char) override { return true; }

 private:
  // Puts the C library's English text for `error` into `*err`; false.
  static bool Failed(int error, std::string* err);
};

}  // namespace kelvane::linux_platform
