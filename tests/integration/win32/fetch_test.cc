#include "download/cache_purge.h"
#include "fakes/fake_toolkit.h"
#include "integration/fetch_table.h"
#include "platform/win32/fetcher_win32.h"
#include "platform/win32/url_cache_win32.h"

namespace kelvane {
namespace {

TEST(Win32Fetcher, PassesTheFetchTable) {
  win32::Win32Fetcher fetcher;
  testing::RunFetchTable(fetcher);
}

TEST(WinInetUrlCache, PurgesTheRealCacheQuietly) {
  win32::WinInetUrlCache cache;
  fakes::FakeToolkit ui;  // fails the test on any message box
  ClearUrlCache(cache, ui);
  CacheEntryRecord record;
  record.structSize = 80;
  uint32_t size = 2048;
  const UrlCache::Handle find = cache.FindFirstEntry(record, size);
  EXPECT_EQ(find, 0u) << "left in the cache: " << record.sourceUrl;
}

}  // namespace
}  // namespace kelvane
