#pragma once
#include <cstdint>
#include <string>

namespace kelvane {

// A failure noted without stopping: number, source and the failed system
// call's own error number (0 when no system call failed).
struct ErrorRecord {
  int32_t Number = 0;
  std::string Source;
  uint32_t LastDllError = 0;

  void Raise(int32_t number, std::string source, uint32_t lastDllError = 0) {
    Number = number;
    Source = std::move(source);
    LastDllError = lastDllError;
  }
  void Clear() { *this = ErrorRecord{}; }
};

}  // namespace kelvane
