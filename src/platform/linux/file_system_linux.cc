#include "platform/linux/file_system_linux.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace kelvane::linux_platform {
namespace {

constexpr uint32_t kArchive = 32;

bool ReadOnly(const struct stat& info) { return (info.st_mode & S_IWUSR) == 0; }

std::string FolderOf(const std::string& path) {
  const size_t slash = path.rfind('/');
  if (slash == std::string::npos) return ".";
  return slash == 0 ? "/" : path.substr(0, slash);
}

bool WriteAll(int fd, const char* data, size_t size) {
  while (size > 0) {
    const ssize_t n = write(fd, data, size);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    data += n;
    size -= static_cast<size_t>(n);
  }
  return true;
}

// Everything from `in` to `out`: in the kernel where it can, else through a
// buffer (another file system on an older kernel).
bool CopyBytes(int in, int out) {
  for (;;) {
    const ssize_t n = copy_file_range(in, nullptr, out, nullptr, size_t{1} << 30, 0);
    if (n == 0) return true;
    if (n > 0 || errno == EINTR) continue;
    if (errno != EXDEV && errno != EINVAL && errno != ENOSYS && errno != EOPNOTSUPP) return false;
    break;
  }
  char buffer[1 << 16];
  for (ssize_t n; (n = read(in, buffer, sizeof buffer)) != 0;) {
    if (n < 0 && errno == EINTR) continue;
    if (n < 0 || !WriteAll(out, buffer, static_cast<size_t>(n))) return false;
  }
  return true;
}

class LinuxFileLock : public FileLock {
 public:
  LinuxFileLock(int fd, std::string path) : fd_(fd), path_(std::move(path)) {}
  ~LinuxFileLock() override {
    if (fd_ < 0) return;
    unlink(path_.c_str());  // while still held: a waiter then locks a fresh file
    close(fd_);
  }

 private:
  int fd_;
  std::string path_;
};

}  // namespace

bool LinuxFileSystem::Failed(int error) {
  lastError_ = error;
  return false;
}

std::string LinuxFileSystem::LastError() { return std::strerror(lastError_); }

bool LinuxFileSystem::IsPresent(const std::string& path) {
  struct stat info;
  return stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode);
}

std::optional<uint32_t> LinuxFileSystem::Attributes(const std::string& path) {
  struct stat info;
  if (path.empty() || stat(path.c_str(), &info) != 0) return std::nullopt;
  uint32_t bits = S_ISDIR(info.st_mode) ? kAttributeDirectory : kArchive;
  if (ReadOnly(info)) bits |= kAttributeReadOnly;
  return bits;
}

bool LinuxFileSystem::Delete(const std::string& path) {
  struct stat info;
  if (lstat(path.c_str(), &info) != 0) return Failed(errno);
  if (S_ISDIR(info.st_mode)) return Failed(EISDIR);
  // Linux would remove a read-only file (only the folder's permission
  // counts); Windows keeps it, and so do we.
  if (!S_ISLNK(info.st_mode) && ReadOnly(info)) return Failed(EACCES);
  return unlink(path.c_str()) == 0 || Failed(errno);
}

bool LinuxFileSystem::Remove(const std::string& path) {
  struct stat info;
  return lstat(path.c_str(), &info) == 0 && !S_ISDIR(info.st_mode) && unlink(path.c_str()) == 0;
}

