#include <sched.h>
#include <sys/mount.h>
#include <sys/stat.h>

#include <cstdlib>

#include "integration/env_guard.h"
#include "integration/fetch_table.h"
#include "platform/linux/fetcher_linux.h"

namespace kelvane {
namespace {

using testing::fs::path;

TEST(CurlFetcher, PassesTheFetchTable) {
  linux_platform::CurlFetcher fetcher;
  testing::RunFetchTable(fetcher);
}

// A replaced program must stay runnable: programs come down executable,
// other files do not, and the user's umask counts like for any new file.
// A target name of the longest length fits (its temporary sibling too), and
// the upper-case HTTP_PROXY is used like http_proxy.
TEST(CurlFetcher, KeepsProgramsRunnableFitsLongNamesAndTakesTheUpperCaseProxy) {
  const path served = testing::NewTestFolder("served-modes");
  const path work = testing::NewTestFolder("fetched-modes");
  const std::tuple<std::string, std::string, int> files[] = {
      // name, bytes, mode under 027
      {"script", "#!/bin/sh\necho new\n", 0750},
      {"binary", std::string("\x7f\x45LF\x01\x01\x01", 7) + std::string(100, '\0'), 0750},
      {"text", "hello #!\n", 0640},
  };
  for (const auto& [name, bytes, mode] : files) testing::Spit(served / name, bytes);
  testing::LoopbackServer server(served);
  linux_platform::CurlFetcher fetcher;
  testing::TableMonitor monitor;

  const mode_t saved = umask(027);
  for (const auto& [name, bytes, mode] : files) {
    SCOPED_TRACE(name);
    const path target = work / name;
    testing::Spit(target, "old");
    chmod(target.c_str(), 0600);  // the download's mode does not depend on the old file's
    ASSERT_EQ(fetcher.DownloadToFile(server.Base() + "/ok/" + name, target.string(), monitor).code,
              0);
    EXPECT_EQ(testing::Slurp(target), bytes);
    EXPECT_EQ(static_cast<int>(testing::fs::status(target).permissions()), mode);
  }
  umask(saved);
  testing::fs::remove_all(work);
  testing::fs::create_directories(work);

  const path target = work / (std::string(254, 'n') + "_");
  ASSERT_EQ(fetcher.DownloadToFile(server.Base() + "/ok/text", target.string(), monitor).code, 0);
  EXPECT_EQ(testing::Listing(work), std::set<std::string>{target.filename().string()});

  testing::EnvGuard env;
  env.Set("http_proxy", std::nullopt);
  env.Set("HTTP_PROXY", server.Base());
  env.Set("NO_PROXY", "");
  EXPECT_EQ(fetcher.DownloadToFile("http://host.invalid/ok/text", target.string(), monitor).code,
            0);
  testing::fs::remove_all(work);
  testing::fs::remove_all(served);
}

// An https download never follows a redirect to plain http. The test's own
// certificate is trusted only by a child in a private mount namespace (it
// takes root), so the program's checks stay as they are.
TEST(CurlFetcher, NeverFollowsHttpsToPlainHttp) {
  if (geteuid() != 0) GTEST_SKIP() << "a private mount namespace needs root";
  const path plain = testing::NewTestFolder("served-plain");
  const path secure = testing::NewTestFolder("served-tls");
  const path work = testing::NewTestFolder("fetched-tls");
  for (const path& folder : {plain, secure}) testing::Spit(folder / "payload.bin", "payload");
  const std::string cert = (work / "cert.pem").string(), both = (work / "both.pem").string();
  ASSERT_EQ(
      std::system(("openssl req -x509 -newkey ec -pkeyopt ec_paramgen_curve:prime256v1 -nodes "
                   "-days 1 -subj /CN=127.0.0.1 -addext subjectAltName=IP:127.0.0.1 -keyout " +
                   both + " -out " + cert + " 2>/dev/null && cat " + cert + " >>" + both)
                      .c_str()),
      0);
  testing::LoopbackServer http(plain);
  testing::LoopbackServer https(secure, both);
  const std::string toHttp =
      https.Base() + "/tohttp/" + http.Base().substr(http.Base().rfind(':') + 1) + "/payload.bin";

  const pid_t child = fork();
  if (child == 0) {
    if (unshare(CLONE_NEWNS) != 0 ||
        mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0 ||
        mount(cert.c_str(), "/etc/ssl/certs/ca-certificates.crt", nullptr, MS_BIND, nullptr) != 0)
      _exit(3);
    linux_platform::CurlFetcher fetcher;
    testing::TableMonitor monitor;
    const std::string file = (work / "fetched").string();
    if (fetcher.DownloadToFile(https.Base() + "/ok/payload.bin", file, monitor).code != 0) _exit(4);
    _exit(fetcher.DownloadToFile(toHttp, file + "2", monitor).code == 0 ? 5 : 0);
  }
  int status = 0;
  waitpid(child, &status, 0);
  if (WIFEXITED(status) && WEXITSTATUS(status) == 3) GTEST_SKIP() << "no private mount namespace";
  EXPECT_EQ(status, 0) << "4: the test's certificate was not trusted; 5: https went to http";
  for (const path& folder : {plain, secure, work}) testing::fs::remove_all(folder);
}

}  // namespace
}  // namespace kelvane
