#include <sys/stat.h>

#include "integration/fetch_table.h"
#include "platform/linux/fetcher_linux.h"

namespace kelvane {
namespace {

using testing::fs::path;

TEST(CurlFetcher, PassesTheFetchTable) {
  linux_platform::CurlFetcher fetcher;
  testing::RunFetchTable(fetcher);
}

mode_t ModeOf(const path& file) {
  struct stat info {};
  stat(file.c_str(), &info);
  return info.st_mode & 07777;
}

// A replaced program must stay runnable: programs come down executable,
// other files do not, and the user's umask counts like for any new file.
TEST(CurlFetcher, MakesDownloadedProgramsExecutable) {
  const path served = testing::NewTestFolder("served-modes");
  const path work = testing::NewTestFolder("fetched-modes");
  const std::pair<std::string, std::string> files[] = {
      {"script", "#!/bin/sh\necho new\n"},
      {"binary", std::string("\x7f\x45LF\x01\x01\x01", 7) + std::string(100, '\0')},
      {"text", "hello #!\n"},
      {"short", "#"},
      {"elfish", "\x7f\x45L"},
      {"empty", ""},
  };
  for (const auto& [name, bytes] : files) testing::Spit(served / name, bytes);
  testing::LoopbackServer server(served);
  linux_platform::CurlFetcher fetcher;

  const mode_t saved = umask(027);
  for (const auto& [name, bytes] : files) {
    SCOPED_TRACE(name);
    const path target = work / name;
    testing::Spit(target, "old");
    chmod(target.c_str(), 0600);  // the download's mode does not depend on the old file's
    ASSERT_EQ(fetcher.DownloadToFile(server.Base() + "/ok/" + name, target.string()), 0);
    EXPECT_EQ(testing::Slurp(target), bytes);
    const bool program = name == "script" || name == "binary";
    EXPECT_EQ(ModeOf(target), program ? 0750u : 0640u);
  }
  umask(022);
  ASSERT_EQ(fetcher.DownloadToFile(server.Base() + "/ok/script", (work / "s2").string()), 0);
  EXPECT_EQ(ModeOf(work / "s2"), 0755u);
  ASSERT_EQ(fetcher.DownloadToFile(server.Base() + "/ok/text", (work / "t2").string()), 0);
  EXPECT_EQ(ModeOf(work / "t2"), 0644u);
  umask(saved);
  testing::fs::remove_all(work);
  testing::fs::remove_all(served);
}

}  // namespace
}  // namespace kelvane
