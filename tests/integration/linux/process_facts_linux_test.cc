#include "platform/linux/process_facts_linux.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <vector>

#include "integration/linux/env_guard.h"

namespace kelvane::linux_platform {
namespace {

namespace fs = std::filesystem;
using testing::EnvGuard;

std::string ArgumentsOf(std::vector<std::string> args) {
  std::vector<char*> argv;
  for (std::string& a : args) argv.push_back(a.data());
  return LinuxProcessFacts(static_cast<int>(argv.size()), argv.data()).ArgumentText();
}

TEST(LinuxProcessFacts, JoinsTheArgumentsAndKnowsItsExecutable) {
  EXPECT_EQ(ArgumentsOf({"kelvane"}), "");
  EXPECT_EQ(ArgumentsOf({"kelvane", "[URL]", "http://h/x.exe", "[PATH]", "/opt/a b/x.exe"}),
            "[URL] http://h/x.exe [PATH] /opt/a b/x.exe");
  EXPECT_EQ(ArgumentsOf({"kelvane", "a", "", "b"}), "a  b");

  char name[] = "whatever";
  char* argv[] = {name};
  LinuxProcessFacts facts(1, argv);
  EXPECT_EQ(facts.ExeName(), "integration_tests");  // from /proc, not from argv
  const std::string folder = facts.ExeFolder();
  EXPECT_NE(folder.back(), '/');
  EXPECT_TRUE(fs::is_regular_file(folder + "/integration_tests"));
}

struct Scratch {
  Scratch() {
    char pattern[] = "/tmp/kelvane-facts-XXXXXX";
    path = mkdtemp(pattern);
  }
  ~Scratch() { fs::remove_all(path); }
  std::string path;
};

// A folder only this user may use, given with a trailing separator.
void ExpectPrivate(const std::string& folder) {
  ASSERT_FALSE(folder.empty());
  EXPECT_EQ(folder.back(), '/');
  struct stat st;
  ASSERT_EQ(lstat(folder.substr(0, folder.size() - 1).c_str(), &st), 0) << folder;
  EXPECT_TRUE(S_ISDIR(st.st_mode)) << folder;
  EXPECT_EQ(st.st_mode & 0777, 0700u) << folder;
  EXPECT_EQ(st.st_uid, geteuid()) << folder;
}

// The probe folder of fresh facts, checked while they live; a folder they
// made for the run is gone once they are.
std::string ProbeFolderWith(EnvGuard& env, const std::optional<std::string>& runtime,
                            const std::string& tmp) {
  env.Set("XDG_RUNTIME_DIR", runtime);
  env.Set("TMPDIR", tmp);
  char name[] = "kelvane";
  char* argv[] = {name};
  std::string folder;
  {
    LinuxProcessFacts facts(1, argv);
    folder = facts.ProbeFolder();
    EXPECT_EQ(facts.ProbeFolder(), folder) << "made once";
    ExpectPrivate(folder);
  }
  if (folder.rfind(tmp + "/kelvane-", 0) == 0) {
    EXPECT_FALSE(fs::exists(folder)) << folder;
  }
  return folder;
}

TEST(LinuxProcessFacts, ProbeFolderIsPrivateAndNeverFollowsAPlantedLink) {
  EnvGuard env;
  Scratch tmp;
  const std::string ownTmp = tmp.path + "/kelvane-";
  {  // the runtime folder of the session, kept for the next run
    Scratch runtime;
    const std::string folder = ProbeFolderWith(env, runtime.path, tmp.path);
    EXPECT_EQ(folder, runtime.path + "/kelvane/");
    EXPECT_TRUE(fs::is_directory(folder));
  }
  {  // one of ours left open to others is closed again
    Scratch runtime;
    fs::create_directory(runtime.path + "/kelvane");
    chmod((runtime.path + "/kelvane").c_str(), 0777);
    EXPECT_EQ(ProbeFolderWith(env, runtime.path, tmp.path), runtime.path + "/kelvane/");
  }
  {  // a planted symlink: neither used nor followed
    Scratch runtime, elsewhere;
    fs::create_directory_symlink(elsewhere.path, runtime.path + "/kelvane");
    chmod(elsewhere.path.c_str(), 0700);
    EXPECT_EQ(ProbeFolderWith(env, runtime.path, tmp.path).rfind(ownTmp, 0), 0u);
    EXPECT_TRUE(fs::is_symlink(runtime.path + "/kelvane"));
    EXPECT_TRUE(fs::is_empty(elsewhere.path));
  }
  {  // a runtime folder that others may enter is not the session's
    Scratch runtime;
    chmod(runtime.path.c_str(), 0755);
    EXPECT_EQ(ProbeFolderWith(env, runtime.path, tmp.path).rfind(ownTmp, 0), 0u);
  }
  for (const std::optional<std::string>& runtime :
       {std::optional<std::string>(), std::optional<std::string>("relative/run")}) {
    EXPECT_EQ(ProbeFolderWith(env, runtime, tmp.path).rfind(ownTmp, 0), 0u);
  }
  if (geteuid() == 0) {  // a folder of another user at the place (only root can plant one)
    Scratch runtime;
    const std::string planted = runtime.path + "/kelvane";
    fs::create_directory(planted);
    chmod(planted.c_str(), 0700);
    const passwd* nobody = getpwnam("nobody");
    ASSERT_NE(nobody, nullptr);
    ASSERT_EQ(chown(planted.c_str(), nobody->pw_uid, nobody->pw_gid), 0);
    EXPECT_EQ(ProbeFolderWith(env, runtime.path, tmp.path).rfind(ownTmp, 0), 0u);
  }
  EXPECT_TRUE(fs::is_empty(tmp.path)) << "a folder made for a run stayed";

  // Neither folder to be had: a place where no file can be made, never the
  // current folder.
  env.Set("XDG_RUNTIME_DIR", std::nullopt);
  env.Set("TMPDIR", tmp.path + "/missing");
  char name[] = "kelvane";
  char* argv[] = {name};
  LinuxProcessFacts facts(1, argv);
  const std::string nowhere = facts.ProbeFolder();
  EXPECT_EQ(nowhere, LinuxProcessFacts::kNowhere);
  EXPECT_EQ(open((nowhere + "QrxX00001.html").c_str(), O_WRONLY | O_CREAT, 0600), -1);
}

}  // namespace
}  // namespace kelvane::linux_platform
