#include "launch/web_page.h"

#include <gtest/gtest.h>

#include "fakes/fake_platform.h"

namespace kelvane {
namespace {

using Lookups = std::vector<std::pair<std::string, std::string>>;
const std::string kBrowser = "C:\\Web\\browser.exe";

TEST(WebPage, OpensTheBrowserThroughAProbeItRemoves) {
  fakes::FakePlatform fake;
  fake.launcher.associations[".html"] = kBrowser;
  fake.fs.Put("C:\\QrxX00001.html", "a page of the user's");  // overwritten, then removed
  EXPECT_TRUE(OpenWebPage(fake.platform, "http://h/", 1).has_value());
  EXPECT_EQ(fake.launcher.started, std::vector<std::string>{kBrowser + " http://h/"});
  EXPECT_EQ(fake.launcher.lookups, (Lookups{{"C:\\QrxX00001.html", " \r\n"}}));
  EXPECT_TRUE(fake.fs.files.empty());

  // Where no probe can be written the command names no program: nothing opens.
  fake.fs.unwritableFolders.insert("C:");
  fake.launcher.started.clear();
  OpenWebPage(fake.platform, "http://h/", 1);
  EXPECT_EQ(fake.launcher.started, std::vector<std::string>{" http://h/"});
  EXPECT_TRUE(fake.fs.files.empty());
}

TEST(WebPage, GetExeForFileFallsBackToNameAndTypeProbes) {
  fakes::FakePlatform fake;
  fake.launcher.associations[".html"] = kBrowser;
  fake.fs.unwritableFolders = {"D:\\ro", "D:/ro"};

  // A missing file is created empty for the look-up, or, where it cannot be,
  // asked about by a copy of its name in the probe folder.
  EXPECT_EQ(GetExeForFile(fake.platform, "D:\\new\\page.html"), kBrowser);
  EXPECT_EQ(GetExeForFile(fake.platform, "D:\\ro\\page.html"), kBrowser);
  EXPECT_EQ(GetExeForFile(fake.platform, "D:/ro/page.html"), kBrowser);
  EXPECT_EQ(fake.launcher.lookups, (Lookups{{"D:\\new\\page.html", ""},
                                            {"C:\\zzzzzzzTemp_page.html", "  \r\n"},
                                            {"C:\\zzzzzzzTemp_page.html", "  \r\n"}}));

  // A file whose look-up fails is asked about by a probe of its type.
  for (const auto& [file, probe] : std::vector<std::pair<std::string, std::string>>{
           {"D:\\web\\page.html", "C:\\RunFileTmp.html"},
           {"D:\\a.b", "C:\\RunFileTmpa.b"},  // shorter than four: the whole name
           {"D:\\README", "C:\\RunFileTmpREADME"},
       }) {
    fake.fs.Put(file, "data");
    fake.launcher.unanswered.insert(file);
    GetExeForFile(fake.platform, file);
    EXPECT_EQ(fake.launcher.lookups.back(), std::pair(probe, std::string(" \r\n"))) << file;
    fake.fs.files.erase(file);
  }
  EXPECT_TRUE(fake.fs.files.empty());
}

}  // namespace
}  // namespace kelvane
