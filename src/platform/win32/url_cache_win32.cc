#include "platform/win32/url_cache_win32.h"

#include <windows.h>
#include <wininet.h>

#include <cstring>

namespace kelvane::win32 {
namespace {

template <typename F>
F Bind(HMODULE module, const char* name) {
  return reinterpret_cast<F>(reinterpret_cast<void*>(GetProcAddress(module, name)));
}

}  // namespace

WinInetUrlCache::WinInetUrlCache() {
  if (HMODULE wininet = LoadLibraryW(L"wininet.dll")) {
    findFirstGroup_ = Bind<FindFirstGroupFn>(wininet, "FindFirstUrlCacheGroup");
    findNextGroup_ = Bind<FindNextGroupFn>(wininet, "FindNextUrlCacheGroup");
    deleteGroup_ = Bind<DeleteGroupFn>(wininet, "DeleteUrlCacheGroup");
  }
}

bool WinInetUrlCache::HasGroupFunctions() {
  return findFirstGroup_ && findNextGroup_ && deleteGroup_;
}

UrlCache::Handle WinInetUrlCache::FindFirstGroup(int64_t& groupId) {
  DWORD condition = 0, reserved = 0;
  if (!findFirstGroup_) {
    ::SetLastError(kErrorProcNotFound);
    return 0;
  }
  // Some systems implement the search as a stub that fails without setting
  // an error; for them "no group" is the truth. A real failure overwrites it.
  ::SetLastError(kErrorFileNotFound);
  return reinterpret_cast<Handle>(findFirstGroup_(0, 0, &condition, 0, &groupId, &reserved));
}

bool WinInetUrlCache::FindNextGroup(Handle find, int64_t& groupId, uint32_t& size) {
  DWORD reserved = size;
  if (!findNextGroup_) {
    ::SetLastError(kErrorProcNotFound);
    return false;
  }
  const bool found = findNextGroup_(reinterpret_cast<HANDLE>(find), &groupId, &reserved) != 0;
  size = reserved;
  return found;
}

bool WinInetUrlCache::DeleteGroup(int64_t groupId, uint32_t flags) {
  DWORD reserved = 0;
  if (!deleteGroup_) {
    ::SetLastError(kErrorProcNotFound);
    return false;
  }
  return deleteGroup_(groupId, flags, &reserved) != 0;
}

UrlCache::Handle WinInetUrlCache::FindFirstEntry(CacheEntryRecord& record, uint32_t& size) {
  auto* info = reinterpret_cast<INTERNET_CACHE_ENTRY_INFOA*>(entry_);
  info->dwStructSize = record.structSize;
  DWORD bytes = size;
  const HANDLE find = FindFirstUrlCacheEntryA(nullptr, info, &bytes);
  size = bytes;
  if (find && info->lpszSourceUrlName) record.sourceUrl = info->lpszSourceUrlName;
  return reinterpret_cast<Handle>(find);
}

bool WinInetUrlCache::FindNextEntry(Handle find, CacheEntryRecord& record, uint32_t& size) {
  auto* info = reinterpret_cast<INTERNET_CACHE_ENTRY_INFOA*>(entry_);
  DWORD bytes = size;
  const bool found = FindNextUrlCacheEntryA(reinterpret_cast<HANDLE>(find), info, &bytes) != 0;
  size = bytes;
  if (found && info->lpszSourceUrlName) record.sourceUrl = info->lpszSourceUrlName;
  return found;
}

bool WinInetUrlCache::DeleteEntry(const std::string& sourceUrl) {
  return DeleteUrlCacheEntryA(sourceUrl.c_str()) != 0;
}

uint32_t WinInetUrlCache::LastError() { return GetLastError(); }
void WinInetUrlCache::SetLastError(uint32_t code) { ::SetLastError(code); }

}  // namespace kelvane::win32
