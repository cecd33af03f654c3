#include "platform/linux/process_facts_linux.h"

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
  EXPECT_EQ(ArgumentsOf({"kelvane", "/?"}), "/?");
  EXPECT_EQ(ArgumentsOf({"kelvane", "[URL]", "http://h/x.exe", "[PATH]", "/opt/a b/x.exe"}),
            "[URL] http://h/x.exe [PATH] /opt/a b/x.exe");
  EXPECT_EQ(ArgumentsOf({"kelvane", ""}), "");
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

std::string ProbeFolderWith(EnvGuard& env, const std::optional<std::string>& runtime) {
  env.Set("XDG_RUNTIME_DIR", runtime);
  char name[] = "kelvane";
  char* argv[] = {name};
  LinuxProcessFacts facts(1, argv);
  const std::string folder = facts.ProbeFolder();
  EXPECT_EQ(facts.ProbeFolder(), folder) << "made once";
  return folder;
}

void RemoveIfTemporary(const std::string& folder) {
  if (folder.rfind("/tmp/kelvane-", 0) == 0) fs::remove_all(folder);
}

TEST(LinuxProcessFacts, ProbeFolderIsPrivateAndNeverFollowsAPlantedLink) {
  EnvGuard env;
  {  // the runtime folder of the session
    Scratch runtime;
    const std::string folder = ProbeFolderWith(env, runtime.path);
    EXPECT_EQ(folder, runtime.path + "/kelvane/");
    ExpectPrivate(folder);
  }
  {  // one of ours left open to others is closed again
    Scratch runtime;
    fs::create_directory(runtime.path + "/kelvane");
    chmod((runtime.path + "/kelvane").c_str(), 0777);
    const std::string folder = ProbeFolderWith(env, runtime.path);
    EXPECT_EQ(folder, runtime.path + "/kelvane/");
    ExpectPrivate(folder);
  }
  {  // a planted symlink: neither used nor followed
    Scratch runtime, elsewhere;
    fs::create_directory_symlink(elsewhere.path, runtime.path + "/kelvane");
    chmod(elsewhere.path.c_str(), 0700);
    const std::string folder = ProbeFolderWith(env, runtime.path);
    EXPECT_EQ(folder.find(runtime.path), std::string::npos) << folder;
    EXPECT_EQ(folder.rfind("/tmp/kelvane-", 0), 0u) << folder;
    ExpectPrivate(folder);
    EXPECT_TRUE(fs::is_symlink(runtime.path + "/kelvane"));
    EXPECT_TRUE(fs::is_empty(elsewhere.path));
    RemoveIfTemporary(folder);
  }
  {  // a runtime folder that others may enter is not the session's
    Scratch runtime;
    chmod(runtime.path.c_str(), 0755);
    const std::string folder = ProbeFolderWith(env, runtime.path);
    EXPECT_EQ(folder.find(runtime.path), std::string::npos) << folder;
    ExpectPrivate(folder);
    RemoveIfTemporary(folder);
  }
  for (const std::optional<std::string>& runtime :
       {std::optional<std::string>(), std::optional<std::string>("relative/run")}) {
    const std::string folder = ProbeFolderWith(env, runtime);
    EXPECT_EQ(folder.rfind("/tmp/kelvane-", 0), 0u) << folder;
    ExpectPrivate(folder);
    RemoveIfTemporary(folder);
  }
  if (geteuid() == 0) {  // a folder of another user at the place (only root can plant one)
    Scratch runtime;
    const std::string planted = runtime.path + "/kelvane";
    fs::create_directory(planted);
    chmod(planted.c_str(), 0700);
    const passwd* nobody = getpwnam("nobody");
    ASSERT_NE(nobody, nullptr);
    ASSERT_EQ(chown(planted.c_str(), nobody->pw_uid, nobody->pw_gid), 0);
    const std::string folder = ProbeFolderWith(env, runtime.path);
    EXPECT_EQ(folder.find(runtime.path), std::string::npos) << folder;
    ExpectPrivate(folder);
    RemoveIfTemporary(folder);
  }
}

}  // namespace
}  // namespace kelvane::linux_platform
