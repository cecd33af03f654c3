// Prints how long the largest release notes that are read (8 MiB; a longer
// file is not fetched further) take to show and how much memory they need (peak growth, Linux only;
// it includes the copy of the downloaded file that the fake file system keeps in memory).
#include <chrono>
#include <cstdio>

#include "download/fetch_policy.h"
#include "fakes/fake_platform.h"

#if __has_include(<sys/resource.h>)
#include <sys/resource.h>
static long PeakKilobytes() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return usage.ru_maxrss;
}
#else
static long PeakKilobytes() { return 0; }
#endif

int main() {
  using namespace kelvane;
  fakes::FakePlatform fake;
  Form1 form(fake.platform);  // no view: the figures are the core's alone
  std::string notes;
  while (notes.size() < static_cast<size_t>(kNotesLimit))
    notes += "Fixed in this build:\r\nthe window\rthe check\n";
  const double megabytes = notes.size() / 1e6;
  fake.fetcher.bodies["http://h/a.txt"] = std::move(notes);
  form.URL = "http://h/a.exe";

  const long before = PeakKilobytes();
  const auto start = std::chrono::steady_clock::now();
  form.ReadInfoFile();
  const std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
  const long after = PeakKilobytes();

  std::printf("ReadInfoFile: %.1f MB in %.2f s", megabytes, took.count());
  if (after > 0) std::printf(", peak memory +%.1f MB", (after - before) / 1e3);
  std::printf(" (shown text %.1f MB)\n", form.VersionsInfoText.Text().size() / 1e6);
}
