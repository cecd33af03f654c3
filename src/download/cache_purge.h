#pragma once
// Empties the user's whole URL cache so that a fetch never gets a stale copy.
#include "platform/toolkit.h"
#include "platform/url_cache.h"

namespace kelvane {

// Deletes every cache group (with its entries), then every entry left. Only
// a group that cannot be deleted or a failed next-group search is reported
// (English, OK only); every other failure ends the purge silently.
void ClearUrlCache(UrlCache& cache, Toolkit& ui);

}  // namespace kelvane
