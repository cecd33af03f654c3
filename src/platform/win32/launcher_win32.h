#pragma once
#include "platform/launcher.h"

namespace kelvane::win32 {

// FindExecutable for associations and CreateProcess for starting.
class Win32Launcher : public Launcher {
 public:
  int FindExecutable(const std::string& file, const std::string& directory,
                     std::string& program) override;
  std::optional<uint32_t> CreateProcess(const std::string& commandLine, int windowStyle) override;
};

}  // namespace kelvane::win32
