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

// What the system said after a cache call, as the walk needs it.
enum class CacheWord {
  kOther,        // anything else, `code` tells what
  kNoMore,       // the search has no (further) group or entry
  kNotProvided,  // the function does not exist on this system
};

// A cache call's outcome: whether it did its work, and the system's last word
// after it (which a call that worked may leave as it was before).
struct CacheStatus {
  bool ok = false;
  CacheWord word = CacheWord::kOther;
  uint32_t code = 0;  // the system's own number, for messages and the error record
};

class UrlCache {
 public:
  using Handle = uintptr_t;

  virtual ~UrlCache() = default;
  // False when the platform does not provide the group functions at all.
  virtual bool HasGroupFunctions() = 0;
  // The searches set `find` to 0 when they fail.
  virtual CacheStatus FindFirstGroup(Handle& find, int64_t& groupId) = 0;
  virtual CacheStatus FindNextGroup(Handle find, int64_t& groupId, uint32_t& size) = 0;
  virtual CacheStatus DeleteGroup(int64_t groupId, uint32_t flags) = 0;
  virtual CacheStatus FindFirstEntry(Handle& find, CacheEntryRecord& record, uint32_t& size) = 0;
  virtual CacheStatus FindNextEntry(Handle find, CacheEntryRecord& record, uint32_t& size) = 0;
  virtual CacheStatus DeleteEntry(const std::string& sourceUrl) = 0;
};

}  // namespace kelvane
