#include "platform/win32/fetcher_win32.h"

#include <windows.h>
#include <wininet.h>

#include <atomic>
#include <chrono>
#include <cwchar>
#include <memory>
#include <mutex>
#include <thread>
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

// One fetch, run on a thread of its own so that a stalled transfer can be
// given up: a blocked read does not honour the receive time-out everywhere,
// nor does closing its handle wake it.
struct Job {
  std::wstring url;
  std::atomic<long long> progress{0};  // grows with every sign of life
  std::atomic<bool> done{false};
  int32_t result = kFetchFailed;
  // The file is written only while holding the lock, and never after the
  // waiting side gave the fetch up and closed it.
  std::mutex lock;
  HANDLE out;
  bool abandoned = false;

  bool Write(const char* data, DWORD size) {
    std::lock_guard<std::mutex> hold(lock);
    DWORD written = 0;
    return !abandoned && WriteFile(out, data, size, &written, nullptr) && written == size;
  }
  // False when the file could not be closed, or was closed for a given-up fetch.
  bool Close() {
    std::lock_guard<std::mutex> hold(lock);
    return !abandoned && CloseHandle(out);
  }
  void Abandon() {
    std::lock_guard<std::mutex> hold(lock);
    abandoned = true;
    CloseHandle(out);
  }
};

int32_t Transfer(Job& job) {
  const std::wstring& url = job.url;
  std::atomic<long long>& progress = job.progress;
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
    ++progress;
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
    // Asking what has arrived first keeps a read from waiting to fill the
    // whole buffer, so progress shows at any speed.
    DWORD available = 0, n = 0;
    if (!InternetQueryDataAvailable(request.get(), &available, 0, 0) ||
        !InternetReadFile(request.get(), buffer.data(),
                          available < kBufferSize ? available : kBufferSize, &n)) {
      return FromLastError(GetLastError());
    }
    if (n == 0) break;
    if (!job.Write(buffer.data(), n)) return FromLastError(GetLastError());
    received += n;
    progress += n;
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
  const HANDLE out = CreateFileW(temp, GENERIC_WRITE, FILE_SHARE_DELETE, nullptr, CREATE_ALWAYS,
                                 FILE_ATTRIBUTE_NORMAL, nullptr);
  if (out == INVALID_HANDLE_VALUE) {
    const DWORD error = GetLastError();
    DeleteFileW(temp);
    return FromLastError(error);
  }
  auto job = std::make_shared<Job>();
  job->url = Widen(url);
  job->out = out;
  std::thread([job] {
    job->result = Transfer(*job);
    if (!job->Close() && job->result == 0) job->result = FromLastError(GetLastError());
    job->done = true;
  }).detach();

  // Waits while the fetch shows signs of life. A stalled one is left behind
  // on its blocked thread, without its file.
  using Clock = std::chrono::steady_clock;
  long long seen = 0;
  auto deadline =
      Clock::now() + std::chrono::seconds(kFetchConnectTimeoutSeconds + kFetchStallSeconds);
  while (!job->done) {
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
    if (job->progress != seen) {
      seen = job->progress;
      deadline = Clock::now() + std::chrono::seconds(kFetchStallSeconds);
    } else if (Clock::now() > deadline) {
      job->Abandon();
      DeleteFileW(temp);
      return kFetchTimedOut;
    }
  }
  int32_t result = job->result;
  if (result == 0 && !MoveFileExW(temp, target.c_str(), MOVEFILE_REPLACE_EXISTING)) {
    result = FromLastError(GetLastError());
  }
  if (result != 0) DeleteFileW(temp);
  return result;
}

}  // namespace kelvane::win32
