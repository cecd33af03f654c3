// Starting real programs and finding them among the running processes, and
// opening documents and web pages through the desktop's associations.
#include "integration/launch_tests.h"
#include "launch/web_page.h"
#include "platform/linux/process_facts_linux.h"

namespace kelvane {
namespace {

// A script runs as its interpreter: it is found by its own file name, however
// its interpreter was named, and not by the names of its arguments.
TEST_F(LaunchTest, FindsARunningScriptByItsFileName) {
  const path hold = folder / "hold", script = tools / "updated app.sh";
  for (const std::string interpreter : {"/bin/sh", "/usr/bin/env sh"}) {
    SCOPED_TRACE(interpreter);
    testing::Spit(script, "#!" + interpreter + "\nwhile [ -e \"$1\" ]; do sleep 0.05; done\n");
    testing::fs::permissions(script, testing::fs::perms::owner_all);
    testing::Spit(hold, "#!/bin/sh\n");
    const auto pid = StartFile(sys, testing::Quoted(script.string()) + " " + hold.string(), 1);
    ASSERT_TRUE(pid.has_value());
    EXPECT_TRUE(testing::WaitFor([&] { return IsProgramRunning(processes, script.string()); }, 20));
    EXPECT_FALSE(IsProgramRunning(processes, "hold"));
    testing::fs::remove(hold);
    EXPECT_TRUE(Ended(*pid, 20));
    EXPECT_FALSE(IsProgramRunning(processes, script.string()));
  }
}

// A private association of text files with the demo program and of web pages
// with a copy of it, "browser" (the association tools take an Exec program
// only when its path holds no blank).
struct AssociationTest : LaunchTest {
  const path config = folder / "config", data = folder / "data", bin = folder / "bin";
  const path program = bin / recorder.filename(), browser = bin / "browser";

  void SetUp() override {
    LaunchTest::SetUp();
    testing::fs::create_directories(data / "applications");
    testing::fs::create_directories(config);
    testing::fs::create_directories(bin);
    testing::fs::copy_file(recorder, program);
    testing::fs::copy_file(recorder, browser);
    // A terminal program comes first for web pages: it is passed over.
    testing::Spit(config / "mimeapps.list",
                  "[Default Applications]\ntext/plain=rec.desktop\n"
                  "text/html=term.desktop;web.desktop\n");
    Entry("rec.desktop", program.string() + " %f");
    Entry("term.desktop", "browser --in-terminal %u\nTerminal=true");
    Entry("web.desktop", "/usr/bin/env KV=1 browser --new-window %u");  // found on PATH
    env.Set("XDG_CONFIG_HOME", config.string());
    env.Set("XDG_DATA_HOME", data.string());
    env.Set("PATH", bin.string() + ":" + std::getenv("PATH"));
  }
  void Entry(const std::string& name, const std::string& exec) {
    testing::Spit(data / "applications" / name,
                  "[Desktop Entry]\nType=Application\nName=" + name + "\nExec=" + exec + "\n");
  }
};

TEST_F(AssociationTest, OpensADocumentWithItsAssociatedProgram) {
  const path docs = folder / "my docs";
  testing::fs::create_directories(docs);
  testing::Spit(docs / "read me.txt", "hello\n");
  testing::Spit(docs / "notes", "hello\n");  // a name without a type: the contents decide

  std::string found;
  EXPECT_GT(launcher.FindExecutable((docs / "read me.txt").string(), "", found), 32);
  ASSERT_EQ(found, program.string());
  EXPECT_GT(launcher.FindExecutable("notes", docs.string(), found), 32);
  EXPECT_EQ(found, program.string());
  EXPECT_EQ(launcher.FindExecutable((docs / "gone.txt").string(), "", found), 2);
  EXPECT_EQ(launcher.FindExecutable(docs.string(), "", found), 31);

  // The program runs in its own folder; afterwards the document's folder
  // is the current one.
  EXPECT_EQ(Recorded(StartFile(sys, testing::Quoted((docs / "read me.txt").string()), 1)),
            (Words{bin.string(), (docs / "read me.txt").string()}));
  EXPECT_EQ(files.CurrentFolder(), docs.string());
}

TEST_F(AssociationTest, OpensAWebPageInTheBrowserThroughAPrivateProbe) {
  const path runtime = folder / "run";
  testing::fs::create_directories(runtime);
  testing::fs::permissions(runtime, testing::fs::perms::owner_all);
  env.Set("XDG_RUNTIME_DIR", runtime.string());
  Entry("rec.desktop", "false %f");  // the probe holds plain text: this must not answer
  char name[] = "kelvane";
  char* argv[] = {name};
  linux_platform::LinuxProcessFacts facts(1, argv);
  Platform real{fake.ui, processes,     fake.fetcher, fake.cache, launcher,
                files,   fake.settings, fake.locale,  facts,      fake.end};

  EXPECT_EQ(Recorded(OpenWebPage(real, "https://h.example/Update.exe", 1)),
            (Words{oldCwd, "--new-window", "https://h.example/Update.exe"}));
  EXPECT_EQ(files.CurrentFolder(), oldCwd);
  EXPECT_TRUE(testing::fs::is_empty(runtime / "kelvane")) << "a probe stayed";

  // No association for web pages: nothing opens, no probe stays.
  testing::fs::remove(data / "applications" / "web.desktop");  // the terminal's stays
  testing::fs::remove(record);
  EXPECT_FALSE(OpenWebPage(real, "https://h.example/", 1).has_value());
  EXPECT_TRUE(testing::fs::is_empty(runtime / "kelvane")) << "a probe stayed";
  EXPECT_FALSE(testing::fs::exists(record));
}

}  // namespace
}  // namespace kelvane
