// The program's fetcher alone, as a whole process, so a benchmark can time
// it next to other download tools:
//   fetch_bench URL FILE      exit status 0 when FILE holds the download
#include <cstdio>

#ifdef _WIN32
#include "platform/win32/fetcher_win32.h"
using PlatformFetcher = kelvane::win32::Win32Fetcher;
#else
#include "platform/linux/fetcher_linux.h"
using PlatformFetcher = kelvane::linux_platform::CurlFetcher;
#endif

namespace {

// Takes the progress reports as the window would, minus its yield.
struct QuietMonitor : kelvane::FetchMonitor {
  bool Progress(int64_t, int64_t) override { return true; }
};

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: fetch_bench URL FILE\n");
    return 2;
  }
  PlatformFetcher fetcher;
  QuietMonitor monitor;
  const kelvane::FetchResult result = fetcher.DownloadToFile(argv[1], argv[2], monitor);
  if (result.code == 0) return 0;
  std::fprintf(stderr, "fetch failed: 0x%08X %s\n", static_cast<unsigned>(result.code),
               result.reason.c_str());
  return 1;
}
