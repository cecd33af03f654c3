// An update job on what Linux's file system has of its own: a link as the
// target, and a disk too full for the backup. The job's other file steps
// are the unit tests' (through fakes) and the end-to-end tests' (real
// files); the window, processes and the rest are the fakes here.
#include <sys/mount.h>

#include "fakes/fake_platform.h"
#include "integration/test_folders.h"
#include "platform/linux/fetcher_linux.h"
#include "platform/linux/file_system_linux.h"

namespace kelvane {
namespace {

using testing::fs::path;

// Runs one job on `target` with the program from `url`; `message` is the
// first line of the one box it shows, or none. Whether it ended the program.
bool RunJob(const path& target, const std::string& url, const std::string& message = "") {
  linux_platform::LinuxFileSystem files;
  linux_platform::CurlFetcher fetcher;
  fakes::FakePlatform p;
  p.facts.exeFolder = testing::fs::current_path().string();  // where the job leaves the cwd
  Platform real{p.ui,  p.processes, fetcher,  p.cache, p.launcher,
                files, p.settings,  p.locale, p.facts, p.end};
  Form1 form(real);
  form.Path = target.string();
  form.URL = url;
  form.Ask = false;  // the window stays open after the job
  form.RunProgramCheck.SetValue(0);
  if (!message.empty()) p.ui.ExpectBox(MsgAnswer::Ok);
  const bool ended = fakes::Ends([&] { form.RunUpdate(); });
  EXPECT_EQ(p.ui.boxes.size(), message.empty() ? 0u : 1u);
  if (!p.ui.boxes.empty()) {
    EXPECT_EQ(p.ui.boxes[0].text.substr(0, p.ui.boxes[0].text.find('\r')), message);
  }
  return ended;
}

// A link is followed: the file it names is replaced, its backup lies beside
// it, and the link stays. A disk with room for the download but not for a
// copy of the target: the backup cannot be made, and the job ends with the
// target untouched.
TEST(LinuxJob, FollowsALinkAndLeavesTheTargetUntouchedOnAFullDisk) {
  const path served = testing::NewTestFolder("job-served"), folder = testing::NewTestFolder("job");
  const std::string program(400 * 1024, 'p'), download(400 * 1024, 'n');
  testing::Spit(served / "app", "new");
  testing::Spit(served / "big", download);
  testing::LoopbackServer server(served);
  testing::fs::create_directories(folder / "lib");
  testing::Spit(folder / "lib" / "app-1", "old");
  testing::fs::create_symlink("lib/app-1", folder / "app");
  EXPECT_FALSE(RunJob(folder / "app", server.Base() + "/app"));
  EXPECT_TRUE(testing::fs::is_symlink(folder / "app"));
  EXPECT_EQ(testing::Listing(folder / "lib"), (std::set<std::string>{"app-1", "app-1.old"}));
  EXPECT_EQ(testing::Slurp(folder / "lib" / "app-1"), "new");
  EXPECT_EQ(testing::Slurp(folder / "lib" / "app-1.old"), "old");

  const path full = folder / "full";
  testing::fs::create_directory(full);
  if (mount("tmpfs", full.c_str(), "tmpfs", 0, "size=1m") != 0)
    GTEST_SKIP() << "note: mounting a small tmpfs needs root; the full disk is not tested";
  testing::Spit(full / "app", program);
  testing::fs::permissions(full / "app", testing::fs::perms::owner_read);  // copied, not moved
  EXPECT_TRUE(RunJob(full / "app", server.Base() + "/big", "Error: Could not create backup file:"));
  EXPECT_EQ(testing::Listing(full), (std::set<std::string>{"app", "app_"}));
  EXPECT_TRUE(testing::Slurp(full / "app") == program) << "the target changed";
  umount(full.c_str());
  for (const path& f : {served, folder}) testing::fs::remove_all(f);
}

}  // namespace
}  // namespace kelvane
