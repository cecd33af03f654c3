#pragma once
// Folders, files and the loopback HTTP server for the integration tests, on
// both platforms. Under Wine the tests work below Z:\tmp, which is /tmp for
// the server (a Linux program).
#include <gtest/gtest.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <set>
#include <string>
#include <thread>
#ifdef _WIN32
#include <windows.h>
#else
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
extern char** environ;
#endif

namespace kelvane::testing {

namespace fs = std::filesystem;

// A fresh, empty folder for one test.
inline fs::path NewTestFolder(const std::string& name) {
#ifdef _WIN32
  const fs::path root = "Z:\\tmp";
#else
  const fs::path root = "/tmp";
#endif
  const fs::path folder = root / ("kelvane-" + name + "-" + std::to_string(getpid()));
  // A run that failed half-way may have left read-only files, which Windows
  // will not delete.
  std::error_code ignored;
  for (const auto& entry : fs::recursive_directory_iterator(folder, ignored))
    fs::permissions(entry.path(), fs::perms::owner_write, fs::perm_options::add, ignored);
  fs::remove_all(folder);
  fs::create_directories(folder);
  return folder;
}

// The path as a Linux program sees it.
inline std::string LinuxPath(const fs::path& path) {
  std::string text = path.string();
#ifdef _WIN32
  if (text.size() >= 2 && (text[0] == 'Z' || text[0] == 'z') && text[1] == ':') text.erase(0, 2);
  for (char& c : text) c = c == '\\' ? '/' : c;
#endif
  return text;
}

// A folder that CTest names in an environment variable (a Linux path), as
// this platform names it.
inline fs::path FolderFromEnvironment(const char* variable) {
  const char* folder = std::getenv(variable);
  EXPECT_TRUE(folder) << variable << " is not set";
#ifdef _WIN32
  return fs::path("Z:" + std::string(folder ? folder : ""));
#else
  return fs::path(folder ? folder : "");
#endif
}

// The text in double quotes.
inline std::string Quoted(const std::string& text) { return '"' + text + '"'; }

inline std::string Slurp(const fs::path& file) {
  std::ifstream in(file, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

inline void Spit(const fs::path& file, const std::string& bytes) {
  std::ofstream(file, std::ios::binary) << bytes;
}

inline std::set<std::string> Listing(const fs::path& folder) {
  std::set<std::string> names;
  for (const auto& item : fs::directory_iterator(folder))
    names.insert(item.path().filename().string());
  return names;
}

// Waits up to `seconds` for `done`, polling every 10 ms.
template <typename F>
bool WaitFor(F&& done, double seconds) {
  const auto end = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
  while (!done()) {
    if (std::chrono::steady_clock::now() > end) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  return true;
}

// tests/support/http_server.py serving `root`; it stops when its port file
// is removed (and after five minutes whatever happens). With `tlsPem` (the
// certificate and its key) it speaks https.
class LoopbackServer {
 public:
  explicit LoopbackServer(const fs::path& root, const std::string& tlsPem = "")
      : portFile_(root / "port") {
    const std::string port = Quoted(LinuxPath(portFile_));
    std::string command =
        "python3 " +
        Quoted(LinuxPath(FolderFromEnvironment("KELVANE_TEST_SUPPORT") / "http_server.py")) +
        " --root " + Quoted(LinuxPath(root)) + " --port-file " + port + " --while-file " + port +
        " --lifetime 300 --quiet";
    if (!tlsPem.empty()) command += " --tls " + Quoted(LinuxPath(tlsPem));
#ifdef _WIN32
    // Wine starts a Linux program given by its Linux path.
    std::wstring line = L"/usr/bin/" + std::wstring(command.begin(), command.end());
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION info{};
    EXPECT_TRUE(CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                               &startup, &info))
        << "cannot start the loopback server";
    CloseHandle(info.hThread);
    CloseHandle(info.hProcess);
#else
    command = "exec " + command + " >/dev/null 2>&1";
    const char* argv[] = {"sh", "-c", command.c_str(), nullptr};
    EXPECT_EQ(posix_spawnp(&pid_, "sh", nullptr, nullptr, const_cast<char**>(argv), environ), 0);
#endif
    EXPECT_TRUE(WaitFor([&] { return !Slurp(portFile_).empty(); }, 20)) << "no port file";
    base_ = (tlsPem.empty() ? "http://127.0.0.1:" : "https://127.0.0.1:") + Slurp(portFile_);
  }
  ~LoopbackServer() {
#ifdef _WIN32
    fs::remove(portFile_);  // its sign to end
#else
    if (pid_ > 0) {
      kill(pid_, SIGTERM);
      waitpid(pid_, nullptr, 0);
    }
#endif
  }

  // "http://127.0.0.1:PORT"
  const std::string& Base() const { return base_; }

 private:
  fs::path portFile_;
  std::string base_;
#ifndef _WIN32
  pid_t pid_ = 0;
#endif
};

}  // namespace kelvane::testing
