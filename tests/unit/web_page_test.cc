#include "launch/web_page.h"

#include <gtest/gtest.h>

#include "fakes/fake_platform.h"

namespace kelvane {
namespace {

using Lookups = std::vector<std::pair<std::string, std::string>>;
const std::string kBrowser = "C:\\Web\\browser.exe";

// The look-up's other fallbacks (a file that is missing, or cannot be
// written) serve other files than the probe: no link of the window reaches them.
TEST(WebPage, OpensTheBrowserThroughAProbeItRemoves) {
  fakes::FakePlatform fake;
  fake.launcher.associations[".html"] = kBrowser;
  fake.fs.Put("C:\\QrxX00001.html", "a page of the user's");  // overwritten, then removed
  EXPECT_TRUE(OpenWebPage(fake.platform, "http://h/", 1).has_value());
  EXPECT_EQ(fake.launcher.started, std::vector<std::string>{kBrowser + " http://h/"});
  EXPECT_EQ(fake.launcher.lookups, (Lookups{{"C:\\QrxX00001.html", " \r\n"}}));
  EXPECT_TRUE(fake.fs.files.empty());

  // A probe whose look-up fails is asked about once more by its type.
  fake.launcher.unanswered.insert("C:\\QrxX00001.html");
  OpenWebPage(fake.platform, "http://h/", 1);
  EXPECT_EQ(fake.launcher.lookups.back(),
            (std::pair<std::string, std::string>{"C:\\RunFileTmp.html", " \r\n"}));
  EXPECT_EQ(fake.launcher.started.back(), kBrowser + " http://h/");
  EXPECT_TRUE(fake.fs.files.empty());

  // Where no probe can be written the command names no program: nothing opens.
  fake.fs.unwritableFolders.insert("C:");
  OpenWebPage(fake.platform, "http://h/", 1);
  EXPECT_EQ(fake.launcher.started.back(), " http://h/");
  EXPECT_TRUE(fake.fs.files.empty());
}

}  // namespace
}  // namespace kelvane
