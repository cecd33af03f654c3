#pragma once
#include <string>

#include "platform/process_facts.h"

namespace kelvane::linux_platform {

class LinuxProcessFacts : public ProcessFacts {
 public:
  LinuxProcessFacts(int argc, char** argv);

  std::string ArgumentText() override { return arguments_; }
  std::string ExeName() override;
  std::string ExeFolder() override;
  // $XDG_RUNTIME_DIR/kelvane/, or a fresh private folder under /tmp; made
  // once, on first use.
  std::string ProbeFolder() override;
  double TwipsPerPixelX() override { return TwipsPerPixel(); }
  double TwipsPerPixelY() override { return TwipsPerPixel(); }

 private:
  double TwipsPerPixel();

  std::string arguments_;
  std::string exePath_;
  std::string probeFolder_;
  double twipsPerPixel_ = 0;
};

// True when `path` is a real directory (not a symlink) owned by this user
// that no one else may enter; with `tighten`, one of ours that is open to
// others is made 0700 first.
bool IsPrivateFolder(const std::string& path, bool tighten);

}  // namespace kelvane::linux_platform
