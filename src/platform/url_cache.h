#pragma once
// The user's URL cache, in the shape of the platform's cache enumeration.
#include <cstdint>
#include <string>

namespace kelvane {

// The part of a cache-entry record that the purge reads.
struct CacheEntryRecord {
  uint32_t structSize = 0;
  std::string sourceUrl;
};

class UrlCache {
 public:
  using Handle = uintptr_t;
  static constexpr uint32_t kErrorFileNotFound = 2;
  static constexpr uint32_t kErrorInsufficientBuffer = 122;
  static constexpr uint32_t kErrorNoMoreItems = 259;
  static constexpr uint32_t kErrorProcNotFound = 127;  // function not provided

  virtual ~UrlCache() = default;
  // False when the platform does not provide the group functions at all.
  virtual bool HasGroupFunctions() = 0;
  virtual Handle FindFirstGroup(int64_t& groupId) = 0;
  virtual bool FindNextGroup(Handle find, int64_t& groupId, uint32_t& size) = 0;
  virtual bool DeleteGroup(int64_t groupId, uint32_t flags) = 0;
  virtual Handle FindFirstEntry(CacheEntryRecord& record, uint32_t& size) = 0;
  virtual bool FindNextEntry(Handle find, CacheEntryRecord& record, uint32_t& size) = 0;
  virtual bool DeleteEntry(const std::string& sourceUrl) = 0;
  // The platform's last error code after the most recent call above.
  virtual uint32_t LastError() = 0;
  virtual void SetLastError(uint32_t code) = 0;
};

}  // namespace kelvane
