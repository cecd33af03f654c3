#pragma once
#include <functional>
#include <utility>

#include "platform/process_facts.h"

namespace kelvane::linux_platform {

class LinuxProcessEnd : public ProcessEnd {
 public:
  // `tidy` runs just before the end: the one chance to remove what the
  // process made for itself, since no destructor runs.
  explicit LinuxProcessEnd(std::function<void()> tidy = {}) : tidy_(std::move(tidy)) {}
  [[noreturn]] void EndNow(ExitCode code) override;

 private:
  std::function<void()> tidy_;
};

}  // namespace kelvane::linux_platform
