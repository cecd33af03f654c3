#pragma once
#include <windows.h>

namespace kelvane::win32 {

// Holds a slim reader/writer lock, exclusively, for a scope.
class Hold {
 public:
  explicit Hold(SRWLOCK& lock) : lock_(lock) { AcquireSRWLockExclusive(&lock_); }
  ~Hold() { ReleaseSRWLockExclusive(&lock_); }
  Hold(const Hold&) = delete;
  Hold& operator=(const Hold&) = delete;

 private:
  SRWLOCK& lock_;
};

}  // namespace kelvane::win32
