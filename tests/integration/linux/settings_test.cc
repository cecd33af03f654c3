#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <random>

#include "integration/test_folders.h"
#include "platform/linux/settings_linux.h"

namespace kelvane::linux_platform {
namespace {

namespace fs = std::filesystem;
using testing::Listing;
using Names = std::set<std::string>;

// A private folder for one test, removed afterwards even when made read-only.
struct ScratchFolder {
  const std::string path = testing::NewTestFolder("settings").string();
  ~ScratchFolder() {
    std::error_code ignored;
    for (auto& entry : fs::recursive_directory_iterator(path, ignored))
      fs::permissions(entry.path(), fs::perms::owner_all, fs::perm_options::add, ignored);
    fs::remove_all(path, ignored);
  }
};

TEST(LinuxSettingsStore, RoundTripKeepsOtherEntriesAndLeavesNoTemporaryFile) {
  ScratchFolder scratch;
  const std::string folder = scratch.path + "/config/kelvane";  // made on first write
  LinuxSettingsStore store(folder);
  EXPECT_EQ(store.RegistryGet("AlwaysOnTop", "OnTop", "True"), "True");
  EXPECT_FALSE(fs::exists(folder));  // reading creates nothing

  ASSERT_TRUE(store.RegistrySet("AlwaysOnTop", "OnTop", "False"));
  EXPECT_EQ(testing::Slurp(store.File()), "[AlwaysOnTop]\nOnTop=False\n");
  EXPECT_EQ(LinuxSettingsStore(folder).RegistryGet("AlwaysOnTop", "OnTop", "True"), "False");

  // Someone's edits survive a write: comments, other sections, other keys.
  testing::Spit(store.File(),
                "; kept\n[Other]\nOnTop=other\n\n[alwaysontop]\nColour=blue\n onTop = False \n"
                "[Last]\nx=1");
  EXPECT_EQ(store.RegistryGet("AlwaysOnTop", "OnTop", "?"), "False");
  ASSERT_TRUE(store.RegistrySet("AlwaysOnTop", "OnTop", "True"));
  EXPECT_EQ(testing::Slurp(store.File()),
            "; kept\n[Other]\nOnTop=other\n\n[alwaysontop]\nColour=blue\nOnTop=True\n"
            "[Last]\nx=1\n");
  ASSERT_TRUE(store.RegistrySet("Last", "y", "2"));
  ASSERT_TRUE(store.RegistrySet("New", "z", "3"));
  EXPECT_EQ(store.RegistryGet("Last", "y", "?"), "2");
  EXPECT_EQ(store.RegistryGet("New", "z", "?"), "3");

  // A value that would break the file's lines is refused.
  EXPECT_FALSE(store.RegistrySet("AlwaysOnTop", "OnTop", "True\n[Evil]"));
  EXPECT_EQ(store.RegistryGet("Evil", "OnTop", "?"), "?");

  EXPECT_EQ(Listing(folder), Names{"kelvane.ini"});
}

// Runs `write` as an unprivileged user in a child process when this test
// runs as root (root may write anywhere); its result, or -1 when the child
// failed or crashed.
template <typename F>
int AsUnprivileged(F&& write) {
  if (geteuid() != 0) return write() ? 1 : 0;
  const pid_t child = fork();
  if (child == 0) {
    if (setgid(65534) != 0 || setuid(65534) != 0) _exit(3);
    _exit(write() ? 1 : 0);
  }
  int status = 0;
  if (child < 0 || waitpid(child, &status, 0) != child || !WIFEXITED(status)) return -1;
  return WEXITSTATUS(status) <= 1 ? WEXITSTATUS(status) : -1;
}

TEST(LinuxSettingsStore, UnwritablePlacesGiveFalseAndKeepTheOldFile) {
  ScratchFolder scratch;
  // A folder that cannot be made: a file stands in its way (fails even for root).
  testing::Spit(scratch.path + "/file", "x");
  LinuxSettingsStore blocked(scratch.path + "/file/kelvane");
  EXPECT_FALSE(blocked.RegistrySet("AlwaysOnTop", "OnTop", "True"));
  EXPECT_FALSE(LinuxSettingsStore("").RegistrySet("AlwaysOnTop", "OnTop", "True"));

  // A read-only folder holding a stored value.
  const std::string folder = scratch.path + "/kelvane";
  LinuxSettingsStore store(folder);
  ASSERT_TRUE(store.RegistrySet("AlwaysOnTop", "OnTop", "False"));
  ASSERT_EQ(chmod(scratch.path.c_str(), 0755), 0);  // the unprivileged user may look in
  ASSERT_EQ(chmod(folder.c_str(), 0555), 0);
  ASSERT_EQ(chmod(store.File().c_str(), 0444), 0);
  EXPECT_EQ(AsUnprivileged([&] { return store.RegistrySet("AlwaysOnTop", "OnTop", "True"); }), 0);
  EXPECT_EQ(store.RegistryGet("AlwaysOnTop", "OnTop", "?"), "False");
  EXPECT_EQ(Listing(folder), Names{"kelvane.ini"});

  // A folder still to be made below a read-only one.
  LinuxSettingsStore below(folder + "/deeper");
  EXPECT_EQ(AsUnprivileged([&] { return below.RegistrySet("AlwaysOnTop", "OnTop", "True"); }), 0);
}

TEST(LinuxSettingsStore, GarbageAndHugeFilesAreReadSafely) {
  ScratchFolder scratch;
  LinuxSettingsStore store(scratch.path);

  // Random bytes, NULs and broken lines: nothing matches, nothing crashes.
  std::mt19937 random(7);
  std::string garbage(100000, '\0');
  for (char& c : garbage) c = static_cast<char>(random());
  garbage += "\nOnTop=False\n[AlwaysOnTop\n=\n[]\n[AlwaysOnTop]]\nOnTop=False\n";
  testing::Spit(store.File(), garbage);
  EXPECT_EQ(store.RegistryGet("AlwaysOnTop", "OnTop", "True"), "True");

  // A value within the first 64 KiB is found; one behind a megabyte is not.
  const std::string megabyte(1 << 20, 'x');
  testing::Spit(store.File(), "[AlwaysOnTop]\nOnTop=False\n" + megabyte);
  EXPECT_EQ(store.RegistryGet("AlwaysOnTop", "OnTop", "True"), "False");
  testing::Spit(store.File(), "[AlwaysOnTop]\n" + megabyte + "\nOnTop=False\n");
  EXPECT_EQ(store.RegistryGet("AlwaysOnTop", "OnTop", "True"), "True");

  // A folder where the file should be.
  fs::remove(store.File());
  fs::create_directory(store.File());
  EXPECT_EQ(store.RegistryGet("AlwaysOnTop", "OnTop", "True"), "True");
  EXPECT_FALSE(store.RegistrySet("AlwaysOnTop", "OnTop", "False"));
}

}  // namespace
}  // namespace kelvane::linux_platform
