#pragma once
#include "platform/process_facts.h"

namespace kelvane::linux_platform {

class LinuxProcessEnd : public ProcessEnd {
 public:
  [[noreturn]] void EndNow() override;
};

}  // namespace kelvane::linux_platform
