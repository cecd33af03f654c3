// An update job on what Linux's file system has of its own: a link as the
// target. The job's other file steps are the unit tests' (through fakes) and
// the end-to-end tests' (real files, a full disk); the window, processes and
// the rest are the fakes here.
#include "fakes/fake_platform.h"
#include "integration/test_folders.h"
#include "platform/linux/fetcher_linux.h"
#include "platform/linux/file_system_linux.h"

namespace kelvane {
namespace {

using testing::fs::path;

// Runs one job on `target` with the program from `url`, which shows no box;
// whether it ended the program.
bool RunJob(const path& target, const std::string& url) {
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
  const bool ended = fakes::Ends([&] { form.RunUpdate(); });
  EXPECT_TRUE(p.ui.boxes.empty());
  return ended;
}

// A link is followed: the file it names is replaced, its backup lies beside
// it, and the link stays.
TEST(LinuxJob, FollowsALink) {
  const path served = testing::NewTestFolder("job-served"), folder = testing::NewTestFolder("job");
  testing::Spit(served / "app", "new");
  testing::LoopbackServer server(served);
  testing::fs::create_directories(folder / "lib");
  testing::Spit(folder / "lib" / "app-1", "old");
  testing::fs::create_symlink("lib/app-1", folder / "app");
  EXPECT_FALSE(RunJob(folder / "app", server.Base() + "/app"));
  EXPECT_TRUE(testing::fs::is_symlink(folder / "app"));
  EXPECT_EQ(testing::Listing(folder / "lib"), (std::set<std::string>{"app-1", "app-1.old"}));
  EXPECT_EQ(testing::Slurp(folder / "lib" / "app-1"), "new");
  EXPECT_EQ(testing::Slurp(folder / "lib" / "app-1.old"), "old");
  for (const path& f : {served, folder}) testing::fs::remove_all(f);
}

}  // namespace
}  // namespace kelvane
