#include "platform/win32/url_cache_win32.h"

#include <windows.h>
#include <wininet.h>

#include <cstring>

namespace kelvane::win32 {
namespace {

constexpr DWORD kErrorProcNotFound = ERROR_PROC_NOT_FOUND;

// The system's last word after a call. A group search ends with "file not
// found", an entry search with "no more items"; each walk knows only its own.
CacheStatus Status(bool ok, DWORD endOfList) {
  const DWORD code = GetLastError();
  CacheWord word = CacheWord::kOther;
  if (code == endOfList) word = CacheWord::kNoMore;
  if (code == kErrorProcNotFound) word = CacheWord::kNotProvided;
  return {ok, word, code};
}

CacheStatus GroupStatus(bool ok) { return Status(ok, ERROR_FILE_NOT_FOUND); }
CacheStatus EntryStatus(bool ok) { return Status(ok, ERROR_NO_MORE_ITEMS); }

CacheStatus NotProvided() {
  SetLastError(kErrorProcNotFound);
  return GroupStatus(false);
}

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

CacheStatus WinInetUrlCache::FindFirstGroup(Handle& find, int64_t& groupId) {
  DWORD condition = 0, reserved = 0;
  find = 0;
  if (!findFirstGroup_) return NotProvided();
  // Some systems implement the search as a stub that fails without setting
  // an error; for them "no group" is the truth. A real failure overwrites it.
  SetLastError(ERROR_FILE_NOT_FOUND);
  find = reinterpret_cast<Handle>(findFirstGroup_(0, 0, &condition, 0, &groupId, &reserved));
  return GroupStatus(find != 0);
}

CacheStatus WinInetUrlCache::FindNextGroup(Handle find, int64_t& groupId, uint32_t& size) {
  DWORD reserved = size;
  if (!findNextGroup_) return NotProvided();
  const bool found = findNextGroup_(reinterpret_cast<HANDLE>(find), &groupId, &reserved) != 0;
  size = reserved;
  return GroupStatus(found);
}

CacheStatus WinInetUrlCache::DeleteGroup(int64_t groupId, uint32_t flags) {
  DWORD reserved = 0;
  if (!deleteGroup_) return NotProvided();
  return GroupStatus(deleteGroup_(groupId, flags, &reserved) != 0);
}

CacheStatus WinInetUrlCache::FindFirstEntry(Handle& find, CacheEntryRecord& record,
                                            uint32_t& size) {
  auto* info = reinterpret_cast<INTERNET_CACHE_ENTRY_INFOA*>(entry_);
  info->dwStructSize = record.structSize;
  DWORD bytes = size;
  const HANDLE found = FindFirstUrlCacheEntryA(nullptr, info, &bytes);
  const CacheStatus status = EntryStatus(found != nullptr);
  size = bytes;
  if (found && info->lpszSourceUrlName) record.sourceUrl = info->lpszSourceUrlName;
  find = reinterpret_cast<Handle>(found);
  return status;
}

CacheStatus WinInetUrlCache::FindNextEntry(Handle find, CacheEntryRecord& record, uint32_t& size) {
  auto* info = reinterpret_cast<INTERNET_CACHE_ENTRY_INFOA*>(entry_);
  DWORD bytes = size;
  const bool found = FindNextUrlCacheEntryA(reinterpret_cast<HANDLE>(find), info, &bytes) != 0;
  const CacheStatus status = EntryStatus(found);
  size = bytes;
  if (found && info->lpszSourceUrlName) record.sourceUrl = info->lpszSourceUrlName;
  return status;
}

CacheStatus WinInetUrlCache::DeleteEntry(const std::string& sourceUrl) {
  return EntryStatus(DeleteUrlCacheEntryA(sourceUrl.c_str()) != 0);
}

}  // namespace kelvane::win32
