#pragma once
#include <map>
#include <string>
#include <vector>

#include "platform/process_list.h"

namespace kelvane::linux_platform {

// The running processes from /proc, one entry per name a process answers
// to. Its name is the file name of its executable (/proc/PID/exe), else of
// the first word of its command line, else its kernel name (cut at 15
// characters by the kernel). An interpreter also answers to the file name of
// the script it runs (ScriptOf), so a running script counts as running.
// Ended processes that were not yet collected by their parent (zombies) are
// not running and are left out.
class ProcProcessList : public ProcessList {
 public:
  Handle CreateSnapshot() override;
  bool First(Handle snapshot, ProcessEntry& entry) override;
  bool Next(Handle snapshot, ProcessEntry& entry) override;
  void Close(Handle snapshot) override { snapshots_.erase(snapshot); }

  // The names by the rule above; none for a process that is gone or ended.
  static std::vector<std::string> ProcessNames(const std::string& pidFolder);

 private:
  struct Snapshot {
    std::vector<std::pair<uint32_t, std::string>> processes;  // pid, one of its names
    size_t cursor = 0;
  };
  bool Fill(Handle snapshot, ProcessEntry& entry);

  std::map<Handle, Snapshot> snapshots_;
  Handle nextHandle_ = 1;
};

}  // namespace kelvane::linux_platform
