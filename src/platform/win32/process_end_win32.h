#pragma once
#include "platform/process_facts.h"

namespace kelvane::win32 {

class Win32ProcessEnd : public ProcessEnd {
 public:
  [[noreturn]] void EndNow(ExitCode code) override;
};

}  // namespace kelvane::win32
