#pragma once
#include <cstdint>
#include <optional>
#include <string>

namespace kelvane {

class FileSystem {
 public:
  static constexpr uint32_t kAttributeDirectory = 16;

  virtual ~FileSystem() = default;
  // An ordinary file found by a directory lookup of the exact path: read-only
  // and archive files count; folders, hidden and system files do not.
  virtual bool IsPresent(const std::string& path) = 0;
  // The platform's attribute bits, or nothing when they cannot be read.
  virtual std::optional<uint32_t> Attributes(const std::string& path) = 0;
  // Removes a file if the platform allows it (a read-only file is kept).
  virtual bool Delete(const std::string& path) = 0;
  // Removes a file of the program's own (a download, a temporary file)
  // whatever its attributes; a link goes itself, never what it points to.
  virtual bool Remove(const std::string& path) = 0;
  // Creates `dest` with the contents of `source`; without effect when
  // `source` is missing or `dest` exists.
  virtual bool Copy(const std::string& source, const std::string& dest) = 0;
  // The whole file, or nothing when it cannot be read.
  virtual std::optional<std::string> Read(const std::string& path) = 0;
  // Creates or replaces a file with `bytes`.
  virtual bool Write(const std::string& path, const std::string& bytes) = 0;
  // The process's current folder, and setting it and the current drive.
  virtual std::string CurrentFolder() = 0;
  virtual bool SetCurrentFolder(const std::string& folder) = 0;
  virtual bool SetCurrentDrive(char drive) = 0;
};

}  // namespace kelvane
