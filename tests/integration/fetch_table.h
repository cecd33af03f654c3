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

// Checks what the fetcher reports and stops it `stopAfter` after its first
// report, if set.
struct TableMonitor : FetchMonitor {
  std::chrono::milliseconds stopAfter{0};
  std::chrono::steady_clock::time_point first;
  int calls = 0;
  bool Progress(int64_t received, int64_t total) override {
    if (calls++ == 0) first = std::chrono::steady_clock::now();
    EXPECT_GE(received, 0);
    EXPECT_TRUE(total == -1 || received <= total) << received << " of " << total;
    return stopAfter.count() == 0 || std::chrono::steady_clock::now() - first < stopAfter;
  }
};

// `seesCutChunks`: false for a route that cannot tell a chunked, uncompressed
// body whose connection dropped from a whole one (README, Downloads).
inline void RunFetchTable(Fetcher& fetcher, bool seesCutChunks = true) {
  const fs::path served = NewTestFolder("served");
  const fs::path work = NewTestFolder("fetched");
  Spit(served / "payload.bin", Payload());
  LoopbackServer server(served);
  const std::string& base = server.Base();

  using std::chrono::milliseconds;
  struct Case {
    std::string url;
    bool succeeds;
    int64_t limit = 0;          // succeeding: the first `limit` bytes arrive
    milliseconds stopAfter{0};  // the monitor stops it: cancelled
  };
  const Case cases[] = {
      {base + "/ok/payload.bin", true},
      {base + "/redirect/payload.bin", true},
      {base + "/gzip/payload.bin", true},
      {base + "/ok/payload.bin", true, 1000},
      {base + "/notfound/payload.bin", false},
      {base + "/cut/payload.bin", false},
      {base + "/cutchunked/payload.bin", false},
      {base + "/close/payload.bin", false},
      {base + "/loop/payload.bin", false},
      {base + "/badgzip/payload.bin", false},
      {base + "/empty/payload.bin", false},
      {base + "/notmodified/payload.bin", false},
      {base + "/nolocation/payload.bin", false},
      {base + "/stall/payload.bin", false, 0, milliseconds(300)},
      {base + "/slow/100K/10M", false, 0, milliseconds(300)},
      {base + "/chunked/payload.bin", true},
      {base + "/brotli/payload.bin", false},
      {base + "/deflate/payload.bin", true},
      {base + "/rawdeflate/payload.bin", true},
      {base + "/partial/payload.bin", false},     // 206
      {base + "/twolengths/payload.bin", false},  // two Content-Length fields
      {base + "/lengthlist/payload.bin", false},  // "Content-Length: n, n"
      {base + "/cutgzip/payload.bin", false},     // whole framing, cut stream
      {base + "/cutchunkedgzip/payload.bin", false},
      {base + "/tegzip/payload.bin", false},  // Transfer-Encoding: gzip
      {base + "/chunkedidentity/payload.bin", false},
      {"http://127.0.0.1:1/payload.bin", false},  // refused
  };
  const fs::path target = work / "target.bin";
  for (const Case& c : cases) {
    if (!seesCutChunks && c.url == base + "/cutchunked/payload.bin") continue;
    SCOPED_TRACE(c.url);
    Spit(target, "the old file");
    TableMonitor monitor;
    monitor.stopAfter = c.stopAfter;
    const auto started = std::chrono::steady_clock::now();
    const auto [result, reason, systemError] =
        fetcher.DownloadToFile(c.url, target.string(), monitor, c.limit);
    // Ended by what the server did, not by the 60 s stall rule (generous for a loaded machine).
    EXPECT_LT(std::chrono::steady_clock::now() - started, std::chrono::seconds(30));
    if (c.succeeds) {
      EXPECT_EQ(result, 0) << reason;
      const std::string expected = c.limit ? Payload().substr(0, c.limit) : Payload();
      EXPECT_TRUE(Slurp(target) == expected) << "the file was not replaced";
    } else {
      EXPECT_EQ(result == kFetchCancelled, c.stopAfter.count() != 0);
      EXPECT_NE(result, 0);
      EXPECT_FALSE(reason.empty());
      EXPECT_TRUE(Slurp(target) == "the old file") << "the old file was changed";
    }
    EXPECT_EQ(Listing(work), std::set<std::string>{"target.bin"});
  }

  // Bad input: a failure code, no file, no hang.
  fs::remove(target);
  fs::create_directory(work / "folder");
  const std::pair<std::string, fs::path> bad[] = {
      {"", target},
      {"nosuch://127.0.0.1/payload.bin", target},
      {base + "/ok/pay load.bin", target},
      {base + "/ok/payload.bin", work / "missing" / "target.bin"},
      {base + "/ok/payload.bin", work / "folder"},
  };
  for (const auto& [url, file] : bad) {
    SCOPED_TRACE(url + " -> " + file.string());
    TableMonitor monitor;
    EXPECT_NE(fetcher.DownloadToFile(url, file.string(), monitor).code, 0);
    EXPECT_EQ(Listing(work), std::set<std::string>{"folder"});
    EXPECT_TRUE(fs::is_empty(work / "folder"));
  }
  fs::remove_all(work);
  fs::remove_all(served);
}

}  // namespace kelvane::testing
