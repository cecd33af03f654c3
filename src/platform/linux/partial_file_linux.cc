#include "platform/linux/partial_file_linux.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <cstdio>

namespace kelvane::linux_platform {

PartialFile::PartialFile(std::string target)
    : target_(std::move(target)), sibling_(SiblingOf(target_)) {}

PartialFile::~PartialFile() {
  if (fd_ >= 0) close(fd_);
  if (named_) unlink(sibling_.c_str());
}

std::string PartialFile::SiblingOf(const std::string& target) {
  const size_t slash = target.rfind('/');
  const std::string folder = slash == std::string::npos ? "" : target.substr(0, slash + 1);
  uint64_t hash = 14695981039346656037ull;  // FNV-1a of the name
  for (size_t i = slash == std::string::npos ? 0 : slash + 1; i < target.size(); ++i) {
    hash = (hash ^ static_cast<unsigned char>(target[i])) * 1099511628211ull;
  }
  char name[32];
  std::snprintf(name, sizeof name, ".kelvane-%016llx.part", static_cast<unsigned long long>(hash));
  return folder + name;
}

int PartialFile::Open() {
  unlink(sibling_.c_str());  // a crashed run's leftover (never followed: a link goes)
  const size_t slash = target_.rfind('/');
  const std::string folder = slash == std::string::npos ? "." : target_.substr(0, slash + 1);
  fd_ = open(folder.c_str(), O_TMPFILE | O_RDWR | O_CLOEXEC, 0600);
  if (fd_ >= 0) return 0;
  if (errno != EOPNOTSUPP && errno != EISDIR) return errno;
  fd_ = open(sibling_.c_str(), O_RDWR | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
  if (fd_ < 0) return errno;
  named_ = true;
  return 0;
}

int PartialFile::Commit(mode_t mode) {
  if (fchmod(fd_, mode) != 0) return errno;
  if (!named_) {
    // An unnamed file gets the sibling's name first: linkat cannot replace.
    const std::string self = "/proc/self/fd/" + std::to_string(fd_);
    if (linkat(AT_FDCWD, self.c_str(), AT_FDCWD, sibling_.c_str(), AT_SYMLINK_FOLLOW) != 0 &&
        linkat(fd_, "", AT_FDCWD, sibling_.c_str(), AT_EMPTY_PATH) != 0)
      return errno;
    named_ = true;
  }
  const int closed = close(fd_);
  fd_ = -1;
  if (closed != 0) return errno;
  if (rename(sibling_.c_str(), target_.c_str()) != 0) return errno;
  named_ = false;
  return 0;
}

}  // namespace kelvane::linux_platform
