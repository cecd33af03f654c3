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
  const UrlCache::Handle find = cache.FindFirstGroup(group);
  if (find == 0) return cache.LastError() == UrlCache::kErrorFileNotFound;
  uint32_t code = 0;
  do {
    if (!cache.DeleteGroup(group, kFlushUrlOnDelete)) {
      if (cache.LastError() != UrlCache::kErrorProcNotFound) {
        Report(ui, "Error deleting cache group " + std::to_string(cache.LastError()));
        return false;
      }
      cache.SetLastError(0);
    }
    uint32_t size = kSearchSize;
    // A failed search leaves `group` as the call wrote it; the walk goes on
    // with that value until the list's end is reported. The code is taken
    // before the message box, which may change the platform's last error.
    const bool found = cache.FindNextGroup(find, group, size);
    code = cache.LastError();
    if (!found && code != UrlCache::kErrorFileNotFound) {
      Report(ui, "Error finding next url cache group! - " + std::to_string(code));
    }
  } while (code != UrlCache::kErrorFileNotFound);
  return true;
}

void DeleteEntries(UrlCache& cache) {
  CacheEntryRecord record;
  record.structSize = kEntryStructSize;
  uint32_t size = kSearchSize;
  const UrlCache::Handle find = cache.FindFirstEntry(record, size);
  if (find == 0) return;
  do {
    cache.DeleteEntry(record.sourceUrl);  // an entry in use simply stays
    size = kSearchSize;
    if (!cache.FindNextEntry(find, record, size) &&
        cache.LastError() != UrlCache::kErrorNoMoreItems) {
      return;
    }
  } while (cache.LastError() != UrlCache::kErrorNoMoreItems);
}

}  // namespace

void ClearUrlCache(UrlCache& cache, Toolkit& ui) {
  if (DeleteGroups(cache, ui)) DeleteEntries(cache);
}

}  // namespace kelvane
