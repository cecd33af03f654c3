#include "platform/linux/process_list_linux.h"

#include <dirent.h>
#include <unistd.h>

#include <algorithm>
#include <cstring>
#include <fstream>
#include <iterator>

namespace kelvane::linux_platform {
namespace {

std::string FileName(const std::string& path) {
  const size_t slash = path.rfind('/');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

// The state letter of /proc/PID/stat: after the name's closing ")".
char State(const std::string& pidFolder) {
  const std::string stat = ReadFile(pidFolder + "/stat");
  const size_t close = stat.rfind(')');
  return close != std::string::npos && close + 2 < stat.size() ? stat[close + 2] : '?';
}

}  // namespace

std::string ProcProcessList::ProcessName(const std::string& pidFolder) {
  const char state = State(pidFolder);
  if (state == '?' || state == 'Z' || state == 'X') return "";
  char target[4096];
  const ssize_t n = readlink((pidFolder + "/exe").c_str(), target, sizeof target - 1);
  if (n > 0) {
    std::string exe(target, static_cast<size_t>(n));
    // A program replaced while it runs still runs under its old name.
    const std::string deleted = " (deleted)";
    if (exe.size() > deleted.size() && exe.ends_with(deleted))
      exe.resize(exe.size() - deleted.size());
    return FileName(exe);
  }
  const std::string cmdline = ReadFile(pidFolder + "/cmdline");
  const std::string first = cmdline.substr(0, std::min(cmdline.find('\0'), cmdline.find(' ')));
  if (!first.empty()) return FileName(first);
  std::string comm = ReadFile(pidFolder + "/comm");
  if (!comm.empty() && comm.back() == '\n') comm.pop_back();
  return comm;
}

ProcessList::Handle ProcProcessList::CreateSnapshot() {
  DIR* proc = opendir("/proc");
  if (!proc) return 0;
  Snapshot snapshot;
  while (const dirent* item = readdir(proc)) {
    char* end = nullptr;
    const unsigned long pid = std::strtoul(item->d_name, &end, 10);
    if (*end != '\0' || pid == 0) continue;
    std::string name = ProcessName(std::string("/proc/") + item->d_name);
    if (!name.empty()) snapshot.processes.emplace_back(static_cast<uint32_t>(pid), std::move(name));
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
