#pragma once
#include <map>
#include <string>
#include <vector>

#include "platform/process_list.h"

namespace kelvane::linux_platform {

// The running processes from /proc. A process's name is the file name of
// its executable (/proc/PID/exe), else of the first word of its command
// line, else its kernel name (cut at 15 characters by the kernel). Ended
// processes that were not yet collected by their parent (zombies) are not
// running and are left out.
class ProcProcessList : public ProcessList {
 public:
  Handle CreateSnapshot() override;
  bool First(Handle snapshot, ProcessEntry& entry) override;
  bool Next(Handle snapshot, ProcessEntry& entry) override;
  void Close(Handle snapshot) override { snapshots_.erase(snapshot); }

  // The name by the rule above, or "" for a process that is gone or ended.
  static std::string ProcessName(const std::string& pidFolder);

 private:
  struct Snapshot {
    std::vector<std::pair<uint32_t, std::string>> processes;  // pid, name
    size_t cursor = 0;
  };
  bool Fill(Handle snapshot, ProcessEntry& entry);

  std::map<Handle, Snapshot> snapshots_;
  Handle nextHandle_ = 1;
};

}  // namespace kelvane::linux_platform
