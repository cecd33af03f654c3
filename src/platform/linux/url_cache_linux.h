#pragma once
#include "platform/url_cache.h"

namespace kelvane::linux_platform {

// Linux keeps no shared URL cache: there are no groups and no entries. The
// fetcher itself asks every server and proxy not to answer from a cache.
class EmptyUrlCache : public UrlCache {
 public:
  bool HasGroupFunctions() override { return false; }
  CacheStatus FindFirstGroup(Handle& find, int64_t&) override { return None(find); }
  CacheStatus FindNextGroup(Handle, int64_t&, uint32_t&) override { return {false, kNoMore}; }
  CacheStatus DeleteGroup(int64_t, uint32_t) override { return {false, kNoMore}; }
  CacheStatus FindFirstEntry(Handle& find, CacheEntryRecord&, uint32_t&) override {
    return None(find);
  }
  CacheStatus FindNextEntry(Handle, CacheEntryRecord&, uint32_t&) override {
    return {false, kNoMore};
  }
  CacheStatus DeleteEntry(const std::string&) override { return {false, kNoMore}; }

 private:
  static constexpr CacheWord kNoMore = CacheWord::kNoMore;
  static CacheStatus None(Handle& find) {
    find = 0;
    return {false, kNoMore};
  }
};

}  // namespace kelvane::linux_platform
