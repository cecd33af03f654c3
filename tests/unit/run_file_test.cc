#include "launch/run_file.h"

#include <gtest/gtest.h>

#include "fakes/fake_platform.h"

namespace kelvane {
namespace {

// Starting real programs (quoted or not, with blanks, arguments passed as
// text, scripts without a program type, the current folder kept) and opening
// documents with blanks: the launch integration tests.
struct StartFileTest : ::testing::Test {
  fakes::FakePlatform p;
  std::string Started(const std::string& command) {
    const size_t before = p.launcher.started.size();
    const auto pid = StartFile(p.platform, command, 1);
    EXPECT_TRUE(pid.has_value()) << command;
    return p.launcher.started.size() == before + 1 ? p.launcher.started.back() : "<none>";
  }
};

TEST_F(StartFileTest, StartsProgramsByTheirTypeInAnyCaseOrByTheBareName) {
  p.fs.Put("C:\\Tools\\tool.Com", "");
  EXPECT_EQ(Started("C:\\Tools\\tool.Com -v"), "C:\\Tools\\tool.Com -v");
  // Missing at the path: the bare name is left to the platform's search.
  EXPECT_EQ(Started("C:\\Gone\\tool.exe -q"), "tool.exe -q");
}

TEST_F(StartFileTest, OpensDocumentsWithTheAssociatedProgramFromItsFolder) {
  p.fs.Put("C:\\My Docs\\read me.txt", "");
  p.fs.Put("C:\\Docs\\data.xyz", "");
  p.launcher.associations[".txt"] = "C:\\WINDOWS\\NOTEPAD.EXE";

  EXPECT_EQ(Started("\"C:\\My Docs\\read me.txt\" -p"),
            "C:\\WINDOWS\\NOTEPAD.EXE \"C:\\My Docs\\read me.txt\" -p");
  EXPECT_EQ(p.launcher.startedIn.back(), "C:\\WINDOWS");
  EXPECT_EQ(p.fs.currentFolder, "C:\\My Docs\\");

  // No association: the document alone is the command.
  p.fs.currentFolder = "C:\\";
  EXPECT_EQ(Started("C:\\Docs\\data.xyz"), "C:\\Docs\\data.xyz");
  EXPECT_EQ(p.launcher.startedIn.back(), "C:\\");
}

}  // namespace
}  // namespace kelvane
