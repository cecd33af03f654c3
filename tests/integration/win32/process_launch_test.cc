// Starting real programs under Windows and finding them among the running
// processes.
#include <windows.h>

#include <sstream>

#include "fakes/fake_platform.h"
#include "integration/test_folders.h"
#include "job/program_running.h"
#include "launch/run_file.h"
#include "platform/win32/file_system_win32.h"
#include "platform/win32/launcher_win32.h"
#include "platform/win32/process_list_win32.h"

namespace kelvane {
namespace {

using testing::fs::path;
using Words = std::vector<std::string>;

struct LaunchTest : ::testing::Test {
  fakes::FakePlatform fake;
  win32::Win32Launcher launcher;
  win32::Win32FileSystem files;
  win32::ToolHelpProcessList processes;
  Platform sys{fake.ui, processes,     fake.fetcher, fake.cache, launcher,
               files,   fake.settings, fake.locale,  fake.facts, fake.end};
  path folder = testing::NewTestFolder("launch");
  path tools = folder / "my tools";
  path recorder = tools / ("argrecorder-" + std::to_string(testing::ProcessNumber()) + ".exe");
  path record = folder / "record.txt";
  std::string oldCwd = files.CurrentFolder();

  void SetUp() override {
    testing::fs::create_directories(tools);
    testing::fs::copy_file(testing::HelperFolder() / "argrecorder.exe", recorder);
    SetEnvironmentVariableA("KELVANE_ARGRECORD", record.string().c_str());
  }
  void TearDown() override {
    SetEnvironmentVariableA("KELVANE_ARGRECORD", nullptr);
    SetEnvironmentVariableA("KELVANE_HOLD", nullptr);
    files.SetCurrentFolder(oldCwd);
    std::error_code ignored;
    testing::fs::remove_all(folder, ignored);
  }
  static bool Ended(uint32_t pid, double seconds) {
    const HANDLE process = OpenProcess(SYNCHRONIZE, FALSE, pid);
    if (!process) return true;  // gone already
    const bool ended = WaitForSingleObject(process, static_cast<DWORD>(seconds * 1000)) == 0;
    CloseHandle(process);
    return ended;
  }
  Words Recorded(std::optional<uint32_t> pid) {
    EXPECT_TRUE(pid.has_value());
    if (pid) {
      EXPECT_TRUE(Ended(*pid, 20)) << "the started program did not end";
    }
    EXPECT_TRUE(testing::WaitFor([&] { return testing::fs::exists(record); }, 5));
    Words lines;
    std::istringstream text(testing::Slurp(record));
    for (std::string line; std::getline(text, line);) lines.push_back(line);
    return lines;
  }
};

TEST_F(LaunchTest, StartsTheProgramAtAPathWithBlanksWithItsArgumentsAsText) {
  const path marker = folder / "marker";
  const std::string command = testing::Quoted(recorder.string()) + " plain \"two words\" ;touch " +
                              marker.string() + " $(id) \"a \\\"quote\\\"\" *";
  EXPECT_EQ(Recorded(StartFile(sys, command, 1)),
            (Words{oldCwd, "plain", "two words", ";touch", marker.string(), "$(id)", "a \"quote\"",
                   "*"}));
  EXPECT_FALSE(testing::fs::exists(marker)) << "a second command ran";
  EXPECT_EQ(files.CurrentFolder(), oldCwd);

  // Unquoted, the present file is still found behind its blank.
  testing::fs::remove(record);
  EXPECT_EQ(Recorded(StartFile(sys, recorder.string() + " -x ", 1)), (Words{oldCwd, "-x"}));
  EXPECT_FALSE(StartFile(sys, (folder / "none" / "missing.exe").string(), 1).has_value());

  std::string program;
  EXPECT_GT(launcher.FindExecutable(recorder.string(), "", program), 32);
  EXPECT_EQ(program.empty(), false);
  EXPECT_EQ(launcher.FindExecutable((folder / "gone.txt").string(), "", program), 2);
}

TEST_F(LaunchTest, FindsAStartedProgramByNameUntilItEnds) {
  const path hold = folder / "hold";
  testing::Spit(hold, "");
  SetEnvironmentVariableA("KELVANE_HOLD", hold.string().c_str());
  const std::string name = recorder.filename().string();
  EXPECT_FALSE(IsProgramRunning(processes, "C:\\elsewhere\\" + name));

  const auto pid = StartFile(sys, testing::Quoted(recorder.string()), 1);
  ASSERT_TRUE(pid.has_value());
  EXPECT_TRUE(testing::WaitFor([&] { return IsProgramRunning(processes, "C:\\x\\" + name); }, 20));
  EXPECT_FALSE(IsProgramRunning(processes, name + ".old"));

  testing::fs::remove(hold);
  EXPECT_TRUE(Ended(*pid, 20));
  EXPECT_TRUE(testing::WaitFor([&] { return !IsProgramRunning(processes, name); }, 10));
}

TEST(Win32FileSystem, PresenceAttributesCopyAndFolders) {
  win32::Win32FileSystem files;
  const path folder = testing::NewTestFolder("files");
  const path plain = folder / "a.txt", copy = folder / "b.txt";
  testing::Spit(plain, "bytes");
  EXPECT_TRUE(files.IsPresent(plain.string()));
  EXPECT_FALSE(files.IsPresent(folder.string()));
  EXPECT_FALSE(files.IsPresent((folder / "*.txt").string()));
  EXPECT_FALSE(files.IsPresent((folder / "none").string()));
  EXPECT_TRUE(*files.Attributes(folder.string()) & FileSystem::kAttributeDirectory);
  EXPECT_EQ(files.Attributes((folder / "none").string()), std::nullopt);

  EXPECT_TRUE(files.Copy(plain.string(), copy.string()));
  EXPECT_EQ(files.Read(copy.string()), "bytes");
  ASSERT_TRUE(files.Write(copy.string(), "kept"));
  EXPECT_FALSE(files.Copy(plain.string(), copy.string()));
  EXPECT_EQ(files.Read(copy.string()), "kept");

  SetFileAttributesW(copy.wstring().c_str(), FILE_ATTRIBUTE_READONLY);
  EXPECT_TRUE(*files.Attributes(copy.string()) & 1);
  EXPECT_FALSE(files.Delete(copy.string()));
  SetFileAttributesW(copy.wstring().c_str(), FILE_ATTRIBUTE_NORMAL);
  EXPECT_TRUE(files.Delete(copy.string()));
  EXPECT_EQ(files.Read(copy.string()), std::nullopt);

  const std::string before = files.CurrentFolder();
  EXPECT_TRUE(files.SetCurrentFolder(folder.string()));
  EXPECT_EQ(files.CurrentFolder(), folder.string());
  EXPECT_TRUE(files.SetCurrentDrive('C'));
  EXPECT_EQ(files.CurrentFolder().substr(0, 2), "C:");
  EXPECT_TRUE(files.SetCurrentFolder(before));
  testing::fs::remove_all(folder);
}

}  // namespace
}  // namespace kelvane
