// Starting real programs under Windows and finding them among the running
// processes; the file system's primitives.
#include <windows.h>

#include "integration/launch_tests.h"

namespace kelvane {
namespace {

TEST_F(LaunchTest, FindsTheProgramOfAnExecutable) {
  std::string program;
  EXPECT_GT(launcher.FindExecutable(recorder.string(), "", program), 32);
  EXPECT_FALSE(program.empty());
  EXPECT_EQ(launcher.FindExecutable((folder / "gone.txt").string(), "", program), 2);
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
