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

  ASSERT_TRUE(store.RegistrySet("New", "z", "3"));
  EXPECT_EQ(store.RegistryGet("New", "z", "?"), "3");
  EXPECT_EQ(Listing(folder), Names{"kelvane.ini"});  // no temporary file left

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
