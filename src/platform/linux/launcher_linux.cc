#include "platform/linux/launcher_linux.h"

#include <fcntl.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <fstream>
#include <sstream>

#include "launch/desktop_exec.h"
#include "platform/linux/desktop_data_linux.h"

extern char** environ;

namespace kelvane::linux_platform {
namespace {

constexpr int kFileNotFound = 2;
constexpr int kNoAssociation = 31;
constexpr int kFound = 42;

bool IsExecutableFile(const std::string& path) {
  struct stat info;
  return stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode) && access(path.c_str(), X_OK) == 0;
}

// A started program gets nothing of this process but its environment: its
// standard streams on /dev/null (standard output on `out` where given),
// every other descriptor closed (a caller reading our output sees its end
// when we end, not when the program does), and the default action for the
// signals this process ignores.
std::optional<pid_t> Spawn(const std::vector<std::string>& words, const std::string& program,
                           int out = -1) {
  std::vector<char*> argv;
  for (const std::string& word : words) argv.push_back(const_cast<char*>(word.c_str()));
  argv.push_back(nullptr);
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
  if (out >= 0)
    posix_spawn_file_actions_adddup2(&actions, out, 1);
  else
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
  posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
  posix_spawn_file_actions_addclosefrom_np(&actions, 3);
  posix_spawnattr_t attributes;
  posix_spawnattr_init(&attributes);
  sigset_t defaults, none;
  sigemptyset(&defaults);
  sigaddset(&defaults, SIGPIPE);
  sigemptyset(&none);
  posix_spawnattr_setsigdefault(&attributes, &defaults);
  posix_spawnattr_setsigmask(&attributes, &none);
  posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSIGDEF | POSIX_SPAWN_SETSIGMASK);
  pid_t pid = 0;
  const int failed =
      posix_spawnp(&pid, program.c_str(), &actions, &attributes, argv.data(), environ);
  posix_spawnattr_destroy(&attributes);
  posix_spawn_file_actions_destroy(&actions);
  if (failed != 0) return std::nullopt;
  return pid;
}

// The first line that a helper program prints, or "" when it fails.
std::string FirstLineOf(const std::vector<std::string>& words) {
  int out[2];
  if (pipe2(out, O_CLOEXEC) != 0) return "";
  const auto pid = Spawn(words, words[0], out[1]);
  close(out[1]);
  std::string text;
  char buffer[4096];
  for (ssize_t n; pid && (n = read(out[0], buffer, sizeof buffer)) != 0;) {
    if (n > 0)
      text.append(buffer, static_cast<size_t>(n));
    else if (errno != EINTR)
      break;
  }
  close(out[0]);
  int status = 0;
  if (!pid || waitpid(*pid, &status, 0) != *pid || !WIFEXITED(status) || WEXITSTATUS(status) != 0) {
    return "";
  }
  return text.substr(0, text.find('\n'));
}

// A program name without "/" as the platform would find it on PATH.
std::string OnPath(const std::string& name) {
  if (name.empty() || name.find('/') != std::string::npos) return name;
  const char* path = std::getenv("PATH");
  std::istringstream folders(path ? path : "/usr/bin:/bin");
  for (std::string folder; std::getline(folders, folder, ':');) {
    const std::string candidate = (folder.empty() ? "." : folder) + "/" + name;
    if (IsExecutableFile(candidate)) return candidate;
  }
  return "";
}

std::string Absolute(const std::string& path) {
  if (!path.empty() && path[0] == '/') return path;
  char cwd[4096];
  return getcwd(cwd, sizeof cwd) ? std::string(cwd) + "/" + path : path;
}

}  // namespace

std::vector<std::string> SplitCommandLine(const std::string& line) {
  std::vector<std::string> words;
  std::string word;
  bool inWord = false, quoted = false;
  for (const char c : line) {
    if (c == '"') {
      quoted = !quoted;
      inWord = true;
    } else if (!quoted && (c == ' ' || c == '\t')) {
      if (inWord) words.push_back(std::move(word));
      word.clear();
      inWord = false;
    } else {
      word += c;
      inWord = true;
    }
  }
  if (inWord) words.push_back(std::move(word));
  return words;
}

int LinuxLauncher::FindExecutable(const std::string& file, const std::string& directory,
                                  std::string& program) {
  const std::string path =
      directory.empty() || (!file.empty() && file[0] == '/') ? file : directory + "/" + file;
  struct stat info;
  if (path.empty() || stat(path.c_str(), &info) != 0) return kFileNotFound;
  if (!S_ISREG(info.st_mode)) return kNoAssociation;
  if (IsExecutableFile(path)) {
    program = Absolute(path);
    return kFound;
  }
  const auto words = DesktopCommand(AssociatedEntries(path), path);
  const std::string found = words ? OnPath(words->front()) : "";
  if (found.empty()) return kNoAssociation;
  program = Absolute(found);
  return kFound;
}

std::vector<DesktopEntry> LinuxLauncher::AssociatedEntries(const std::string& file) {
  struct stat info;
  if (stat(file.c_str(), &info) != 0 || !S_ISREG(info.st_mode)) return {};
  // The name decides, as a file type does on Windows; only a name that
  // says nothing lets the contents speak.
  std::string type = MimeTypeOfName(file.substr(file.rfind('/') + 1));
  if (type.empty()) type = FirstLineOf({"xdg-mime", "query", "filetype", file});
  if (type.empty()) return {};
  // The desktop's own choice first, then the others in their order.
  std::vector<std::string> ids = AssociatedIds(type);
  const std::string chosen = FirstLineOf({"xdg-mime", "query", "default", type});
  std::erase(ids, chosen);
  if (!chosen.empty()) ids.insert(ids.begin(), chosen);
  std::vector<DesktopEntry> entries;
  for (const std::string& id : ids) {
    if (auto entry = ReadDesktopEntry(id)) entries.push_back(std::move(*entry));
  }
  return entries;
}

std::optional<uint32_t> LinuxLauncher::StartWords(const std::vector<std::string>& words) {
  const auto pid = Spawn(words, words.front());
  if (!pid) return std::nullopt;
  return static_cast<uint32_t>(*pid);
}

std::optional<uint32_t> LinuxLauncher::CreateProcess(const std::string& commandLine, int) {
  const auto words = SplitCommandLine(commandLine);
  if (words.empty() || words[0].empty()) return std::nullopt;
  // As on Windows, a bare name is looked for in the current folder before
  // the search path.
  std::string program = words[0];
  if (program.find('/') == std::string::npos && IsExecutableFile(program)) program = "./" + program;
  const auto pid = Spawn(words, program);
  if (!pid) return std::nullopt;
  return static_cast<uint32_t>(*pid);
}

}  // namespace kelvane::linux_platform
