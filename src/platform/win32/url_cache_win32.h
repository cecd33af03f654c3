#pragma once
#include "platform/url_cache.h"

namespace kelvane::win32 {

// The user's WinINet URL cache. The group functions are bound at run time,
// since a system may lack them.
class WinInetUrlCache : public UrlCache {
 public:
  WinInetUrlCache();
  bool HasGroupFunctions() override;
  Handle FindFirstGroup(int64_t& groupId) override;
  bool FindNextGroup(Handle find, int64_t& groupId, uint32_t& size) override;
  bool DeleteGroup(int64_t groupId, uint32_t flags) override;
  Handle FindFirstEntry(CacheEntryRecord& record, uint32_t& size) override;
  bool FindNextEntry(Handle find, CacheEntryRecord& record, uint32_t& size) override;
  bool DeleteEntry(const std::string& sourceUrl) override;
  uint32_t LastError() override;
  void SetLastError(uint32_t code) override;

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
