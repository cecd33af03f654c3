#include "integration/file_system_tests.h"
#include "platform/linux/file_system_linux.h"

namespace kelvane {
namespace {

using testing::fs::path;

TEST(LinuxFileSystem, KeepsThePrimitivesOfWindows) {
  linux_platform::LinuxFileSystem files;
  testing::ExpectFileSystemPrimitives(files);

  // Linux's own: a dot file is an ordinary file, a read-only one is not
  // written (root too), a copy keeps the mode that makes a program runnable.
  const path folder = testing::NewTestFolder("files-linux");
  const path dot = folder / ".app", locked = folder / "ro", program = folder / "app";
  testing::Spit(dot, "h");
  testing::Spit(locked, "r");
  testing::Spit(program, "#!/bin/sh\n");
  testing::fs::permissions(locked, testing::fs::perms::owner_read);
  testing::fs::permissions(program, testing::fs::perms{0751});
  EXPECT_TRUE(files.IsPresent(dot.string()));  // Linux hides nothing
  EXPECT_EQ(files.Attributes(dot.string()), 32u);
  EXPECT_FALSE(files.Write(locked.string(), "x"));
  EXPECT_EQ(testing::Slurp(locked), "r");
  ASSERT_TRUE(files.Copy(program.string(), (folder / "app.old").string(), nullptr));
  EXPECT_EQ(static_cast<int>(testing::fs::status(folder / "app.old").permissions()), 0751);
  testing::fs::remove_all(folder);
}

}  // namespace
}  // namespace kelvane
