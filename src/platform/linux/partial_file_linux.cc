#include "platform/linux/partial_file_linux.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>

#include "common/temporary_name.h"
#include "download/fetch_policy.h"

namespace kelvane::linux_platform {
namespace {

// Names tried before giving up: a clash of random names is all but impossible.
constexpr int kNameTries = 16;

}  // namespace

PartialFile::PartialFile(std::string target) : target_(std::move(target)) {
  const size_t slash = target_.rfind('/');
  folder_ = slash == std::string::npos ? "" : target_.substr(0, slash + 1);
}

PartialFile::~PartialFile() {
  fd_.Close();
  if (named_) unlink(sibling_.c_str());  // ours: created exclusively
}

template <class Make>
int PartialFile::Name(Make make) {
  int error = EEXIST;
  for (int i = 0; i < kNameTries && error == EEXIST; ++i) {
    sibling_ = TemporaryName(folder_, kDownloadEnding);
    error = make(sibling_.c_str());
  }
  named_ = error == 0;
  return error;
}

int PartialFile::Open() {
  fd_ =
      UniqueFd(open(folder_.empty() ? "." : folder_.c_str(), O_TMPFILE | O_RDWR | O_CLOEXEC, 0600));
  if (fd_.Valid()) return 0;
  if (errno != EOPNOTSUPP && errno != EISDIR) return errno;
  return Name([this](const char* name) {
    fd_ = UniqueFd(open(name, O_RDWR | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600));
    return fd_.Valid() ? 0 : errno;
  });
}

int PartialFile::Commit(mode_t mode) {
  if (fchmod(fd_.Get(), mode) != 0) return errno;
  if (!named_) {
    // An unnamed file gets a name first: linkat cannot replace.
    const std::string self = "/proc/self/fd/" + std::to_string(fd_.Get());
    const int error = Name([this, &self](const char* name) {
      if (linkat(AT_FDCWD, self.c_str(), AT_FDCWD, name, AT_SYMLINK_FOLLOW) == 0 ||
          linkat(fd_.Get(), "", AT_FDCWD, name, AT_EMPTY_PATH) == 0)
        return 0;
      return errno;
    });
    if (error != 0) return error;
  }
  if (!fd_.Close()) return errno;
  if (rename(sibling_.c_str(), target_.c_str()) != 0) return errno;
  named_ = false;
  return 0;
}

}  // namespace kelvane::linux_platform