bool LinuxFileSystem::Copy(const std::string& source, const std::string& dest) {
  const int in = open(source.c_str(), O_RDONLY | O_CLOEXEC);
  if (in < 0) return Failed(errno);
  struct stat info;
  if (fstat(in, &info) != 0 || !S_ISREG(info.st_mode)) {
    close(in);
    return Failed(EINVAL);
  }
  // The copy is made as a nameless file and takes its name once it is
  // complete, with its mode, on the disk: a crash never leaves half a copy.
  int out = open(FolderOf(dest).c_str(), O_TMPFILE | O_WRONLY | O_CLOEXEC, 0600);
  const bool nameless = out >= 0;
  if (!nameless) out = open(dest.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
  if (out < 0) {
    const int error = errno;
    close(in);
    return Failed(error);
  }
  bool ok = CopyBytes(in, out) && fchmod(out, info.st_mode & 07777) == 0 && fsync(out) == 0;
  if (ok && nameless) {
    const std::string handle = "/proc/self/fd/" + std::to_string(out);
    ok = linkat(AT_FDCWD, handle.c_str(), AT_FDCWD, dest.c_str(), AT_SYMLINK_FOLLOW) == 0;
  }
  const int error = errno;
  close(out);
  close(in);
  if (ok) return true;
  if (!nameless) unlink(dest.c_str());  // no half copy stays behind
  return Failed(error);
}

bool LinuxFileSystem::Rename(const std::string& source, const std::string& dest) {
  if (renameat2(AT_FDCWD, source.c_str(), AT_FDCWD, dest.c_str(), RENAME_NOREPLACE) == 0)
    return true;
  if (errno != EINVAL) return Failed(errno);
  // A file system that cannot refuse to replace: look first.
  struct stat info;
  if (lstat(dest.c_str(), &info) == 0) return Failed(EEXIST);
  return rename(source.c_str(), dest.c_str()) == 0 || Failed(errno);
}

bool LinuxFileSystem::Sync(const std::string& path) {
  const int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return Failed(errno);
  const bool ok = fsync(fd) == 0;
  const int error = errno;
  close(fd);
  return ok || Failed(error);
}

std::string LinuxFileSystem::RealFile(const std::string& path) {
  struct stat info;
  if (lstat(path.c_str(), &info) != 0 || !S_ISLNK(info.st_mode)) return path;
  char* real = realpath(path.c_str(), nullptr);
  if (!real) return path;  // a dangling link: the job then works on the link's own name
  std::string file = real;
  free(real);
  return file;
}

std::unique_ptr<FileLock> LinuxFileSystem::TryLock(const std::string& path, int milliseconds) {
  const std::string name = path + ".lock";
  for (;;) {
    const int fd = open(name.c_str(), O_RDONLY | O_CREAT | O_NOFOLLOW | O_CLOEXEC, 0644);
    if (fd < 0) return std::make_unique<LinuxFileLock>(-1, name);
    if (flock(fd, LOCK_EX | LOCK_NB) != 0) {
      const bool busy = errno == EWOULDBLOCK;
      close(fd);
      if (busy) {
        usleep(static_cast<useconds_t>(milliseconds) * 1000);  // a pause before the next try
        return nullptr;
      }
      return std::make_unique<LinuxFileLock>(-1, name);
    }
    // The holder before us may have removed the file between our open and
    // our lock: then the lock must be taken on the file that has the name.
    struct stat held, named;
    if (fstat(fd, &held) == 0 && stat(name.c_str(), &named) == 0 && held.st_dev == named.st_dev &&
        held.st_ino == named.st_ino)
      return std::make_unique<LinuxFileLock>(fd, name);
    close(fd);
  }
}

std::optional<std::string> LinuxFileSystem::Read(const std::string& path) {
  const int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return std::nullopt;
  struct stat info;
  std::optional<std::string> bytes;
  if (fstat(fd, &info) == 0 && S_ISREG(info.st_mode)) {
    bytes.emplace();
    char buffer[1 << 16];
    for (ssize_t n; (n = read(fd, buffer, sizeof buffer)) != 0;) {
      if (n > 0) {
        bytes->append(buffer, static_cast<size_t>(n));
      } else if (errno != EINTR) {
        bytes.reset();
        break;
      }
    }
  }
  close(fd);
  return bytes;
}

std::optional<std::string> LinuxFileSystem::ReadPart(const std::string& path, uint64_t offset,
                                                     size_t size) {
  const int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return std::nullopt;
  struct stat info;
  std::optional<std::string> bytes;
  if (fstat(fd, &info) == 0 && S_ISREG(info.st_mode)) {
    bytes.emplace(size, '\0');
    size_t got = 0;
    while (got < size) {
      const ssize_t n =
          pread(fd, bytes->data() + got, size - got, static_cast<off_t>(offset + got));
      if (n == 0) break;
      if (n > 0) {
        got += static_cast<size_t>(n);
      } else if (errno != EINTR) {
        bytes.reset();
        break;
      }
    }
    if (bytes) bytes->resize(got);
  }
  close(fd);
  return bytes;
}

bool LinuxFileSystem::Write(const std::string& path, const std::string& bytes) {
  struct stat info;
  if (stat(path.c_str(), &info) == 0 && ReadOnly(info)) return false;
  const int fd = open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
  if (fd < 0) return false;
  const bool ok = WriteAll(fd, bytes.data(), bytes.size());
  return close(fd) == 0 && ok;
}

std::string LinuxFileSystem::CurrentFolder() {
  char cwd[4096];
  return getcwd(cwd, sizeof cwd) ? cwd : "";
}

bool LinuxFileSystem::SetCurrentFolder(const std::string& folder) {
  return !folder.empty() && chdir(folder.c_str()) == 0;
}

}  // namespace kelvane::linux_platform
