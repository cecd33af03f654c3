#include "download/cache_purge.h"
#include "fakes/fake_toolkit.h"
#include "integration/fetch_table.h"
#include "platform/win32/fetcher_win32.h"
#include "platform/win32/url_cache_win32.h"

namespace kelvane {
namespace {

// Over each route: the one chosen for the system's settings (direct here),
// the socket forced, and WinINet for everything (which cannot see a chunked,
// uncompressed body cut short).
TEST(Win32Fetcher, PassesTheFetchTableOverEachRoute) {
  using Route = win32::Win32Fetcher::Route;
  for (const Route route : {Route::kChosen, Route::kSocket, Route::kLibrary}) {
    SCOPED_TRACE(static_cast<int>(route));
    win32::Win32Fetcher fetcher(route);
    testing::RunFetchTable(fetcher, route != Route::kLibrary);
  }
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
