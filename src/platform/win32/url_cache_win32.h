#pragma once
#include "platform/url_cache.h"

namespace kelvane::win32 {

// The user's WinINet URL cache. The group functions are bound at run time,
// since a system may lack them.
class WinInetUrlCache : public UrlCache {
 public:
  WinInetUrlCache();
  bool HasGroupFunctions() override;
  CacheStatus FindFirstGroup(Handle& find, int64_t& groupId) override;
  CacheStatus FindNextGroup(Handle find, int64_t& groupId, uint32_t& size) override;
  CacheStatus DeleteGroup(int64_t groupId, uint32_t flags) override;
  CacheStatus FindFirstEntry(Handle& find, CacheEntryRecord& record, uint32_t& size) override;
  CacheStatus FindNextEntry(Handle find, CacheEntryRecord& record, uint32_t& size) override;
  CacheStatus DeleteEntry(const std::string& sourceUrl) override;

 private:
  using FindFirstGroupFn = void*(__stdcall*)(unsigned long, unsigned long, void*, unsigned long,
                                             int64_t*, void*);
  using FindNextGroupFn = int(__stdcall*)(void*, int64_t*, void*);
  using DeleteGroupFn = int(__stdcall*)(int64_t, unsigned long, void*);
  FindFirstGroupFn findFirstGroup_ = nullptr;
  FindNextGroupFn findNextGroup_ = nullptr;
  DeleteGroupFn deleteGroup_ = nullptr;
  // The record buffer of the entry walk: 4,104 bytes, as the platform fills it.
  alignas(8) unsigned char entry_[4104] = {};
};

}  // namespace kelvane::win32
