#include "platform/linux/process_list_linux.h"

#include <dirent.h>
#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cstring>
#include <vector>

#include "platform/linux/descriptor_linux.h"

namespace kelvane::linux_platform {
namespace {

std::string FileName(const std::string& path) {
  const size_t slash = path.rfind('/');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

// The file's bytes; what was read before an error (a process that ends
// while its files are read fails them with ESRCH).
std::string ReadFile(const std::string& path) {
  std::string text;
  const UniqueFd fd(open(path.c_str(), O_RDONLY | O_CLOEXEC));
  if (!fd.Valid()) return text;
  char buffer[4096];
  for (ssize_t n; (n = read(fd.Get(), buffer, sizeof buffer)) > 0;)
    text.append(buffer, static_cast<size_t>(n));
  return text;
}

// The state letter of /proc/PID/stat: after the name's closing ")".
char State(const std::string& pidFolder) {
  const std::string stat = ReadFile(pidFolder + "/stat");
  const size_t close = stat.rfind(')');
  return close != std::string::npos && close + 2 < stat.size() ? stat[close + 2] : '?';
}

// The script an interpreter runs: its first argument that is no option,
// when that names a file starting with "#!" (seen from the process's own
// working folder). "sh app.sh", "python3 -u app.py" and a script started
// through its "#!" line all look like this.
std::string ScriptOf(const std::string& pidFolder, const std::vector<std::string>& arguments) {
  for (size_t i = 1; i < arguments.size(); ++i) {
    const std::string& argument = arguments[i];
    if (argument.starts_with("-")) continue;
    if (argument.empty()) return "";
    const std::string file = argument[0] == '/' ? argument : pidFolder + "/cwd/" + argument;
    char start[2] = {};
    const UniqueFd fd(open(file.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK));
    const bool script =
        fd.Valid() && read(fd.Get(), start, 2) == 2 && start[0] == '#' && start[1] == '!';
    return script ? FileName(argument) : "";
  }
  return "";
}

std::vector<std::string> Words(const std::string& text) {
  std::vector<std::string> words;
  for (size_t at = 0; at < text.size();) {
    const size_t end = std::min(text.find('\0', at), text.size());
    words.push_back(text.substr(at, end - at));
    at = end + 1;
  }
  return words;
}

}  // namespace

std::vector<std::string> ProcProcessList::ProcessNames(const std::string& pidFolder) {
  const char state = State(pidFolder);
  if (state == '?' || state == 'Z' || state == 'X') return {};
  const std::vector<std::string> arguments = Words(ReadFile(pidFolder + "/cmdline"));
  std::string name;
  char target[4096];
  const ssize_t n = readlink((pidFolder + "/exe").c_str(), target, sizeof target - 1);
  if (n > 0) {
    std::string exe(target, static_cast<size_t>(n));
    // A program replaced while it runs still runs under its old name.
    const std::string deleted = " (deleted)";
    if (exe.size() > deleted.size() && exe.ends_with(deleted))
      exe.resize(exe.size() - deleted.size());
    name = FileName(exe);
  } else if (!arguments.empty() && !arguments[0].empty()) {
    name = FileName(arguments[0].substr(0, arguments[0].find(' ')));
  } else {
    name = ReadFile(pidFolder + "/comm");
    if (!name.empty() && name.back() == '\n') name.pop_back();
  }
  std::vector<std::string> names{name};
  const std::string script = ScriptOf(pidFolder, arguments);
  if (!script.empty() && script != name) names.push_back(script);
  return names;
}

ProcessList::Handle ProcProcessList::CreateSnapshot() {
  DIR* proc = opendir("/proc");
  if (!proc) return 0;
  Snapshot snapshot;
  while (const dirent* item = readdir(proc)) {
    char* end = nullptr;
    const unsigned long pid = std::strtoul(item->d_name, &end, 10);
    if (*end != '\0' || pid == 0) continue;
    for (std::string& name : ProcessNames(std::string("/proc/") + item->d_name))
      if (!name.empty())
        snapshot.processes.emplace_back(static_cast<uint32_t>(pid), std::move(name));
  }
  closedir(proc);
  const Handle handle = nextHandle_++;
  snapshots_[handle] = std::move(snapshot);
  return handle;
}

bool ProcProcessList::Fill(Handle handle, ProcessEntry& entry) {
  auto it = snapshots_.find(handle);
  if (it == snapshots_.end() || entry.size != sizeof(ProcessEntry)) return false;
  Snapshot& snapshot = it->second;
  if (snapshot.cursor >= snapshot.processes.size()) return false;
  const auto& [pid, name] = snapshot.processes[snapshot.cursor++];
  entry.processId = pid;
  std::memset(entry.exeFile, 0, sizeof entry.exeFile);
  std::memcpy(entry.exeFile, name.data(), std::min(name.size(), sizeof entry.exeFile - 1));
  return true;
}

bool ProcProcessList::First(Handle snapshot, ProcessEntry& entry) {
  auto it = snapshots_.find(snapshot);
  if (it != snapshots_.end()) it->second.cursor = 0;
  return Fill(snapshot, entry);
}

bool ProcProcessList::Next(Handle snapshot, ProcessEntry& entry) { return Fill(snapshot, entry); }

}  // namespace kelvane::linux_platform
