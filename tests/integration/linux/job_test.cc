#include <sys/mount.h>
#include <unistd.h>

#include "integration/job_table.h"
#include "platform/linux/fetcher_linux.h"
#include "platform/linux/file_system_linux.h"

namespace kelvane {
namespace {

using testing::fs::path;

TEST(LinuxJob, FaultTableWithDotFilesAndLinks) {
  linux_platform::LinuxFileSystem files;
  linux_platform::CurlFetcher fetcher;
  testing::JobServer server;
  std::vector<testing::JobCase> cases = testing::CommonJobCases(server.fresh);
  cases.push_back({"a dot file is an ordinary file",
                   {{".app", "old"}},
                   {{".app", server.fresh}, {".app.old", "old"}},
                   "",
                   {},
                   false,
                   ".app"});
  testing::RunJobCases(files, fetcher, server, cases);

  // A link is followed: the file it names is replaced, its backups lie
  // beside it, and the link stays.
  const path folder = testing::NewTestFolder("job-link");
  testing::fs::create_directory(folder / "lib");
  testing::Spit(folder / "lib" / "app-1", "old");
  testing::fs::create_symlink("lib/app-1", folder / "app");
  testing::RunJobCase(files, fetcher, folder, server.server.Base(),
                      {"link", {}, {{"app", server.fresh}}});
  EXPECT_TRUE(testing::fs::is_symlink(folder / "app"));
  EXPECT_EQ(testing::Contents(folder / "lib"),
            (std::map<std::string, std::string>{{"app-1", server.fresh}, {"app-1.old", "old"}}));
  testing::fs::remove_all(folder);
}

// A disk with room for the download but not for a copy of the target: the
// backup cannot be made, and the job ends with the target untouched.
TEST(LinuxJob, FullDiskLeavesTheTargetUntouched) {
  const path folder = testing::NewTestFolder("job-full");
  if (mount("tmpfs", folder.c_str(), "tmpfs", 0, "size=1m") != 0)
    GTEST_SKIP() << "note: mounting a small tmpfs needs root; the full disk is not tested";
  testing::JobServer server;
  const std::string program(400 * 1024, 'p');
  testing::Spit(server.served / "big", std::string(400 * 1024, 'n'));
  linux_platform::LinuxFileSystem files;
  linux_platform::CurlFetcher fetcher;
  testing::RunJobCase(files, fetcher, folder, server.server.Base(),
                      {"full disk",
                       {{"app", program}},
                       {{"app", program}, {"app_", std::string(400 * 1024, 'n')}},
                       "Error: Could not create backup file:",
                       {"app"},
                       true,
                       "app",
                       "big"});
  umount(folder.c_str());
  testing::fs::remove_all(folder);
}

}  // namespace
}  // namespace kelvane
