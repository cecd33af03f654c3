#include <windows.h>
// after windows.h, which it needs
#include <wininet.h>

#include <optional>

#include "download/fetch_policy.h"
#include "platform/win32/http_route_win32.h"
#include "platform/win32/srw_hold_win32.h"
#include "platform/win32/wide_text_win32.h"

namespace kelvane::win32 {
namespace {

// The `index`th field `which` of the answer, or nothing.
std::optional<std::wstring> Header(HINTERNET request, DWORD which, DWORD index = 0) {
  wchar_t text[4096];
  DWORD size = sizeof text;
  if (!HttpQueryInfoW(request, which, text, &size, &index)) return std::nullopt;
  return std::wstring(text);
}

std::string Field(HINTERNET request, DWORD which) {
  return Narrow(Header(request, which).value_or(L""));
}

// A field by name (asked for by its number, Wine answers the encoding of a
// body with its content type).
std::string Field(HINTERNET request, const wchar_t* name) {
  wchar_t text[4096];
  wcscpy(text, name);
  DWORD size = sizeof text;
  return HttpQueryInfoW(request, HTTP_QUERY_CUSTOM, text, &size, nullptr) ? Narrow(text) : "";
}

}  // namespace

WinInetRoute::WinInetRoute() = default;

WinInetRoute::~WinInetRoute() { Stop(); }

// Takes a handle over; false (and the handle closed) once stopped.
bool WinInetRoute::Keep(void*& slot, void* handle) {
  Hold hold(lock_);
  if (slot) InternetCloseHandle(slot);
  slot = stopped_ ? nullptr : handle;
  if (stopped_) {
    InternetCloseHandle(handle);
    SetLastError(ERROR_CANCELLED);
  }
  return !stopped_;
}

bool WinInetRoute::Open(const std::wstring& url, FetchHead& head) {
  HINTERNET session = InternetOpenW(L"" KELVANE_USER_AGENT("Windows"), INTERNET_OPEN_TYPE_PRECONFIG,
                                    nullptr, nullptr, 0);
  if (!session || !Keep(session_, session)) return false;
  // The receive time-out only ends a read that Stop could not wake (Wine's);
  // the stall rule is the core's.
  DWORD connect = kFetchConnectTimeoutSeconds * 1000, stall = kFetchStallSeconds * 1000;
  InternetSetOptionW(session, INTERNET_OPTION_CONNECT_TIMEOUT, &connect, sizeof connect);
  InternetSetOptionW(session, INTERNET_OPTION_SEND_TIMEOUT, &stall, sizeof stall);
  InternetSetOptionW(session, INTERNET_OPTION_RECEIVE_TIMEOUT, &stall, sizeof stall);
  // Redirects are the core's; the body comes as sent, for the core to decode.
  const DWORD flags = INTERNET_FLAG_RELOAD | INTERNET_FLAG_NO_CACHE_WRITE |
                      INTERNET_FLAG_PRAGMA_NOCACHE | INTERNET_FLAG_NO_UI |
                      INTERNET_FLAG_NO_COOKIES | INTERNET_FLAG_NO_AUTO_REDIRECT;
  HINTERNET request = InternetOpenUrlW(session_, url.c_str(),
                                       L"Cache-Control: no-cache\r\nPragma: no-cache\r\n"
                                       L"Accept-Encoding: " KELVANE_ACCEPT_ENCODING L"\r\n",
                                       static_cast<DWORD>(-1), flags, 0);
  if (!request || !Keep(request_, request)) return false;
  reading_ = request;
  head = FetchHead();
  if (_wcsnicmp(url.c_str(), L"http", 4) != 0) return true;
  // A head Wine cannot read (a Content-Length list, say) becomes a made-up
  // "HTTP/1.0 200 OK" with no field, and the real head part of the body.
  const std::wstring raw = Header(request, HTTP_QUERY_RAW_HEADERS_CRLF).value_or(L"");
  const size_t firstLineEnd = raw.find(L"\r\n");
  if (firstLineEnd == std::wstring::npos || raw.size() <= firstLineEnd + 4) {
    SetLastError(ERROR_HTTP_INVALID_SERVER_RESPONSE);
    return false;
  }
  DWORD status = 0, size = sizeof status;
  HttpQueryInfoW(request, HTTP_QUERY_STATUS_CODE | HTTP_QUERY_FLAG_NUMBER, &status, &size, nullptr);
  head.status = static_cast<int>(status);
  head.location = Field(request, HTTP_QUERY_LOCATION);
  head.transferEncoding = Field(request, L"Transfer-Encoding");
  head.contentEncoding = Field(request, L"Content-Encoding");
  for (DWORD i = 0;; ++i) {
    const std::optional<std::wstring> length = Header(request, HTTP_QUERY_CONTENT_LENGTH, i);
    if (!length) break;
    head.contentLengths.push_back(Narrow(*length));
  }
  return true;
}

bool WinInetRoute::Read(char* buffer, DWORD size, DWORD& read) {
  return InternetReadFile(reading_, buffer, size, &read);
}

// Closing the handles is what wakes a blocked read, where the library
// allows it (Wine's ends it only when the read returns).
void WinInetRoute::Stop() {
  Hold hold(lock_);
  stopped_ = true;
  if (request_) InternetCloseHandle(request_);
  if (session_) InternetCloseHandle(session_);
  request_ = session_ = nullptr;
}

}  // namespace kelvane::win32
