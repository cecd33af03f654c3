#pragma once
// The file system's primitives as the job relies on them, the same on both
// platforms: presence, the read-only attribute that protects a backup,
// copies that never overwrite, and the current folder. Included once by
// each platform's file system test.
#include "integration/test_folders.h"
#include "platform/file_system.h"

namespace kelvane::testing {

inline void ExpectFileSystemPrimitives(FileSystem& files) {
  const fs::path folder = NewTestFolder("files");
  const fs::path program = folder / "app.exe", copy = folder / "app.exe.old";
  const fs::path locked = folder / "ro.txt", none = folder / "none";
  std::string bytes(300000, '\0');
  for (size_t i = 0; i < bytes.size(); ++i) bytes[i] = static_cast<char>(i * 31);
  ASSERT_TRUE(files.Write(program.string(), bytes));
  Spit(locked, "r");
  fs::permissions(locked, fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write,
                  fs::perm_options::remove);

  EXPECT_TRUE(files.IsPresent(program.string()));
  EXPECT_TRUE(files.IsPresent(locked.string()));
  EXPECT_FALSE(files.IsPresent(folder.string()));
  EXPECT_FALSE(files.IsPresent(none.string()));
  EXPECT_TRUE(*files.Attributes(folder.string()) & FileSystem::kAttributeDirectory);
  EXPECT_FALSE(*files.Attributes(program.string()) & 1);
  EXPECT_TRUE(*files.Attributes(locked.string()) & 1);
  EXPECT_EQ(files.Attributes(none.string()), std::nullopt);

  // A read-only file stays, whoever runs the job (root too).
  std::string why;  // the reason the job's error line gives
  EXPECT_FALSE(files.Delete(locked.string(), &why));
  EXPECT_TRUE(why.starts_with("Permission denied")) << why;
  EXPECT_EQ(Slurp(locked), "r");
  EXPECT_FALSE(files.Delete(folder.string(), nullptr));

  // Copies are whole and never overwrite; a missing source copies nothing.
  EXPECT_TRUE(files.Read(program.string()) == bytes);
  EXPECT_TRUE(files.Copy(program.string(), copy.string(), nullptr));
  EXPECT_TRUE(Slurp(copy) == bytes);
  ASSERT_TRUE(files.Write(copy.string(), "kept"));
  EXPECT_FALSE(files.Copy(program.string(), copy.string(), nullptr));
  EXPECT_EQ(Slurp(copy), "kept");
  EXPECT_FALSE(files.Copy(none.string(), (folder / "new").string(), nullptr));
  EXPECT_FALSE(fs::exists(folder / "new"));
  EXPECT_EQ(files.Read(none.string()), std::nullopt);
  EXPECT_EQ(files.Read(folder.string()), std::nullopt);

  EXPECT_TRUE(files.Delete(copy.string(), nullptr));
  EXPECT_FALSE(fs::exists(copy));
  EXPECT_FALSE(files.Delete(copy.string(), nullptr));

  const std::string before = files.CurrentFolder();
  EXPECT_TRUE(files.SetCurrentFolder(folder.string()));
  EXPECT_EQ(files.CurrentFolder(), folder.string());
  EXPECT_FALSE(files.SetCurrentFolder(none.string()));
  EXPECT_TRUE(files.SetCurrentDrive('C'));
  EXPECT_TRUE(files.SetCurrentFolder(before));
  fs::permissions(locked, fs::perms::owner_write, fs::perm_options::add);
  fs::remove_all(folder);
}

}  // namespace kelvane::testing
