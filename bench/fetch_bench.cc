// Fetches one URL into one file with the Linux fetcher and prints how long
// it took and the peak resident memory of the process:
//   fetch_bench URL FILE   ->   "seconds=S bytes=B peak_rss_kib=K progress_calls=N"
#include <sys/resource.h>
#include <sys/stat.h>

#include <chrono>
#include <cstdio>

#include "platform/linux/fetcher_linux.h"

namespace {

// Counts the progress reports, as cheap as the window's would be.
struct CountingMonitor : kelvane::FetchMonitor {
  long calls = 0;
  bool Progress(int64_t, int64_t) override {
    ++calls;
    return true;
  }
};

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: fetch_bench URL FILE\n");
    return 2;
  }
  kelvane::linux_platform::CurlFetcher fetcher;
  const auto start = std::chrono::steady_clock::now();
  CountingMonitor monitor;
  const int32_t result = fetcher.DownloadToFile(argv[1], argv[2], monitor);
  const double seconds =
      std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  if (result != 0) {
    std::fprintf(stderr, "fetch failed: 0x%08X %s\n", static_cast<unsigned>(result),
                 fetcher.LastFailure().c_str());
    return 1;
  }
  struct stat info {};
  stat(argv[2], &info);
  struct rusage usage {};
  getrusage(RUSAGE_SELF, &usage);
  std::printf("seconds=%.3f bytes=%lld peak_rss_kib=%ld progress_calls=%ld\n", seconds,
              static_cast<long long>(info.st_size), usage.ru_maxrss, monitor.calls);
  return 0;
}
