#pragma once
// An owned file descriptor, and writing a whole buffer to one.
#include <string_view>
#include <utility>

namespace kelvane::linux_platform {

// Closes its descriptor when it ends, on every way out of a function.
class UniqueFd {
 public:
  explicit UniqueFd(int fd = -1) : fd_(fd) {}
  UniqueFd(UniqueFd&& other) noexcept : fd_(std::exchange(other.fd_, -1)) {}
  UniqueFd& operator=(UniqueFd&& other) noexcept {
    if (this != &other) {
      Close();
      fd_ = std::exchange(other.fd_, -1);
    }
    return *this;
  }
  ~UniqueFd() { Close(); }

  int Get() const { return fd_; }
  bool Valid() const { return fd_ >= 0; }
  // Closes it now: false when closing failed (errno tells why), so a
  // write the system had kept back may be lost.
  bool Close();

 private:
  int fd_;
};

// Writes all of `bytes`, going on after an interrupted write.
bool WriteAll(int fd, std::string_view bytes);

}  // namespace kelvane::linux_platform
