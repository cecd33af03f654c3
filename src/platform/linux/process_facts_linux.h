#pragma once
#include <string>

#include "platform/process_facts.h"

namespace kelvane::linux_platform {

class LinuxProcessFacts : public ProcessFacts {
 public:
  LinuxProcessFacts(int argc, char** argv);
  ~LinuxProcessFacts() override;
  // Where probes go when there is no private folder: nothing can be
  // written below it.
  static constexpr const char* kNowhere = "/dev/null/";

  std::string ArgumentText() override { return arguments_; }
  std::string ExeName() override;
  std::string ExeFolder() override;
  // $XDG_RUNTIME_DIR/kelvane/, else a fresh private folder under $TMPDIR
  // (or /tmp), made on first use; kNowhere when neither can be had.
  std::string ProbeFolder() override;
  std::string TempFolder() override { return ProbeFolder(); }
  // Removes the fresh folder again (when empty); a later ProbeFolder makes
  // a new one. The process calls it on its way out.
  void RemoveMadeFolder();
  double TwipsPerPixelX() override { return TwipsPerPixel(); }
  double TwipsPerPixelY() override { return TwipsPerPixel(); }

 private:
  double TwipsPerPixel();

  std::string arguments_;
  std::string exePath_;
  std::string probeFolder_;
  std::string madeFolder_;  // made by mkdtemp: ours to remove
  double twipsPerPixel_ = 0;
};

// True when `path` is a real directory (not a symlink) owned by this user
// that no one else may enter; with `tighten`, one of ours that is open to
// others is made 0700 first.
bool IsPrivateFolder(const std::string& path, bool tighten);

}  // namespace kelvane::linux_platform
