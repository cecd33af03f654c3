#include "download/cache_purge.h"

#include <gtest/gtest.h>

#include "fakes/fake_services.h"
#include "fakes/fake_toolkit.h"

namespace kelvane {
namespace {

// The quiet purge of a real cache is proven against the platform; here only
// the failures the user is told about.
TEST(CachePurge, ReportsGroupFailuresInEnglishWithTheDefaultTitle) {
  fakes::FakeUrlCache cache;
  fakes::FakeToolkit ui;
  // A failed next-group search is reported and the walk goes on.
  cache.groups = {7, 8, 9};
  cache.entries = {"http://a/1"};
  cache.nextErrors = {{7, 5}};
  ui.ExpectBox(MsgAnswer::Ok);
  ClearUrlCache(cache, ui);
  ASSERT_EQ(ui.boxes.size(), 1u);
  EXPECT_EQ(ui.boxes[0].text, "Error finding next url cache group! - 5");
  EXPECT_EQ(ui.boxes[0].title, "Kelvane");
  EXPECT_TRUE(cache.groups.empty());
  EXPECT_TRUE(cache.entries.empty());

  // A group that cannot be deleted ends the purge: the entries stay.
  cache.groups = {3, 4};
  cache.entries = {"http://a/1"};
  cache.nextErrors.clear();
  cache.deleteErrors = {{4, 5}};
  ui.ExpectBox(MsgAnswer::Ok);
  ClearUrlCache(cache, ui);
  ASSERT_EQ(ui.boxes.size(), 2u);
  EXPECT_EQ(ui.boxes[1].text, "Error deleting cache group 5");
  EXPECT_EQ(cache.groups, (std::vector<int64_t>{4}));
  EXPECT_EQ(cache.entries.size(), 1u);
}

}  // namespace
}  // namespace kelvane
