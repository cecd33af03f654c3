#include "platform/linux/settings_linux.h"

#include <fcntl.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <string_view>

#include "common/ini_text.h"
#include "platform/linux/descriptor_linux.h"

namespace kelvane::linux_platform {
namespace {

// The file is ours and tiny; anything beyond this is not read.
constexpr size_t kMaxRead = 64 * 1024;

// The file's first kMaxRead bytes, cut after the last whole line when the
// file is longer; empty when it cannot be read.
std::string ReadCapped(const std::string& path) {
  UniqueFd fd(open(path.c_str(), O_RDONLY | O_CLOEXEC));
  if (!fd.Valid()) return {};
  std::string text(kMaxRead + 1, '\0');
  size_t got = 0;
  while (got < text.size()) {
    const ssize_t n = read(fd.Get(), text.data() + got, text.size() - got);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) break;
    got += static_cast<size_t>(n);
  }
  fd.Close();
  text.resize(got);
  if (got > kMaxRead) {
    const auto lastLine = text.rfind('\n', kMaxRead - 1);
    text.resize(lastLine == std::string::npos ? 0 : lastLine + 1);
  }
  return text;
}

bool MakeFolders(const std::string& folder) {
  for (size_t slash = folder.find('/', 1);; slash = folder.find('/', slash + 1)) {
    const std::string part = folder.substr(0, slash);
    if (mkdir(part.c_str(), 0700) != 0 && errno != EEXIST) return false;
    if (slash == std::string::npos) break;
  }
  struct stat st;
  return stat(folder.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

// Writes `bytes` to a temporary sibling and renames it over `file`: readers
// see the old file or the new one, never a part. No fsync: after another
// program's large writes it waited up to a third of a second, for a setting
// whose loss in a crash costs nothing (and ext4 writes a file renamed over
// another one out first anyway).
bool ReplaceFile(const std::string& folder, const std::string& file, std::string_view bytes) {
  std::string temp = folder + "/.kelvane.ini.XXXXXX";
  UniqueFd fd(mkostemp(temp.data(), O_CLOEXEC));
  if (!fd.Valid()) return false;
  bool ok = WriteAll(fd.Get(), bytes);
  ok = fd.Close() && ok;
  ok = ok && rename(temp.c_str(), file.c_str()) == 0;
  if (!ok) unlink(temp.c_str());
  return ok;
}

}  // namespace

LinuxSettingsStore::LinuxSettingsStore(std::string folder)
    : folder_(std::move(folder)), file_(folder_ + "/kelvane.ini") {}

std::string LinuxSettingsStore::DefaultFolder() {
  const char* config = std::getenv("XDG_CONFIG_HOME");
  if (config && config[0] == '/') return std::string(config) + "/kelvane";
  const char* home = std::getenv("HOME");
  if (!home || home[0] != '/') {
    const passwd* user = getpwuid(getuid());
    home = user && user->pw_dir ? user->pw_dir : "/tmp";
  }
  return std::string(home) + "/.config/kelvane";
}

bool LinuxSettingsStore::RegistrySet(const std::string& section, const std::string& key,
                                     const std::string& value) {
  if (!IniStorable(section, key, value)) return false;
  if (folder_.empty() || folder_[0] != '/' || !MakeFolders(folder_)) return false;
  return ReplaceFile(folder_, file_, IniWithValue(ReadCapped(file_), section, key, value));
}

std::string LinuxSettingsStore::RegistryGet(const std::string& section, const std::string& key,
                                            const std::string& fallback) {
  return IniValue(ReadCapped(file_), section, key).value_or(fallback);
}

}  // namespace kelvane::linux_platform
