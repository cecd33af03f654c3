// Starting real programs under Windows and finding them among the running
// processes; the file system's primitives (shared with Linux).
#include "integration/file_system_tests.h"
#include "integration/launch_tests.h"

namespace kelvane {
namespace {

TEST_F(LaunchTest, FindsTheProgramOfAnExecutable) {
  std::string program;
  EXPECT_GT(launcher.FindExecutable(recorder.string(), "", program), 32);
  EXPECT_FALSE(program.empty());
  EXPECT_EQ(launcher.FindExecutable((folder / "gone.txt").string(), "", program), 2);
}

TEST(Win32FileSystem, KeepsThePrimitives) {
  win32::Win32FileSystem files;
  testing::ExpectFileSystemPrimitives(files);
  const path folder = testing::NewTestFolder("files-win32");
  testing::Spit(folder / "a.txt", "");
  EXPECT_FALSE(files.IsPresent((folder / "*.txt").string()));  // no wildcards
  testing::fs::remove_all(folder);
}

}  // namespace
}  // namespace kelvane
