#include "platform/win32/fetcher_win32.h"

#include <windows.h>
#include <wininet.h>

#include <cwchar>
#include <memory>
#include <vector>

#include "download/fetch_policy.h"
#include "platform/win32/wide_text_win32.h"

namespace kelvane::win32 {
namespace {

constexpr DWORD kBufferSize = 512 * 1024;

struct InternetCloser {
  void operator()(HINTERNET handle) const { InternetCloseHandle(handle); }
};
using Internet = std::unique_ptr<void, InternetCloser>;

int32_t FromLastError(DWORD error) {
  switch (error) {
    case ERROR_INTERNET_INVALID_URL:
    case ERROR_INTERNET_UNRECOGNIZED_SCHEME:
      return kFetchInvalidUrl;
    case ERROR_INTERNET_NAME_NOT_RESOLVED:
      return kFetchHostNotFound;
    case ERROR_INTERNET_CANNOT_CONNECT:
      return kFetchCannotConnect;
    case ERROR_INTERNET_TIMEOUT:
      return kFetchTimedOut;
    case ERROR_HTTP_REDIRECT_FAILED:
      return kFetchRedirectLoop;
    case ERROR_PATH_NOT_FOUND:
    case ERROR_FILE_NOT_FOUND:
    case ERROR_INVALID_NAME:
      return kFetchPathNotFound;
    case ERROR_ACCESS_DENIED:
      return kFetchAccessDenied;
    default:
      return kFetchFailed;
  }
}

bool IsHttp(const std::wstring& url) { return _wcsnicmp(url.c_str(), L"http", 4) == 0; }

// The HTTP status, or 0 when it cannot be read.
DWORD Status(HINTERNET request) {
  DWORD status = 0, size = sizeof status;
  HttpQueryInfoW(request, HTTP_QUERY_STATUS_CODE | HTTP_QUERY_FLAG_NUMBER, &status, &size, nullptr);
  return status;
}

// Where a redirect points, made absolute against the URL that answered.
std::wstring RedirectTarget(HINTERNET request, const std::wstring& from) {
  wchar_t location[4096];
  DWORD size = sizeof location;
  if (!HttpQueryInfoW(request, HTTP_QUERY_LOCATION, location, &size, nullptr)) return L"";
  wchar_t combined[4096];
  DWORD length = 4096;
  if (!InternetCombineUrlW(from.c_str(), location, combined, &length, ICU_NO_ENCODE)) return L"";
  return combined;
}

// The announced length, or -1.
long long ContentLength(HINTERNET request) {
  wchar_t text[32];
  DWORD size = sizeof text;
  if (!HttpQueryInfoW(request, HTTP_QUERY_CONTENT_LENGTH, text, &size, nullptr)) return -1;
  return _wtoi64(text);
}

int32_t Transfer(const std::wstring& url, HANDLE out) {
  Internet session(InternetOpenW(L"Kelvane", INTERNET_OPEN_TYPE_PRECONFIG, nullptr, nullptr, 0));
  if (!session) return FromLastError(GetLastError());
  DWORD connect = kFetchConnectTimeoutSeconds * 1000, stall = kFetchStallSeconds * 1000;
  InternetSetOptionW(session.get(), INTERNET_OPTION_CONNECT_TIMEOUT, &connect, sizeof connect);
  InternetSetOptionW(session.get(), INTERNET_OPTION_SEND_TIMEOUT, &stall, sizeof stall);
  InternetSetOptionW(session.get(), INTERNET_OPTION_RECEIVE_TIMEOUT, &stall, sizeof stall);

  // Redirects are followed here, with a limit: left to itself, the library
  // may follow a redirect loop for ever.
  const DWORD flags = INTERNET_FLAG_RELOAD | INTERNET_FLAG_NO_CACHE_WRITE |
                      INTERNET_FLAG_PRAGMA_NOCACHE | INTERNET_FLAG_NO_UI |
                      INTERNET_FLAG_NO_COOKIES | INTERNET_FLAG_NO_AUTO_REDIRECT;
  Internet request;
  std::wstring current = url;
  long long expected = -1;
  for (int redirects = 0;; ++redirects) {
    request.reset(InternetOpenUrlW(session.get(), current.c_str(),
                                   L"Cache-Control: no-cache\r\nPragma: no-cache\r\n",
                                   static_cast<DWORD>(-1), flags, 0));
    if (!request) return FromLastError(GetLastError());
    if (!IsHttp(current)) break;
    const DWORD status = Status(request.get());
    if (status >= 300 && status < 400) {
      current = RedirectTarget(request.get(), current);
      if (current.empty()) return kFetchHttpError;
      if (redirects == kFetchMaxRedirects) return kFetchRedirectLoop;
      continue;
    }
    // Only a 2xx body is the resource; error pages are never saved.
    if (status < 200 || status >= 300) return kFetchHttpError;
    expected = ContentLength(request.get());
    break;
  }

  std::vector<char> buffer(kBufferSize);
  long long received = 0;
  for (;;) {
    DWORD n = 0;
    if (!InternetReadFile(request.get(), buffer.data(), kBufferSize, &n)) {
      return FromLastError(GetLastError());
    }
    if (n == 0) break;
    DWORD written = 0;
    if (!WriteFile(out, buffer.data(), n, &written, nullptr) || written != n) {
      return FromLastError(GetLastError());
    }
    received += n;
  }
  return expected >= 0 && received != expected ? kFetchFailed : 0;
}

}  // namespace

int32_t WinInetFetcher::DownloadToFile(const std::string& url, const std::string& file) {
  if (!IsFetchableUrl(url.c_str())) return kFetchInvalidUrl;
  const std::wstring target = Widen(file);
  if (target.empty()) return kFetchPathNotFound;
  const DWORD attributes = GetFileAttributesW(target.c_str());
  if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY)) {
    return kFetchAccessDenied;
  }

  // The temporary sibling, in the target's folder so that the final move
  // is a rename.
  const size_t split = target.find_last_of(L"\\/");
  const std::wstring folder = split == std::wstring::npos ? L"." : target.substr(0, split + 1);
  wchar_t temp[MAX_PATH + 16];
  if (GetTempFileNameW(folder.c_str(), L"kel", 0, temp) == 0) return FromLastError(GetLastError());
  const HANDLE out = CreateFileW(temp, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                 FILE_ATTRIBUTE_NORMAL, nullptr);
  if (out == INVALID_HANDLE_VALUE) {
    const DWORD error = GetLastError();
    DeleteFileW(temp);
    return FromLastError(error);
  }
  int32_t result = Transfer(Widen(url), out);
  if (!CloseHandle(out) && result == 0) result = FromLastError(GetLastError());
  if (result == 0 && !MoveFileExW(temp, target.c_str(), MOVEFILE_REPLACE_EXISTING)) {
    result = FromLastError(GetLastError());
  }
  if (result != 0) DeleteFileW(temp);
  return result;
}

}  // namespace kelvane::win32
