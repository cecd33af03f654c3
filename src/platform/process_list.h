#pragma once
// The running processes, in the shape of a snapshot walk.
#include <cstdint>

namespace kelvane {

// Mirrors the 8-bit Tool Help record: nine 32-bit fields and a 260-character
// executable name (296 bytes in all).
struct ProcessEntry {
  uint32_t size = 0;
  uint32_t usage = 0;
  uint32_t processId = 0;
  uint32_t defaultHeapId = 0;
  uint32_t moduleId = 0;
  uint32_t threads = 0;
  uint32_t parentProcessId = 0;
  int32_t basePriority = 0;
  uint32_t flags = 0;
  char exeFile[260] = {};
};
static_assert(sizeof(ProcessEntry) == 296);

class ProcessList {
 public:
  using Handle = uintptr_t;
  virtual ~ProcessList() = default;
  // A snapshot of the process list; 0 when none could be taken.
  virtual Handle CreateSnapshot() = 0;
  // Fill `entry` with the first or next process; false at the end or on error.
  virtual bool First(Handle snapshot, ProcessEntry& entry) = 0;
  virtual bool Next(Handle snapshot, ProcessEntry& entry) = 0;
  virtual void Close(Handle snapshot) = 0;
};

}  // namespace kelvane
