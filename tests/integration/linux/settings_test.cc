#include <random>

#include "integration/test_folders.h"
#include "platform/linux/settings_linux.h"

namespace kelvane::linux_platform {
namespace {

namespace fs = std::filesystem;
using testing::Listing;
using Names = std::set<std::string>;

TEST(LinuxSettingsStore, RoundTripKeepsOtherEntriesReadsGarbageSafelyAndFailsWhereItCannotWrite) {
  const std::string scratch = testing::NewTestFolder("settings").string();
  const std::string folder = scratch + "/config/kelvane";  // made on first write
  LinuxSettingsStore store(folder);
  EXPECT_EQ(store.RegistryGet("AlwaysOnTop", "OnTop", "True"), "True");
  EXPECT_FALSE(fs::exists(folder));  // reading creates nothing

  ASSERT_TRUE(store.RegistrySet("AlwaysOnTop", "OnTop", "False"));
  EXPECT_EQ(testing::Slurp(store.File()), "[AlwaysOnTop]\nOnTop=False\n");

  // Someone's edits survive a write: comments, other sections, other keys.
  testing::Spit(store.File(),
                "; kept\n[Other]\nOnTop=other\n\n[alwaysontop]\nColour=blue\n onTop = False \n"
                "[Last]\nx=1");
  EXPECT_EQ(store.RegistryGet("AlwaysOnTop", "OnTop", "?"), "False");
  ASSERT_TRUE(store.RegistrySet("AlwaysOnTop", "OnTop", "True"));
  EXPECT_EQ(testing::Slurp(store.File()),
            "; kept\n[Other]\nOnTop=other\n\n[alwaysontop]\nColour=blue\nOnTop=True\n"
            "[Last]\nx=1\n");
  ASSERT_TRUE(store.RegistrySet("New", "z", "3"));
  EXPECT_EQ(store.RegistryGet("New", "z", "?"), "3");
  EXPECT_EQ(Listing(folder), Names{"kelvane.ini"});  // no temporary file left

  // Random bytes, NULs and broken lines: nothing matches, nothing crashes.
  std::mt19937 random(7);
  std::string garbage(2000, '\0');
  for (char& c : garbage) c = static_cast<char>(random());
  garbage += "\nOnTop=False\n[AlwaysOnTop\n=\n[]\n[AlwaysOnTop]]\nOnTop=False\n";
  testing::Spit(store.File(), garbage);
  EXPECT_EQ(store.RegistryGet("AlwaysOnTop", "OnTop", "True"), "True");

  // Unwritable places give false: a file stands where the folder should be
  // (this holds for root too), or no folder is known.
  testing::Spit(scratch + "/file", "x");
  EXPECT_FALSE(
      LinuxSettingsStore(scratch + "/file/kelvane").RegistrySet("AlwaysOnTop", "OnTop", "True"));
  EXPECT_FALSE(LinuxSettingsStore("").RegistrySet("AlwaysOnTop", "OnTop", "True"));
  // A folder where the file should be: the fallback, and false.
  fs::remove(store.File());
  fs::create_directory(store.File());
  EXPECT_EQ(store.RegistryGet("AlwaysOnTop", "OnTop", "True"), "True");
  EXPECT_FALSE(store.RegistrySet("AlwaysOnTop", "OnTop", "False"));
  fs::remove_all(scratch);
}

}  // namespace
}  // namespace kelvane::linux_platform
