#include <sys/stat.h>

#include "integration/test_folders.h"
#include "platform/linux/file_system_linux.h"

namespace kelvane {
namespace {

using testing::fs::path;

TEST(LinuxFileSystem, PresenceAttributesAndDeletionLikeWindows) {
  linux_platform::LinuxFileSystem files;
  const path folder = testing::NewTestFolder("files");
  const path plain = folder / "a.txt", locked = folder / "ro.txt", dot = folder / ".app";
  testing::Spit(plain, "a");
  testing::Spit(locked, "r");
  testing::Spit(dot, "h");
  chmod(locked.c_str(), 0444);

  EXPECT_TRUE(files.IsPresent(plain.string()));
  EXPECT_TRUE(files.IsPresent(locked.string()));
  EXPECT_TRUE(files.IsPresent(dot.string()));  // Linux hides nothing
  EXPECT_FALSE(files.IsPresent(folder.string()));
  EXPECT_FALSE(files.IsPresent((folder / "none").string()));

  EXPECT_EQ(files.Attributes(folder.string()), FileSystem::kAttributeDirectory);
  EXPECT_EQ(files.Attributes(plain.string()), 32u);
  EXPECT_EQ(files.Attributes(locked.string()), 33u);
  EXPECT_EQ(files.Attributes(dot.string()), 32u);
  EXPECT_EQ(files.Attributes((folder / "none").string()), std::nullopt);

  EXPECT_FALSE(files.Delete(locked.string()));  // even for root
  EXPECT_TRUE(testing::fs::exists(locked));
  EXPECT_FALSE(files.Write(locked.string(), "x"));
  EXPECT_EQ(testing::Slurp(locked), "r");
  EXPECT_FALSE(files.Delete(folder.string()));
  EXPECT_TRUE(files.Delete(plain.string()));
  EXPECT_FALSE(testing::fs::exists(plain));
  EXPECT_FALSE(files.Delete(plain.string()));
  testing::fs::remove_all(folder);
}

TEST(LinuxFileSystem, CopiesReadsWritesAndChangesFolder) {
  linux_platform::LinuxFileSystem files;
  const path folder = testing::NewTestFolder("copy");
  const path program = folder / "app", copy = folder / "app.old";
  std::string bytes(300000, '\0');
  for (size_t i = 0; i < bytes.size(); ++i) bytes[i] = static_cast<char>(i * 31);
  ASSERT_TRUE(files.Write(program.string(), bytes));
  chmod(program.c_str(), 0751);

  EXPECT_EQ(files.Read(program.string()), bytes);
  EXPECT_TRUE(files.Copy(program.string(), copy.string()));
  EXPECT_EQ(testing::Slurp(copy), bytes);
  struct stat info;
  ASSERT_EQ(stat(copy.c_str(), &info), 0);
  EXPECT_EQ(info.st_mode & 07777, 0751u);

  // An existing destination is never overwritten; a missing source copies nothing.
  ASSERT_TRUE(files.Write(copy.string(), "kept"));
  EXPECT_FALSE(files.Copy(program.string(), copy.string()));
  EXPECT_EQ(testing::Slurp(copy), "kept");
  EXPECT_FALSE(files.Copy((folder / "none").string(), (folder / "new").string()));
  EXPECT_FALSE(testing::fs::exists(folder / "new"));
  EXPECT_EQ(files.Read((folder / "none").string()), std::nullopt);
  EXPECT_EQ(files.Read(folder.string()), std::nullopt);

  const std::string before = files.CurrentFolder();
  EXPECT_TRUE(files.SetCurrentFolder(folder.string()));
  EXPECT_EQ(files.CurrentFolder(), folder.string());
  EXPECT_FALSE(files.SetCurrentFolder((folder / "none").string()));
  EXPECT_TRUE(files.SetCurrentDrive('C'));
  EXPECT_TRUE(files.SetCurrentFolder(before));
  testing::fs::remove_all(folder);
}

}  // namespace
}  // namespace kelvane
