#pragma once
// What every platform's fetcher promises, in one place: its time-outs and
// its failure codes (in the shape of the platform's URL-moniker errors).
#include <cstdint>

#include "version.h"

// What every request is sent as, e.g. "Kelvane/1.4b (Linux)".
#define KELVANE_USER_AGENT(platform) "Kelvane/" KELVANE_VERSION " (" platform ")"

namespace kelvane {

// A server that does not accept the connection within this time fails.
constexpr long kFetchConnectTimeoutSeconds = 10;
// A transfer slower than kFetchStallBytesPerSecond over kFetchStallSeconds fails.
constexpr long kFetchStallBytesPerSecond = 1024;
constexpr long kFetchStallSeconds = 60;
// Release notes are read up to this size; the rest is not fetched.
constexpr int64_t kNotesLimit = 8 * 1024 * 1024;
// The user stopped the transfer (HRESULT of ERROR_CANCELLED).
constexpr int32_t kFetchCancelled = static_cast<int32_t>(0x800704C7);
constexpr long kFetchMaxRedirects = 10;

constexpr int32_t kFetchInvalidUrl = static_cast<int32_t>(0x800C0002);
constexpr int32_t kFetchCannotConnect = static_cast<int32_t>(0x800C0004);
constexpr int32_t kFetchHostNotFound = static_cast<int32_t>(0x800C0005);
constexpr int32_t kFetchHttpError = static_cast<int32_t>(0x800C0006);  // status >= 400
constexpr int32_t kFetchFailed = static_cast<int32_t>(0x800C0008);     // cut short, any other
constexpr int32_t kFetchTimedOut = static_cast<int32_t>(0x800C000B);
constexpr int32_t kFetchRedirectLoop = static_cast<int32_t>(0x800C0014);
constexpr int32_t kFetchPathNotFound = static_cast<int32_t>(0x80070003);  // no such folder
constexpr int32_t kFetchAccessDenied = static_cast<int32_t>(0x80070005);  // cannot write there

// A URL the fetchers refuse before any network access: empty, or holding
// blanks or control characters (they must be escaped in a URL).
inline bool IsFetchableUrl(const char* url) {
  if (*url == '\0') return false;
  for (; *url; ++url) {
    if (static_cast<unsigned char>(*url) <= ' ' || *url == 0x7F) return false;
  }
  return true;
}

}  // namespace kelvane
