#include "integration/fetch_table.h"
#include "platform/linux/fetcher_linux.h"

namespace kelvane {
namespace {

TEST(CurlFetcher, PassesTheFetchTable) {
  linux_platform::CurlFetcher fetcher;
  testing::RunFetchTable(fetcher);
}

}  // namespace
}  // namespace kelvane
