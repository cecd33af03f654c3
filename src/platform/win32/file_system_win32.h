#pragma once
#include "platform/file_system.h"

namespace kelvane::win32 {

// The Windows file system through the wide (UTF-16) calls.
class Win32FileSystem : public FileSystem {
 public:
  // A directory lookup that finds an ordinary file: not a folder, not
  // hidden, not a system file.
  bool IsPresent(const std::string& path) override;
  std::optional<uint32_t> Attributes(const std::string& path) override;
  bool Delete(const std::string& path, std::string* err) override;
  bool Remove(const std::string& path) override;
  bool Copy(const std::string& source, const std::string& dest, std::string* err) override;
  bool Rename(const std::string& source, const std::string& dest, std::string* err) override;
  std::vector<std::string> Names(const std::string& folder) override;
  bool RenameActsAsDelete() override { return false; }
  bool Sync(const std::string& path, std::string* err) override;
  std::string RealFile(const std::string& path) override { return path; }
  // A named mutex per target (its full path, case-folded); the system
  // releases it when the process ends.
  std::unique_ptr<FileLock> TryLock(const std::string& path, int milliseconds) override;
  std::optional<std::string> Read(const std::string& path) override;
  std::optional<std::string> ReadPart(const std::string& path, uint64_t offset,
                                      size_t size) override;
  bool LineFeedEndsLine() override { return false; }
  bool Write(const std::string& path, const std::string& bytes) override;
  std::string CurrentFolder() override;
  bool SetCurrentFolder(const std::string& folder) override;
  // Makes the drive's own current folder the current folder ("X:").
  bool SetCurrentDrive(char drive) override;

 private:
  // Puts the text for `error` (the thread's last error by default) into
  // `*err`; false.
  static bool Failed(std::string* err);
  static bool Failed(unsigned long error, std::string* err);
  bool DeleteName(const std::wstring& path, std::string* err);
};

}  // namespace kelvane::win32
