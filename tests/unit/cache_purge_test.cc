#include "download/cache_purge.h"

#include <gtest/gtest.h>

#include "fakes/fake_services.h"
#include "fakes/fake_toolkit.h"

namespace kelvane {
namespace {

struct CachePurge : ::testing::Test {
  fakes::FakeUrlCache cache;
  fakes::FakeToolkit ui;
  void Purge() { ClearUrlCache(cache, ui); }
};

TEST_F(CachePurge, EmptiesGroupsWithTheirEntriesThenTheEntriesLeft) {
  cache.groups = {7, 8};
  cache.entries = {"http://a/1", "http://b/2", "http://c/3"};
  cache.entryGroup = {{"http://a/1", 7}, {"http://c/3", 8}};
  Purge();
  EXPECT_TRUE(cache.groups.empty());
  EXPECT_TRUE(cache.entries.empty());

  // Without group functions only the entry walk runs.
  cache.groupFunctions = false;
  cache.groups = {9};
  cache.entries = {"http://d/4"};
  Purge();
  EXPECT_EQ(cache.groups, (std::vector<int64_t>{9}));
  EXPECT_TRUE(cache.entries.empty());
  EXPECT_TRUE(ui.boxes.empty());
}

TEST_F(CachePurge, EndsSilentlyWhereTheCacheCannotBeWalked) {
  cache.entries = {"http://a/1"};
  cache.groups = {7};
  cache.firstGroupError = 5;  // first group search fails: nothing at all is deleted
  Purge();
  EXPECT_EQ(cache.entries.size(), 1u);

  // A missing delete function is cleared and the walk goes on.
  cache.firstGroupError = 0;
  cache.groups = {7, 8};
  cache.groupDeleteErrors = {{7, UrlCache::kErrorProcNotFound}};
  Purge();
  EXPECT_EQ(cache.groups, (std::vector<int64_t>{7}));
  EXPECT_TRUE(cache.entries.empty());

  // A first record too large for 2048 bytes ends the purge before any deletion.
  cache.groupFunctions = false;
  cache.entries = {"http://big/1", "http://a/2"};
  cache.largeEntries = {"http://big/1"};
  Purge();
  EXPECT_EQ(cache.entries.size(), 2u);

  // A locked entry is passed over; a large one later ends the walk there.
  cache.entries = {"http://locked/1", "http://a/2", "http://big/1", "http://b/3"};
  cache.lockedEntries = {"http://locked/1"};
  Purge();
  EXPECT_EQ(cache.entries,
            (std::vector<std::string>{"http://locked/1", "http://big/1", "http://b/3"}));
  EXPECT_TRUE(ui.boxes.empty());
}

TEST_F(CachePurge, ReportsGroupFailuresInEnglishWithTheDefaultTitle) {
  // The next-group search fails with 5 after moving on: reported, and the
  // walk goes on with the group it left behind.
  cache.groups = {7, 8, 9};
  cache.nextGroupFailures = {{1, 5}};
  ui.ExpectBox(MsgAnswer::Ok);
  Purge();
  ASSERT_EQ(ui.boxes.size(), 1u);
  EXPECT_EQ(ui.boxes[0].text, "Error finding next url cache group! - 5");
  EXPECT_EQ(ui.boxes[0].title, "Kelvane");
  EXPECT_TRUE(cache.groups.empty());

  // A group that cannot be deleted ends the purge: the entries stay.
  cache.groups = {3, 4};
  cache.entries = {"http://a/1"};
  cache.nextGroupFailures.clear();
  cache.groupDeleteErrors = {{4, 5}};
  ui.ExpectBox(MsgAnswer::Ok);
  Purge();
  ASSERT_EQ(ui.boxes.size(), 2u);
  EXPECT_EQ(ui.boxes[1].text, "Error deleting cache group 5");
  EXPECT_EQ(cache.groups, (std::vector<int64_t>{4}));
  EXPECT_EQ(cache.entries.size(), 1u);
}

}  // namespace
}  // namespace kelvane
