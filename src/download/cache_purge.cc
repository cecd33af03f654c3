#include "download/cache_purge.h"

#include <string>

#include "common/program.h"

namespace kelvane {
namespace {

constexpr uint32_t kFlushUrlOnDelete = 2;  // a group's entries go with it
constexpr uint32_t kSearchSize = 2048;     // never enlarged: a bigger record ends a walk
constexpr uint32_t kEntryStructSize = 80;

void Report(Toolkit& ui, const std::string& text) {
  ui.MessageBox(text, kProgramTitle, MsgButtons::Ok, MsgIcon::None);
}

// False when the purge must end here (a group could not be deleted, or the
// first search failed for another reason than an empty list).
bool DeleteGroups(UrlCache& cache, Toolkit& ui) {
  if (!cache.HasGroupFunctions()) return true;
  int64_t group = 0;
  UrlCache::Handle find = 0;
  const CacheStatus first = cache.FindFirstGroup(find, group);
  if (!first.ok) return first.word == CacheWord::kNoMore;
  CacheStatus next;
  do {
    const CacheStatus deleted = cache.DeleteGroup(group, kFlushUrlOnDelete);
    if (!deleted.ok && deleted.word != CacheWord::kNotProvided) {
      Report(ui, "Error deleting cache group " + std::to_string(deleted.code));
      return false;
    }
    uint32_t size = kSearchSize;
    // A failed search leaves `group` as the call wrote it; the walk goes on
    // with that value until the list's end is reported.
    next = cache.FindNextGroup(find, group, size);
    if (!next.ok && next.word != CacheWord::kNoMore) {
      Report(ui, "Error finding next url cache group! - " + std::to_string(next.code));
    }
  } while (next.word != CacheWord::kNoMore);
  return true;
}

void DeleteEntries(UrlCache& cache) {
  CacheEntryRecord record;
  record.structSize = kEntryStructSize;
  uint32_t size = kSearchSize;
  UrlCache::Handle find = 0;
  if (!cache.FindFirstEntry(find, record, size).ok) return;
  CacheStatus next;
  do {
    cache.DeleteEntry(record.sourceUrl);  // an entry in use simply stays
    size = kSearchSize;
    next = cache.FindNextEntry(find, record, size);
    if (!next.ok && next.word != CacheWord::kNoMore) return;
  } while (next.word != CacheWord::kNoMore);
}

}  // namespace

void ClearUrlCache(UrlCache& cache, Toolkit& ui) {
  if (DeleteGroups(cache, ui)) DeleteEntries(cache);
}

}  // namespace kelvane
