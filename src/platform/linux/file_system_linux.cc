#include "platform/linux/file_system_linux.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

namespace kelvane::linux_platform {
namespace {

constexpr uint32_t kReadOnly = 1, kHidden = 2, kArchive = 32;

bool IsDotfile(const std::string& path) {
  const size_t slash = path.rfind('/');
  const size_t start = slash == std::string::npos ? 0 : slash + 1;
  return start < path.size() && path[start] == '.';
}

bool ReadOnly(const struct stat& info) { return (info.st_mode & S_IWUSR) == 0; }

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

}  // namespace

bool LinuxFileSystem::IsPresent(const std::string& path) {
  struct stat info;
  return stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode) && !IsDotfile(path);
}

std::optional<uint32_t> LinuxFileSystem::Attributes(const std::string& path) {
  struct stat info;
  if (path.empty() || stat(path.c_str(), &info) != 0) return std::nullopt;
  uint32_t bits = S_ISDIR(info.st_mode) ? kAttributeDirectory : kArchive;
  if (ReadOnly(info)) bits |= kReadOnly;
  if (IsDotfile(path)) bits |= kHidden;
  return bits;
}

bool LinuxFileSystem::Delete(const std::string& path) {
  struct stat info;
  if (lstat(path.c_str(), &info) != 0 || S_ISDIR(info.st_mode)) return false;
  // Linux would remove a read-only file (only the folder's permission
  // counts); Windows keeps it, and so do we.
  if (!S_ISLNK(info.st_mode) && ReadOnly(info)) return false;
  return unlink(path.c_str()) == 0;
}

bool LinuxFileSystem::Remove(const std::string& path) {
  struct stat info;
  return lstat(path.c_str(), &info) == 0 && !S_ISDIR(info.st_mode) && unlink(path.c_str()) == 0;
}

bool LinuxFileSystem::Copy(const std::string& source, const std::string& dest) {
  const int in = open(source.c_str(), O_RDONLY | O_CLOEXEC);
  if (in < 0) return false;
  struct stat info;
  if (fstat(in, &info) != 0 || !S_ISREG(info.st_mode)) {
    close(in);
    return false;
  }
  const int out = open(dest.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
  if (out < 0) {
    close(in);
    return false;
  }
  bool ok = true;
  char buffer[1 << 16];
  for (ssize_t n; ok && (n = read(in, buffer, sizeof buffer)) != 0;) {
    if (n < 0) {
      ok = errno == EINTR;
      continue;
    }
    ok = WriteAll(out, buffer, static_cast<size_t>(n));
  }
  ok = fchmod(out, info.st_mode & 07777) == 0 && ok;
  ok = close(out) == 0 && ok;
  close(in);
  if (!ok) unlink(dest.c_str());  // no half copy stays behind
  return ok;
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
