#pragma once
// The table every platform's fetcher must pass against the loopback server:
// a good fetch replaces the file; every failure leaves the old file
// byte-identical, leaves no temporary file behind and creates nothing.
#include "download/fetch_policy.h"
#include "integration/test_folders.h"
#include "platform/fetcher.h"

namespace kelvane::testing {

inline std::string Payload() {
  std::string bytes;
  for (int i = 0; i < 100000; ++i) bytes += static_cast<char>((i * 7919) >> 3);
  return bytes;
}

// Stops the transfer at its first report when told to.
struct TableMonitor : FetchMonitor {
  bool stop = false;
  bool Progress(int64_t, int64_t) override { return !stop; }
};

// `seesCutChunkedBody`: whether the fetcher can tell a chunked body cut
// short from a complete one. Wine's WinINet ends such a body like a whole
// one and its API shows nothing more; there only the cleanup is checked.
inline void RunFetchTable(Fetcher& fetcher, bool seesCutChunkedBody = true) {
  const fs::path served = NewTestFolder("served");
  const fs::path work = NewTestFolder("fetched");
  Spit(served / "payload.bin", Payload());
  LoopbackServer server(served);
  const std::string& base = server.Base();

  struct Case {
    std::string url;
    bool succeeds;
    bool checked = true;
  };
  const Case cases[] = {
      {base + "/ok/payload.bin", true},
      {base + "/redirect/payload.bin", true},
      {base + "/payload.bin", true},
      {base + "/notfound/payload.bin", false},
      {base + "/error/payload.bin", false},
      {base + "/ok/missing.bin", false},
      {base + "/cut/payload.bin", false},
      {base + "/cutchunked/payload.bin", false, seesCutChunkedBody},
      // Only a real body counts; encoded ones are decoded.
      {base + "/empty/payload.bin", false},
      {base + "/nocontent/payload.bin", false},
      {base + "/nolocation/payload.bin", false},
      {base + "/gzip/payload.bin", true},
      {base + "/brotli/payload.bin", false},
      {base + "/close/payload.bin", false},
      {base + "/loop/payload.bin", false},
      {base + "/stall/payload.bin", false},
      {"http://127.0.0.1:1/payload.bin", false},  // refused
      {"http://host.invalid/payload.bin", false},
  };
  const fs::path target = work / "target.bin";
  TableMonitor monitor;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.url);
    Spit(target, "the old file");
    const auto started = std::chrono::steady_clock::now();
    const int32_t result = fetcher.DownloadToFile(c.url, target.string(), monitor);
    const double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
    EXPECT_LT(seconds, kFetchStallSeconds + 30) << "a fetch must end by its time-outs";
    if (!c.checked) {
      EXPECT_TRUE(Slurp(target) == "the old file" || result == 0);
    } else if (c.succeeds) {
      EXPECT_EQ(result, 0) << fetcher.LastFailure();
      EXPECT_TRUE(Slurp(target) == Payload()) << "the file was not replaced";
    } else {
      EXPECT_NE(result, 0);
      EXPECT_TRUE(Slurp(target) == "the old file") << "the old file was changed";
    }
    EXPECT_EQ(Listing(work), std::set<std::string>{"target.bin"});
  }

  // A limit cuts the body there; a stop ends even a blocked transfer.
  ASSERT_EQ(fetcher.DownloadToFile(base + "/ok/payload.bin", target.string(), monitor, 1000), 0);
  EXPECT_TRUE(Slurp(target) == Payload().substr(0, 1000));
  monitor.stop = true;
  const auto stopped = std::chrono::steady_clock::now();
  EXPECT_EQ(fetcher.DownloadToFile(base + "/stall/payload.bin", target.string(), monitor),
            kFetchCancelled);
  EXPECT_LT(std::chrono::steady_clock::now() - stopped, std::chrono::seconds(5));
  EXPECT_TRUE(Slurp(target) == Payload().substr(0, 1000));
  EXPECT_EQ(Listing(work), std::set<std::string>{"target.bin"});
  monitor.stop = false;

  // Bad input: a failure code, no file, no hang.
  fs::remove(target);
  fs::create_directory(work / "folder");
  const std::pair<std::string, fs::path> bad[] = {
      {"", target},
      {"nosuch://127.0.0.1/payload.bin", target},
      {base + "/ok/pay load.bin", target},
      {base + "/ok/payload.bin", work / "missing" / "target.bin"},
      {base + "/ok/payload.bin", work / "folder"},
      {"http://127.0.0.1:1/payload.bin", target},
      {base + "/loop/payload.bin", target},
  };
  for (const auto& [url, file] : bad) {
    SCOPED_TRACE(url + " -> " + file.string());
    EXPECT_NE(fetcher.DownloadToFile(url, file.string(), monitor), 0);
    EXPECT_EQ(Listing(work), std::set<std::string>{"folder"});
    EXPECT_TRUE(fs::is_empty(work / "folder"));
  }
  fs::remove_all(work);
  fs::remove_all(served);
}

}  // namespace kelvane::testing
