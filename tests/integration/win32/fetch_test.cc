#include "download/cache_purge.h"
#include "fakes/fake_toolkit.h"
#include "integration/fetch_table.h"
#include "platform/win32/fetcher_win32.h"
#include "platform/win32/url_cache_win32.h"
#include "platform/win32/wide_text_win32.h"

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

// Through the system's http proxy (a loopback server that answers for any
// host, so a direct request would fail), plain http still takes the socket
// route, which sees a chunked body cut short.
TEST(Win32Fetcher, TakesProxiedPlainHttpOverTheSocket) {
  const testing::fs::path served = testing::NewTestFolder("served-proxy");
  const testing::fs::path target = testing::NewTestFolder("fetched-proxy") / "target.bin";
  testing::Spit(served / "payload.bin", testing::Payload());
  testing::LoopbackServer proxy(served);
  HKEY key = nullptr;
  ASSERT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER,
                            L"Software\\Microsoft\\Windows\\CurrentVersion\\Internet Settings", 0,
                            nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr),
            ERROR_SUCCESS);
  const std::wstring server = L"127.0.0.1" + win32::Widen(proxy.Base().substr(16));
  const DWORD enable = 1;
  RegSetValueExW(key, L"ProxyEnable", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&enable),
                 sizeof enable);
  RegSetValueExW(key, L"ProxyServer", 0, REG_SZ, reinterpret_cast<const BYTE*>(server.c_str()),
                 static_cast<DWORD>((server.size() + 1) * sizeof(wchar_t)));
  win32::Win32Fetcher fetcher;
  testing::TableMonitor monitor;
  const std::pair<const char*, bool> rows[] = {{"ok", true}, {"cutchunked", false}};
  for (const auto& [mode, succeeds] : rows) {
    const std::string url = std::string("http://host.invalid/") + mode + "/payload.bin";
    EXPECT_EQ(fetcher.DownloadToFile(url, target.string(), monitor).code == 0, succeeds) << url;
  }
  RegDeleteValueW(key, L"ProxyServer");
  RegDeleteValueW(key, L"ProxyEnable");
  RegCloseKey(key);
  testing::fs::remove_all(served);
  testing::fs::remove_all(target.parent_path());
}

TEST(WinInetUrlCache, PurgesTheRealCacheQuietly) {
  win32::WinInetUrlCache cache;
  fakes::FakeToolkit ui;  // fails the test on any message box
  ClearUrlCache(cache, ui);
  CacheEntryRecord record;
  record.structSize = 80;
  uint32_t size = 2048;
  UrlCache::Handle find = 0;
  EXPECT_FALSE(cache.FindFirstEntry(find, record, size).ok) << "left: " << record.sourceUrl;
}

}  // namespace
}  // namespace kelvane
