#pragma once
#include "platform/url_cache.h"

namespace kelvane::linux_platform {

// Linux keeps no shared URL cache: there are no groups and no entries. The
// fetcher itself asks every server and proxy not to answer from a cache.
class EmptyUrlCache : public UrlCache {
 public:
  bool HasGroupFunctions() override { return false; }
  Handle FindFirstGroup(int64_t&) override { return Fail(kErrorFileNotFound); }
  bool FindNextGroup(Handle, int64_t&, uint32_t&) override { return Fail(kErrorFileNotFound); }
  bool DeleteGroup(int64_t, uint32_t) override { return Fail(kErrorFileNotFound); }
  Handle FindFirstEntry(CacheEntryRecord&, uint32_t&) override { return Fail(kErrorNoMoreItems); }
  bool FindNextEntry(Handle, CacheEntryRecord&, uint32_t&) override {
    return Fail(kErrorNoMoreItems);
  }
  bool DeleteEntry(const std::string&) override { return Fail(kErrorFileNotFound); }
  uint32_t LastError() override { return lastError_; }
  void SetLastError(uint32_t code) override { lastError_ = code; }

 private:
  bool Fail(uint32_t code) {
    lastError_ = code;
    return false;
  }
  uint32_t lastError_ = 0;
};

}  // namespace kelvane::linux_platform
