#include "platform/linux/process_facts_linux.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <functional>
#include <vector>

#include "integration/env_guard.h"
#include "integration/test_folders.h"

namespace kelvane::linux_platform {
namespace {

namespace fs = std::filesystem;
using testing::EnvGuard;

TEST(LinuxProcessFacts, KnowsItsExecutable) {
  char name[] = "whatever";
  char* argv[] = {name};
  LinuxProcessFacts facts(1, argv);
  EXPECT_EQ(facts.ExeName(), "integration_tests");  // from /proc, not from argv
  const std::string folder = facts.ExeFolder();
  EXPECT_NE(folder.back(), '/');
  EXPECT_TRUE(fs::is_regular_file(folder + "/integration_tests"));
}

// The probe folder lies in the session's runtime folder when that is private
// and what is there is a private folder of ours; otherwise in a folder made
// for the run below TMPDIR, gone with the run. Neither: a place where no file
// can be made, never the current folder.
TEST(LinuxProcessFacts, ProbeFolderIsPrivateAndNeverFollowsAPlantedLink) {
  EnvGuard env;
  const std::string tmp = testing::NewTestFolder("facts-tmp").string();
  const std::string runtime = testing::NewTestFolder("facts-run").string();
  const std::string elsewhere = testing::NewTestFolder("facts-elsewhere").string();
  env.Set("TMPDIR", tmp);
  const std::string mine = runtime + "/kelvane";
  // What is planted at the runtime folder, and whether the probe may lie there.
  std::vector<std::pair<std::function<void()>, bool>> cases = {
      {[] {}, true},
      {[&] {  // ours, left open to others: closed again
         fs::create_directory(mine);
         chmod(mine.c_str(), 0777);
       },
       true},
      {[&] { fs::create_directory_symlink(elsewhere, mine); }, false},
      {[&] { chmod(runtime.c_str(), 0755); }, false},
      {[&] { env.Set("XDG_RUNTIME_DIR", "relative/run"); }, false},
      {[&] { env.Set("XDG_RUNTIME_DIR", std::nullopt); }, false},
  };
  if (geteuid() == 0) {  // only root can plant a folder of another user
    cases.push_back({[&] {
                       fs::create_directory(mine);
                       chmod(mine.c_str(), 0700);
                       ASSERT_EQ(chown(mine.c_str(), 65534, 65534), 0);
                     },
                     false});
  }
  char name[] = "kelvane";
  char* argv[] = {name};
  for (size_t i = 0; i < cases.size(); ++i) {
    SCOPED_TRACE(i);
    fs::remove_all(mine);
    chmod(runtime.c_str(), 0700);
    env.Set("XDG_RUNTIME_DIR", runtime);
    cases[i].first();
    {
      LinuxProcessFacts facts(1, argv);
      const std::string folder = facts.ProbeFolder();
      EXPECT_EQ(folder.rfind(cases[i].second ? mine + "/" : tmp + "/kelvane-", 0), 0u) << folder;
      struct stat st;
      ASSERT_EQ(lstat(folder.substr(0, folder.size() - 1).c_str(), &st), 0) << folder;
      EXPECT_EQ(st.st_mode & 0777, 0700u);
      EXPECT_EQ(st.st_uid, geteuid());
    }
    EXPECT_TRUE(fs::is_empty(tmp)) << "a folder made for the run stayed";
  }
  EXPECT_TRUE(fs::is_empty(elsewhere));

  env.Set("XDG_RUNTIME_DIR", std::nullopt);
  env.Set("TMPDIR", tmp + "/missing");
  LinuxProcessFacts facts(1, argv);
  const std::string nowhere = facts.ProbeFolder();
  EXPECT_EQ(nowhere, LinuxProcessFacts::kNowhere);
  EXPECT_EQ(open((nowhere + "QrxX00001.html").c_str(), O_WRONLY | O_CREAT, 0600), -1);
  for (const std::string& folder : {tmp, runtime, elsewhere}) fs::remove_all(folder);
}

}  // namespace
}  // namespace kelvane::linux_platform
