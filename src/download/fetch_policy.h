#pragma once
// What counts as a download, for every platform: the limits, the failure
// codes (in the shape of the platform's URL-moniker errors), the redirects
// followed and the answers accepted.
#include <cstdint>
#include <string>

#include "platform/fetcher.h"
#include "version.h"

// What every request is sent as, e.g. "Kelvane/1.4b (Linux)".
#define KELVANE_USER_AGENT(platform) "Kelvane/" KELVANE_VERSION " (" platform ")"
// The content codings a transport asks for: the ones ContentDecoder reads.
#define KELVANE_ACCEPT_ENCODING "gzip, deflate"

namespace kelvane {

// A server that does not accept the connection within this time fails.
constexpr long kFetchConnectTimeoutSeconds = 10;
// A transfer slower than kFetchStallBytesPerSecond over kFetchStallSeconds fails.
constexpr long kFetchStallBytesPerSecond = 1024;
constexpr long kFetchStallSeconds = 60;
// Release notes are read up to this size; the rest is not fetched.
constexpr int64_t kNotesLimit = 8 * 1024 * 1024;
constexpr int kFetchMaxRedirects = 10;

// The user stopped the transfer (HRESULT of ERROR_CANCELLED).
constexpr int32_t kFetchCancelled = static_cast<int32_t>(0x800704C7);
constexpr int32_t kFetchInvalidUrl = static_cast<int32_t>(0x800C0002);
constexpr int32_t kFetchCannotConnect = static_cast<int32_t>(0x800C0004);
constexpr int32_t kFetchHostNotFound = static_cast<int32_t>(0x800C0005);
constexpr int32_t kFetchHttpError = static_cast<int32_t>(0x800C0006);  // a status refused
constexpr int32_t kFetchFailed = static_cast<int32_t>(0x800C0008);     // cut short, any other
constexpr int32_t kFetchTimedOut = static_cast<int32_t>(0x800C000B);
constexpr int32_t kFetchRedirectLoop = static_cast<int32_t>(0x800C0014);
constexpr int32_t kFetchPathNotFound = static_cast<int32_t>(0x80070003);  // no such folder
constexpr int32_t kFetchAccessDenied = static_cast<int32_t>(0x80070005);  // cannot write there

// A URL refused before any network access: empty, or holding blanks or
// control characters (they must be escaped in a URL).
bool IsFetchableUrl(const std::string& url);

// Fetches `url` with `transport` into `out`: redirects are followed (at
// most kFetchMaxRedirects, never from https to another scheme); only a
// whole answer of status 200 or 203 counts: one length at most (unless
// chunked), no transfer coding but chunked, as long as announced, not empty,
// a gzip or deflate body decoded up to the end of its stream. A transfer
// slower than the stall rate fails. With `limit` above 0 at most that many
// bytes are written; a longer body is cut there and succeeds.
FetchResult FetchIntoFile(FetchTransport& transport, const std::string& url, FetchOutput& out,
                          FetchMonitor& monitor, int64_t limit);

// `location` (absolute, or relative as a Location field may be) made
// absolute against `base`; "" when `base` is no absolute URL.
std::string ResolveUrl(const std::string& base, const std::string& location);

}  // namespace kelvane
