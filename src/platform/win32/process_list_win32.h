#pragma once
#include "platform/process_list.h"

namespace kelvane::win32 {

// The running processes from a Tool Help snapshot. The names are read in
// UTF-16 and handed on in UTF-8 (cut to the record's 259 bytes), so names
// outside the ANSI code page compare like every other text of the program.
class ToolHelpProcessList : public ProcessList {
 public:
  Handle CreateSnapshot() override;
  bool First(Handle snapshot, ProcessEntry& entry) override;
  bool Next(Handle snapshot, ProcessEntry& entry) override;
  void Close(Handle snapshot) override;
};

}  // namespace kelvane::win32
