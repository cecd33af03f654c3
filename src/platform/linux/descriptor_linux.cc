#include "platform/linux/descriptor_linux.h"

#include <unistd.h>

#include <cerrno>

namespace kelvane::linux_platform {

bool UniqueFd::Close() {
  if (fd_ < 0) return true;
  return close(std::exchange(fd_, -1)) == 0;
}

bool WriteAll(int fd, std::string_view bytes) {
  while (!bytes.empty()) {
    const ssize_t n = write(fd, bytes.data(), bytes.size());
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    bytes.remove_prefix(static_cast<size_t>(n));
  }
  return true;
}

}  // namespace kelvane::linux_platform
