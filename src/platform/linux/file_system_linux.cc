#include "platform/linux/file_system_linux.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "platform/linux/descriptor_linux.h"

namespace kelvane::linux_platform {
namespace {

constexpr uint32_t kArchive = 32;

bool ReadOnly(const struct stat& info) { return (info.st_mode & S_IWUSR) == 0; }

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
    if (n < 0 || !WriteAll(out, std::string_view(buffer, static_cast<size_t>(n)))) return false;
  }
  return true;
}

// A lock on an open folder: closing it releases the lock, and so does the
// end of the process, however it ends.
class LinuxFileLock : public FileLock {
 public:
  explicit LinuxFileLock(UniqueFd fd) : fd_(std::move(fd)) {}

 private:
  UniqueFd fd_;
};

}  // namespace

// The C library's English text, whatever the locale.
bool LinuxFileSystem::Failed(int error, std::string* err) {
  if (!err) return false;
  const char* text = error ? strerrordesc_np(error) : "Unknown error";
  *err = text ? text : "error " + std::to_string(error);
  return false;
}

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

bool LinuxFileSystem::Delete(const std::string& path, std::string* err) {
  struct stat info;
  if (lstat(path.c_str(), &info) != 0) return Failed(errno, err);
  if (S_ISDIR(info.st_mode)) return Failed(EISDIR, err);
  // Linux would remove a read-only file (only the folder's permission
  // counts); Windows keeps it, and so do we.
  if (!S_ISLNK(info.st_mode) && ReadOnly(info)) return Failed(EACCES, err);
  return unlink(path.c_str()) == 0 || Failed(errno, err);
}

bool LinuxFileSystem::Remove(const std::string& path) {
  struct stat info;
  return lstat(path.c_str(), &info) == 0 && !S_ISDIR(info.st_mode) && unlink(path.c_str()) == 0;
}

bool LinuxFileSystem::Copy(const std::string& source, const std::string& dest, std::string* err) {
  UniqueFd in(open(source.c_str(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC));
  if (!in.Valid()) return Failed(errno, err);
  struct stat info;
  if (fstat(in.Get(), &info) != 0 || !S_ISREG(info.st_mode)) return Failed(EINVAL, err);
  UniqueFd out(open(dest.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600));
  if (!out.Valid()) return Failed(errno, err);
  const bool ok = CopyBytes(in.Get(), out.Get()) && fchmod(out.Get(), info.st_mode & 07777) == 0 &&
                  fsync(out.Get()) == 0;
  const int error = errno;
  out.Close();
  in.Close();
  if (ok) return true;
  unlink(dest.c_str());  // no half copy stays behind
  return Failed(error, err);
}

std::vector<std::string> LinuxFileSystem::Names(const std::string& folder) {
  std::vector<std::string> names;
  DIR* dir = opendir(folder.c_str());
  if (!dir) return names;
  while (const dirent* entry = readdir(dir))
    if (entry->d_type != DT_DIR) names.emplace_back(entry->d_name);
  closedir(dir);
  return names;
}

bool LinuxFileSystem::Rename(const std::string& source, const std::string& dest, std::string* err) {
  if (renameat2(AT_FDCWD, source.c_str(), AT_FDCWD, dest.c_str(), RENAME_NOREPLACE) == 0)
    return true;
  if (errno != EINVAL) return Failed(errno, err);
  // A file system that cannot refuse to replace: look first.
  struct stat info;
  if (lstat(dest.c_str(), &info) == 0) return Failed(EEXIST, err);
  return rename(source.c_str(), dest.c_str()) == 0 || Failed(errno, err);
}

bool LinuxFileSystem::Sync(const std::string& path, std::string* err) {
  const UniqueFd fd(open(path.c_str(), O_RDONLY | O_CLOEXEC));
  if (!fd.Valid()) return Failed(errno, err);
  return fsync(fd.Get()) == 0 || Failed(errno, err);
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
  // flock on the folder itself: no file of a name a user may own, nothing
  // left behind by a kill.
  UniqueFd fd(open(path.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
  if (!fd.Valid()) return std::make_unique<LinuxFileLock>(UniqueFd());
  if (flock(fd.Get(), LOCK_EX | LOCK_NB) == 0)
    return std::make_unique<LinuxFileLock>(std::move(fd));
  const bool busy = errno == EWOULDBLOCK;
  fd.Close();
  if (!busy) return std::make_unique<LinuxFileLock>(UniqueFd());
  usleep(static_cast<useconds_t>(milliseconds) * 1000);  // a pause before the next try
  return nullptr;
}

std::optional<std::string> LinuxFileSystem::Read(const std::string& path) {
  const UniqueFd fd(open(path.c_str(), O_RDONLY | O_CLOEXEC));
  if (!fd.Valid()) return std::nullopt;
  struct stat info;
  std::optional<std::string> bytes;
  if (fstat(fd.Get(), &info) == 0 && S_ISREG(info.st_mode)) {
    bytes.emplace();
    char buffer[1 << 16];
    for (ssize_t n; (n = read(fd.Get(), buffer, sizeof buffer)) != 0;) {
      if (n > 0) {
        bytes->append(buffer, static_cast<size_t>(n));
      } else if (errno != EINTR) {
        bytes.reset();
        break;
      }
    }
  }
  return bytes;
}

std::optional<std::string> LinuxFileSystem::ReadPart(const std::string& path, uint64_t offset,
                                                     size_t size) {
  const UniqueFd fd(open(path.c_str(), O_RDONLY | O_CLOEXEC));
  if (!fd.Valid()) return std::nullopt;
  struct stat info;
  std::optional<std::string> bytes;
  if (fstat(fd.Get(), &info) == 0 && S_ISREG(info.st_mode)) {
    bytes.emplace(size, '\0');
    size_t got = 0;
    while (got < size) {
      const ssize_t n =
          pread(fd.Get(), bytes->data() + got, size - got, static_cast<off_t>(offset + got));
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
  return bytes;
}

bool LinuxFileSystem::Write(const std::string& path, const std::string& bytes) {
  struct stat info;
  if (stat(path.c_str(), &info) == 0 && ReadOnly(info)) return false;
  UniqueFd fd(open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644));
  if (!fd.Valid()) return false;
  const bool ok = WriteAll(fd.Get(), bytes);
  return fd.Close() && ok;
}

std::string LinuxFileSystem::CurrentFolder() {
  char cwd[4096];
  return getcwd(cwd, sizeof cwd) ? cwd : "";
}

bool LinuxFileSystem::SetCurrentFolder(const std::string& folder) {
  return !folder.empty() && chdir(folder.c_str()) == 0;
}

}  // namespace kelvane::linux_platform
