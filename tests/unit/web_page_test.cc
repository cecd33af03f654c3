#include "launch/web_page.h"

#include <gtest/gtest.h>

#include "fakes/fake_platform.h"
#include "launch/desktop_exec.h"

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

// Exec lines as written in a desktop entry, with freedesktop.org's quoting
// examples (a literal "\" is four backslashes in a quoted argument, "$" is
// "\\$"); a URL for the browser.
TEST(DesktopExec, ExecLinesAreReadByTheDesktopEntryRules) {
  using W = std::vector<std::string>;
  const std::string u = "http://h/a b";
  const DesktopEntry entry{"", "Web", "web-icon", "/apps/web.desktop"};
  const std::pair<std::string, std::optional<W>> rows[] = {
      {"/usr/bin/env KV=1 browser %u", W{"/usr/bin/env", "KV=1", "browser", u}},
      {"\"/opt/My Browser/run\" --new %U", W{"/opt/My Browser/run", "--new", u}},
      {"browser", W{"browser", u}},
      {"browser --url=%u %f", W{"browser", "--url=" + u}},
      {"browser %i %c %k 100%% %d %m",
       W{"browser", "--icon", "web-icon", "Web", "/apps/web.desktop", "100%", u}},
      {R"(app "\\\\" "\\$HOME" "say \"hi\"" "\\`x\\`" "%u" "" "my\sapp")",
       W{"app", "\\", "$HOME", "say \"hi\"", "`x`", "%u", "", "my app", u}},
      {"browser \"open %u", std::nullopt},
      {"browser %z", std::nullopt},
      {"%u", std::nullopt},
  };
  for (const auto& [exec, words] : rows) {
    DesktopEntry e = entry;
    e.exec = exec;
    EXPECT_EQ(ExecWords(e, u), words) << exec;
  }
  // A terminal program, and a line that cannot be read, make way for the next entry.
  DesktopEntry editor = entry, broken = entry, browser = entry;
  editor.exec = "vi %f";
  editor.terminal = true;
  broken.exec = "\"x";
  browser.exec = "browser %u";
  EXPECT_EQ(DesktopCommand({editor, broken, browser}, u), (W{"browser", u}));
  EXPECT_EQ(DesktopCommand({editor}, u), std::nullopt);
}

}  // namespace
}  // namespace kelvane
