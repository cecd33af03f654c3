#pragma once
// Starting real programs and finding them among the running processes, the
// same on both platforms: the demo program (tests/support/helpers) is
// copied below a folder with a blank and started through StartFile.
// Included once by each platform's process_launch_test.cc.
#include <sstream>

#include "fakes/fake_platform.h"
#include "integration/env_guard.h"
#include "integration/test_folders.h"
#include "job/program_running.h"
#include "launch/run_file.h"

#ifdef _WIN32
#include "platform/win32/file_system_win32.h"
#include "platform/win32/launcher_win32.h"
#include "platform/win32/process_list_win32.h"
#else
#include <signal.h>
#include <sys/wait.h>

#include "platform/linux/file_system_linux.h"
#include "platform/linux/launcher_linux.h"
#include "platform/linux/process_list_linux.h"
#endif

namespace kelvane {
namespace {

using testing::fs::path;
using Words = std::vector<std::string>;

#ifdef _WIN32
using PlatformLauncher = win32::Win32Launcher;
using PlatformFileSystem = win32::Win32FileSystem;
using PlatformProcessList = win32::ToolHelpProcessList;
constexpr char kExe[] = ".exe", kElsewhere[] = "C:\\elsewhere\\";

// Whether the process ended within `seconds`; one gone already has.
bool Ended(uint32_t pid, double seconds) {
  const HANDLE process = OpenProcess(SYNCHRONIZE, FALSE, pid);
  if (!process) return true;
  const bool ended = WaitForSingleObject(process, static_cast<DWORD>(seconds * 1000)) == 0;
  CloseHandle(process);
  return ended;
}
#else
using PlatformLauncher = linux_platform::LinuxLauncher;
using PlatformFileSystem = linux_platform::LinuxFileSystem;
using PlatformProcessList = linux_platform::ProcProcessList;
constexpr char kExe[] = "", kElsewhere[] = "/elsewhere/";

// Whether our child ended within `seconds`, collecting it; killed if not.
bool Ended(uint32_t pid, double seconds) {
  const auto child = static_cast<pid_t>(pid);
  if (testing::WaitFor([&] { return waitpid(child, nullptr, WNOHANG) == child; }, seconds))
    return true;
  kill(child, SIGKILL);
  waitpid(child, nullptr, 0);
  return false;
}
#endif

struct LaunchTest : ::testing::Test {
  fakes::FakePlatform fake;
  PlatformLauncher launcher;
  PlatformFileSystem files;
  PlatformProcessList processes;
  Platform sys{fake.ui, processes,     fake.fetcher, fake.cache, launcher,
               files,   fake.settings, fake.locale,  fake.facts, fake.end};
  path folder = testing::NewTestFolder("launch");
  path tools = folder / "my tools";
  path recorder = tools / ("demoapp-" + std::to_string(getpid()) + std::string(kExe));
  path record = folder / "record.txt";
  std::string oldCwd = files.CurrentFolder();
  testing::EnvGuard env;

  void SetUp() override {
    testing::fs::create_directories(tools);
    testing::fs::copy_file(
        testing::FolderFromEnvironment("KELVANE_HELPERS") / ("demoapp" + std::string(kExe)),
        recorder);
    testing::fs::permissions(recorder, testing::fs::perms::owner_all,
                             testing::fs::perm_options::add);
    env.Set("DEMOAPP_RECORD", record.string());
    env.Set("DEMOAPP_SECONDS", "0");
  }
  void TearDown() override {
    files.SetCurrentFolder(oldCwd);
    std::error_code ignored;
    testing::fs::remove_all(folder, ignored);
  }
  // The started program's record: its working folder, then its arguments
  // (behind its version).
  Words Recorded(std::optional<uint32_t> pid) {
    EXPECT_TRUE(pid.has_value());
    if (pid) {
      EXPECT_TRUE(Ended(*pid, 20)) << "the started program did not end";
    }
    EXPECT_TRUE(testing::WaitFor([&] { return testing::fs::exists(record); }, 5));
    Words lines;
    std::istringstream text(testing::Slurp(record));
    for (std::string line; std::getline(text, line);) lines.push_back(line);
    if (!lines.empty()) lines.erase(lines.begin());
    return lines;
  }
};

TEST_F(LaunchTest, StartsTheProgramAtAPathWithBlanksWithItsArgumentsAsText) {
  const path marker = folder / "marker";
  const std::string command = testing::Quoted(recorder.string()) + " plain \"two words\" ;touch " +
                              marker.string() + "\t$(id) C:\\x it's * \"\" a\"b c\"d";
  EXPECT_EQ(Recorded(StartFile(sys, command, 1)),
            (Words{oldCwd, "plain", "two words", ";touch", marker.string(), "$(id)", "C:\\x",
                   "it's", "*", "", "ab cd"}));
  EXPECT_FALSE(testing::fs::exists(marker)) << "a second command ran";
  EXPECT_EQ(files.CurrentFolder(), oldCwd);

  // Unquoted, the present file is still found behind its blank.
  testing::fs::remove(record);
  EXPECT_EQ(Recorded(StartFile(sys, recorder.string() + " -x ", 1)), (Words{oldCwd, "-x"}));

  EXPECT_FALSE(StartFile(sys, (folder / "none" / "missing.exe").string(), 1).has_value());
}

TEST_F(LaunchTest, FindsAStartedProgramByNameUntilItEnds) {
  const path hold = folder / "hold";
  testing::Spit(hold, "");
  env.Set("DEMOAPP_HOLD", hold.string());
  const std::string name = recorder.filename().string();

  const auto pid = StartFile(sys, testing::Quoted(recorder.string()), 1);
  ASSERT_TRUE(pid.has_value());
  EXPECT_TRUE(testing::WaitFor([&] { return IsProgramRunning(processes, kElsewhere + name); }, 20));
  EXPECT_TRUE(IsProgramRunning(processes, name));
  EXPECT_FALSE(IsProgramRunning(processes, name + ".old"));

  // Ended, even when not yet collected by its parent (us), is no longer running.
  testing::fs::remove(hold);
  EXPECT_TRUE(testing::WaitFor([&] { return !IsProgramRunning(processes, name); }, 20));
  EXPECT_TRUE(Ended(*pid, 20));
}

}  // namespace
}  // namespace kelvane
