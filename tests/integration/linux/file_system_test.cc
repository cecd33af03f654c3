#include <sys/stat.h>

#include "integration/file_system_tests.h"
#include "platform/linux/file_system_linux.h"

namespace kelvane {
namespace {

using testing::fs::path;

TEST(LinuxFileSystem, KeepsThePrimitivesOfWindows) {
  linux_platform::LinuxFileSystem files;
  testing::ExpectFileSystemPrimitives(files);

  // Linux's own: a dot file is an ordinary file, a read-only one not written, a copy
  // keeps the mode that makes a program runnable.
  const path folder = testing::NewTestFolder("files-linux");
  const path dot = folder / ".app", locked = folder / "ro", program = folder / "app";
  testing::Spit(dot, "h");
  testing::Spit(locked, "r");
  testing::Spit(program, "#!/bin/sh\n");
  chmod(locked.c_str(), 0444);
  chmod(program.c_str(), 0751);
  EXPECT_TRUE(files.IsPresent(dot.string()));  // Linux hides nothing
  EXPECT_EQ(files.Attributes(dot.string()), 32u);
  EXPECT_EQ(files.Attributes(program.string()), 32u);
  EXPECT_FALSE(files.Write(locked.string(), "x"));
  EXPECT_EQ(testing::Slurp(locked), "r");
  ASSERT_TRUE(files.Copy(program.string(), (folder / "app.old").string()));
  struct stat info;
  ASSERT_EQ(stat((folder / "app.old").c_str(), &info), 0);
  EXPECT_EQ(info.st_mode & 07777, 0751u);
  testing::fs::remove_all(folder);
}

}  // namespace
}  // namespace kelvane
