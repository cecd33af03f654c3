#include "launch/run_file.h"

#include <gtest/gtest.h>

#include "fakes/fake_platform.h"

namespace kelvane {
namespace {

struct StartFileTest : ::testing::Test {
  fakes::FakePlatform p;
  std::string Started(const std::string& command) {
    const size_t before = p.launcher.started.size();
    const auto pid = StartFile(p.platform, command, 1);
    EXPECT_TRUE(pid.has_value()) << command;
    return p.launcher.started.size() == before + 1 ? p.launcher.started.back() : "<none>";
  }
};

TEST_F(StartFileTest, StartsProgramsByFullPathWithTheirArguments) {
  p.fs.Put("C:\\Programme\\MyApp.exe", "");
  p.fs.Put("C:\\Program Files\\My App\\app.exe", "");
  p.fs.Put("C:\\Tools\\tool.Com", "");
  p.fs.Put("/opt/my app/run.exe", "");
  p.fs.currentFolder = "C:\\Work\\";

  EXPECT_EQ(Started("C:\\Programme\\MyApp.exe "), "C:\\Programme\\MyApp.exe");
  EXPECT_EQ(Started("\"C:\\Program Files\\My App\\app.exe\" /x \"a b\" C:\\y\\z"),
            "\"C:\\Program Files\\My App\\app.exe\" /x \"a b\" C:\\y\\z");
  // Unquoted, the longest present file wins over the first word.
  EXPECT_EQ(Started("C:\\Program Files\\My App\\app.exe  /s"),
            "\"C:\\Program Files\\My App\\app.exe\" /s");
  EXPECT_EQ(Started("C:\\Tools\\tool.Com -v"), "C:\\Tools\\tool.Com -v");
  EXPECT_EQ(Started("\"/opt/my app/run.exe\" ;touch /tmp/x"),
            "\"/opt/my app/run.exe\" ;touch /tmp/x");
  // Missing at the path: the bare name is left to the platform's search.
  EXPECT_EQ(Started("C:\\Gone\\tool.exe -q"), "tool.exe -q");
  // An executable without a program type that is its own association.
  p.fs.Put("/opt/app/tool", "");
  p.launcher.executables = {"/opt/app/tool"};
  EXPECT_EQ(Started("/opt/app/tool --x"), "/opt/app/tool --x");
  // Programs never touch the current folder.
  EXPECT_EQ(p.fs.currentFolder, "C:\\Work\\");

  p.launcher.startFails = true;
  EXPECT_FALSE(StartFile(p.platform, "C:\\Programme\\MyApp.exe", 1).has_value());
}

TEST_F(StartFileTest, OpensDocumentsWithTheAssociatedProgramFromItsFolder) {
  p.fs.Put("C:\\Docs\\readme.txt", "");
  p.fs.Put("C:\\My Docs\\read me.txt", "");
  p.fs.Put("C:\\Docs\\data.xyz", "");
  p.launcher.associations[".txt"] = "C:\\WINDOWS\\NOTEPAD.EXE";

  EXPECT_EQ(Started("C:\\Docs\\readme.txt"), "C:\\WINDOWS\\NOTEPAD.EXE C:\\Docs\\readme.txt");
  EXPECT_EQ(p.launcher.startedIn.back(), "C:\\WINDOWS");
  EXPECT_EQ(p.fs.currentFolder, "C:\\Docs\\");

  EXPECT_EQ(Started("\"C:\\My Docs\\read me.txt\" -p"),
            "C:\\WINDOWS\\NOTEPAD.EXE \"C:\\My Docs\\read me.txt\" -p");
  EXPECT_EQ(p.fs.currentFolder, "C:\\My Docs\\");

  // No association: the document alone is the command.
  p.fs.currentFolder = "C:\\";
  EXPECT_EQ(Started("C:\\Docs\\data.xyz"), "C:\\Docs\\data.xyz");
  EXPECT_EQ(p.launcher.startedIn.back(), "C:\\");
}

}  // namespace
}  // namespace kelvane
