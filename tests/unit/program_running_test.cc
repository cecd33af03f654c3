#include "job/program_running.h"

#include <gtest/gtest.h>

#include "fakes/fake_services.h"

namespace kelvane {
namespace {

TEST(IsProgramRunning, ComparesTheWholeFileNameInUpperCase) {
  fakes::FakeProcessList list;
  list.running = {"mytool.exe", "tool.exe.old", "explorer.exe"};
  EXPECT_FALSE(IsProgramRunning(list, "C:\\Apps\\Tool.EXE"));
  list.running.push_back("tool.exe");
  EXPECT_TRUE(IsProgramRunning(list, "C:\\Apps\\Tool.EXE"));
  EXPECT_TRUE(IsProgramRunning(list, "/opt/apps/TOOL.exe"));
  list.running.push_back("gr\xC3\xBCn.exe");  // non-ASCII letters compare in upper case too
  EXPECT_TRUE(IsProgramRunning(list, "C:\\Apps\\GR\xC3\x9CN.EXE"));
  // A "/" anywhere makes "/" the only separator.
  EXPECT_FALSE(IsProgramRunning(list, "C:\\Apps/sub\\tool.exe"));
  // Quotes are kept, so a quoted path matches nothing.
  EXPECT_FALSE(IsProgramRunning(list, "\"C:\\Program Files\\tool.exe\""));

  // A name filling the whole field without a NUL is used whole.
  const std::string full(260, 'x');
  list.running = {full};
  EXPECT_TRUE(IsProgramRunning(list, "C:\\" + full));
  EXPECT_FALSE(IsProgramRunning(list, full + "y"));
}

}  // namespace
}  // namespace kelvane
