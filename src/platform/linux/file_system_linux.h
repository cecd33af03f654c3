#pragma once
#include "platform/file_system.h"

namespace kelvane::linux_platform {

// The file system with the attributes Windows would show:
//  - read-only (1): the owner may not write the file (its mode lacks u+w);
//    judged by the mode, not by access(), so it holds for root as well;
//  - hidden (2): a dotfile name, as file managers hide it;
//  - directory (16), and archive (32) for ordinary files.
// There are no drives: setting the current drive does nothing.
class LinuxFileSystem : public FileSystem {
 public:
  bool IsPresent(const std::string& path) override;
  std::optional<uint32_t> Attributes(const std::string& path) override;
  bool Delete(const std::string& path) override;
  bool Remove(const std::string& path) override;
  bool Copy(const std::string& source, const std::string& dest) override;
  std::optional<std::string> Read(const std::string& path) override;
  bool Write(const std::string& path, const std::string& bytes) override;
  std::string CurrentFolder() override;
  bool SetCurrentFolder(const std::string& folder) override;
  bool SetCurrentDrive(char) override { return true; }
};

}  // namespace kelvane::linux_platform
