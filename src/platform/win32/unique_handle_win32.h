#pragma once
// An owned kernel handle.
#include <windows.h>

#include <utility>

namespace kelvane::win32 {

// Closes its handle when it ends, on every way out of a function. Both of
// the system's "no handle" values (null and INVALID_HANDLE_VALUE) hold none.
class UniqueHandle {
 public:
  explicit UniqueHandle(HANDLE handle = nullptr) : handle_(handle) {}
  UniqueHandle(UniqueHandle&& other) noexcept : handle_(std::exchange(other.handle_, nullptr)) {}
  UniqueHandle& operator=(UniqueHandle&& other) noexcept {
    if (this != &other) {
      Close();
      handle_ = std::exchange(other.handle_, nullptr);
    }
    return *this;
  }
  ~UniqueHandle() { Close(); }

  HANDLE Get() const { return handle_; }
  bool Valid() const { return handle_ != nullptr && handle_ != INVALID_HANDLE_VALUE; }
  // Closes it now: false when closing failed (GetLastError tells why).
  bool Close() {
    if (!Valid()) return true;
    return CloseHandle(std::exchange(handle_, nullptr)) != 0;
  }

 private:
  HANDLE handle_;
};

}  // namespace kelvane::win32
