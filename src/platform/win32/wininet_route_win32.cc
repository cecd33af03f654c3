#include <windows.h>
// after windows.h, which it needs
#include <wininet.h>

#include "download/fetch_policy.h"
#include "platform/win32/http_route_win32.h"
#include "platform/win32/srw_hold_win32.h"
#include "platform/win32/wide_text_win32.h"

namespace kelvane::win32 {
namespace {

// A response header, or "" when it is missing.
std::wstring Header(HINTERNET request, DWORD which) {
  wchar_t text[4096];
  DWORD size = sizeof text;
  return HttpQueryInfoW(request, which, text, &size, nullptr) ? text : L"";
}

// A response header by name, or "" when it is missing. (Asked for by its
// number, the encoding of a decoded body is answered with the content type.)
std::wstring Header(HINTERNET request, const wchar_t* name) {
  wchar_t text[4096];
  wcscpy(text, name);
  DWORD size = sizeof text;
  return HttpQueryInfoW(request, HTTP_QUERY_CUSTOM, text, &size, nullptr) ? text : L"";
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

bool WinInetRoute::Open(const std::wstring& url, HttpHead& head) {
  if (!session_) {
    HINTERNET session = InternetOpenW(L"" KELVANE_USER_AGENT("Windows"),
                                      INTERNET_OPEN_TYPE_PRECONFIG, nullptr, nullptr, 0);
    if (!session || !Keep(session_, session)) return false;
    DWORD connect = kFetchConnectTimeoutSeconds * 1000, stall = kFetchStallSeconds * 1000;
    BOOL decode = TRUE;
    InternetSetOptionW(session, INTERNET_OPTION_CONNECT_TIMEOUT, &connect, sizeof connect);
    InternetSetOptionW(session, INTERNET_OPTION_SEND_TIMEOUT, &stall, sizeof stall);
    InternetSetOptionW(session, INTERNET_OPTION_RECEIVE_TIMEOUT, &stall, sizeof stall);
    InternetSetOptionW(session, INTERNET_OPTION_HTTP_DECODING, &decode, sizeof decode);
  }
  // Redirects are the fetcher's: left to itself, the library may follow a
  // redirect loop for ever, or from https to plain http.
  const DWORD flags = INTERNET_FLAG_RELOAD | INTERNET_FLAG_NO_CACHE_WRITE |
                      INTERNET_FLAG_PRAGMA_NOCACHE | INTERNET_FLAG_NO_UI |
                      INTERNET_FLAG_NO_COOKIES | INTERNET_FLAG_NO_AUTO_REDIRECT;
  HINTERNET request = InternetOpenUrlW(
      session_, url.c_str(),
      L"Cache-Control: no-cache\r\nPragma: no-cache\r\nAccept-Encoding: gzip, deflate\r\n",
      static_cast<DWORD>(-1), flags, 0);
  if (!request || !Keep(request_, request)) return false;
  reading_ = request;
  head = HttpHead();
  head.status = 200;  // what other schemes answer with
  if (_wcsnicmp(url.c_str(), L"http", 4) != 0) return true;
  DWORD status = 0, size = sizeof status;
  HttpQueryInfoW(request, HTTP_QUERY_STATUS_CODE | HTTP_QUERY_FLAG_NUMBER, &status, &size, nullptr);
  head.status = static_cast<int>(status);
  head.reason = Narrow(Header(request, HTTP_QUERY_STATUS_TEXT));
  head.location = Narrow(Header(request, HTTP_QUERY_LOCATION));
  // gzip and deflate come decoded, and their length is the encoded one.
  // (Wine takes deflate for raw deflate: a zlib-wrapped body there fails.)
  const std::wstring encoding = Header(request, L"Content-Encoding");
  const bool decoded =
      _wcsicmp(encoding.c_str(), L"gzip") == 0 || _wcsicmp(encoding.c_str(), L"deflate") == 0;
  if (!decoded && _wcsicmp(encoding.c_str(), L"identity") != 0)
    head.contentEncoding = Narrow(encoding);
  const std::wstring length = Header(request, HTTP_QUERY_CONTENT_LENGTH);
  if (!decoded && !length.empty()) head.contentLength = _wtoi64(length.c_str());
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
