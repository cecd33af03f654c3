#include "download/url_download.h"

#include <gtest/gtest.h>

#include "fakes/fake_platform.h"

namespace kelvane {
namespace {

struct UrlDownloadTest : ::testing::Test, FetchMonitor {
  fakes::FakePlatform p;
  ErrorRecord err;
  bool Progress(int64_t, int64_t) override { return true; }
  std::string Fetch(const std::string& url, const std::string& target) {
    return URLDownload(p.platform, err, url, target, *this);
  }
};

TEST_F(UrlDownloadTest, FetchesIntoAFileOrAFolderAfterOnePurgeAndOneYield) {
  p.fetcher.bodies["http://h/dl/MyApp.exe"] = "new";
  p.fs.Put("C:\\App\\MyApp.exe_", "old");
  p.cache.entries = {"http://h/dl/MyApp.exe"};
  // By the one yield the cache is empty and nothing is fetched yet.
  p.ui.AtNextYield([&] {
    EXPECT_TRUE(p.cache.entries.empty());
    EXPECT_TRUE(p.fetcher.calls.empty());
  });
  // Quotes around the URL and the target are removed.
  EXPECT_EQ(Fetch("\"http://h/dl/MyApp.exe\"", "\"C:\\App\\MyApp.exe_\""), "C:\\App\\MyApp.exe_");
  EXPECT_EQ(p.fs.Bytes("C:\\App\\MyApp.exe_"), "new");

  // An existing folder receives the file named by the URL's end.
  p.fs.folders.insert("C:\\Down");
  EXPECT_EQ(Fetch("http://h/dl/MyApp.exe", "C:\\Down"), "C:\\Down\\MyApp.exe");
  EXPECT_EQ(Fetch("http://h/dl/MyApp.exe", "C:\\Down\\"), "C:\\Down\\MyApp.exe");
  EXPECT_EQ(p.fs.Bytes("C:\\Down\\MyApp.exe"), "new");
}

TEST_F(UrlDownloadTest, FailsWithoutAFileNameAndTellsWhy) {
  p.fs.folders.insert("C:\\Down");
  p.fetcher.bodies["http://h/dl/"] = "listing";
  // A URL ending in "/" names no file in the folder: the fetch fails.
  EXPECT_EQ(Fetch("http://h/dl/", "C:\\Down"), "");
  // No "/" at all: nothing to name the file by; the URL goes to the fetcher
  // as it is, without a protocol added, and gets no file.
  p.fetcher.bodies.emplace("nohost", "x");
  EXPECT_EQ(Fetch("nohost", "C:\\Down"), "");
  EXPECT_EQ(p.fetcher.calls.back(), (std::pair<std::string, std::string>{"nohost", ""}));

  // A refused fetch tells its reason on standard error.
  ::testing::internal::CaptureStderr();
  EXPECT_EQ(Fetch("http://h/missing", "C:\\App\\a.exe"), "");
  EXPECT_EQ(::testing::internal::GetCapturedStderr(),
            "kelvane: download failed: HTTP status 404: http://h/missing\n");
}

}  // namespace
}  // namespace kelvane
