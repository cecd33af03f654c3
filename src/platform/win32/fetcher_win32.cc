#include "platform/win32/fetcher_win32.h"

#include <windows.h>
#include <wininet.h>

#include <algorithm>
#include <atomic>
#include <cwchar>
#include <memory>
#include <vector>

#include "download/fetch_policy.h"
#include "platform/win32/http_route_win32.h"
#include "platform/win32/srw_hold_win32.h"
#include "platform/win32/wide_text_win32.h"

namespace kelvane::win32 {
namespace {

// Reads are sized to last about a tenth of a second, so that progress shows
// at any speed while a fast transfer takes few large reads (each read waits
// until its buffer is full or the body ends).
constexpr DWORD kSmallestRead = 4 * 1024;
constexpr DWORD kLargestRead = 512 * 1024;
// How long a stopped transfer may take to end before it is left behind.
constexpr DWORD kStopGraceMs = 500;

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

// Milliseconds on the performance counter: precise enough to time one read.
int64_t NowMs() {
  LARGE_INTEGER frequency, count;
  QueryPerformanceFrequency(&frequency);
  QueryPerformanceCounter(&count);
  return count.QuadPart * 1000 / frequency.QuadPart;
}

// The system's text for an error, from WinINet's own table for its codes.
std::string ErrorText(DWORD error) {
  const bool internet = error >= INTERNET_ERROR_BASE && error <= INTERNET_ERROR_LAST;
  wchar_t* text = nullptr;
  const DWORD length =
      FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_IGNORE_INSERTS |
                         FORMAT_MESSAGE_FROM_SYSTEM | (internet ? FORMAT_MESSAGE_FROM_HMODULE : 0),
                     internet ? GetModuleHandleW(L"wininet.dll") : nullptr, error, 0,
                     reinterpret_cast<wchar_t*>(&text), 0, nullptr);
  std::wstring line(text ? text : L"", length);
  LocalFree(text);
  std::replace_if(
      line.begin(), line.end(), [](wchar_t c) { return c == L'\r' || c == L'\n'; }, L' ');
  while (!line.empty() && (line.back() == L' ' || line.back() == L'.')) line.pop_back();
  return (line.empty() ? "error" : Narrow(line)) + " (" + std::to_string(error) + ")";
}

bool HasScheme(const std::wstring& url, const wchar_t* scheme) {
  return _wcsnicmp(url.c_str(), scheme, wcslen(scheme)) == 0;
}

// Where a redirect points, made absolute against the URL that answered.
std::wstring RedirectTarget(const std::string& location, const std::wstring& from) {
  if (location.empty()) return L"";
  wchar_t combined[4096];
  DWORD length = 4096;
  if (!InternetCombineUrlW(from.c_str(), Widen(location).c_str(), combined, &length, ICU_NO_ENCODE))
    return L"";
  return combined;
}

// "~kv" and eight hex digits of the file's name (in which Windows ignores
// case): short enough beside any name, and the same for the same file, so
// that the next fetch of it removes what a crashed run left.
std::wstring TemporarySibling(const std::wstring& target) {
  const size_t split = target.find_last_of(L"\\/");
  const size_t start = split == std::wstring::npos ? 0 : split + 1;
  std::wstring name = target.substr(start);
  CharLowerBuffW(name.data(), static_cast<DWORD>(name.size()));
  uint32_t hash = 2166136261u;
  for (wchar_t c : name) hash = (hash ^ c) * 16777619u;
  std::wstring sibling = target.substr(0, start) + L"~kv";
  for (int shift = 28; shift >= 0; shift -= 4) sibling += L"0123456789abcdef"[(hash >> shift) & 15];
  return sibling + L".tmp";
}

// One transfer, shared by the thread that runs it and the thread that waits
// for it. The waiting side may give it up (stopped, or too slow) while a read
// blocks, so the routes are stopped and the file closed once, by whichever
// side comes first; a given-up transfer never writes again.
struct Transfer {
  std::wstring url;
  std::string file;  // for messages
  int64_t limit = 0;
  std::atomic<int64_t> received{0};
  std::atomic<int64_t> total{-1};
  HANDLE done = CreateEventW(nullptr, TRUE, FALSE, nullptr);
  int32_t result = kFetchFailed;
  std::string failure;
  WinInetRoute library;
  SocketRoute socket;

  SRWLOCK lock = SRWLOCK_INIT;
  HANDLE out = INVALID_HANDLE_VALUE;

  ~Transfer() { CloseHandle(done); }

  bool Write(const char* data, DWORD size) {
    Hold hold(lock);
    DWORD written = 0;
    return out != INVALID_HANDLE_VALUE && WriteFile(out, data, size, &written, nullptr) &&
           written == size;
  }
  void Stop() {
    library.Stop();
    socket.Stop();
  }
  // False when the file could not be closed or was closed already.
  bool CloseFile() {
    Hold hold(lock);
    const bool closed = out != INVALID_HANDLE_VALUE && CloseHandle(out);
    out = INVALID_HANDLE_VALUE;
    return closed;
  }
};

int32_t Run(Transfer& t) {
  auto fail = [&t](int32_t code, const std::string& why) {
    t.failure = why;
    return code;
  };
  auto failLast = [&t](const std::string& what) {
    const DWORD error = GetLastError();
    t.failure = what + ": " + ErrorText(error);
    return error == ERROR_CANCELLED ? kFetchCancelled : FromLastError(error);
  };
  const bool direct = SocketRoute::ConnectsDirectly();
  std::wstring current = t.url;
  HttpRoute* route = nullptr;
  HttpHead head;
  for (int redirects = 0;; ++redirects) {
    const std::string here = Narrow(current);
    route =
        direct && HasScheme(current, L"http:") ? static_cast<HttpRoute*>(&t.socket) : &t.library;
    if (!route->Open(current, head)) return failLast(here);
    // An encoded body, although none was asked for: the library decodes it.
    if (route == &t.socket && !head.contentEncoding.empty()) {
      route = &t.library;
      if (!route->Open(current, head)) return failLast(here);
    }
    const int status = head.status;
    const std::string http = here + ": HTTP " + std::to_string(status);
    if (status >= 300 && status < 400) {
      const std::wstring next = RedirectTarget(head.location, current);
      if (next.empty()) return fail(kFetchFailed, http + " without a Location");
      if (HasScheme(current, L"https:") && !HasScheme(next, L"https:"))
        return fail(kFetchFailed, http + " to " + Narrow(next) + " refused: it leaves https");
      if (redirects == kFetchMaxRedirects)
        return fail(kFetchRedirectLoop, http + ", too many redirects");
      current = next;
      continue;
    }
    // Only a 2xx body is the resource; error pages are never saved.
    if (status < 200 || status >= 300 || status == HTTP_STATUS_NO_CONTENT) {
      return fail(status >= 400 ? kFetchHttpError : kFetchFailed,
                  http + (head.reason.empty() ? "" : " " + head.reason));
    }
    if (!head.contentEncoding.empty())
      return fail(kFetchFailed,
                  here + ": a body encoded as " + head.contentEncoding + " cannot be decoded");
    break;
  }
  const std::string here = Narrow(current);
  const int64_t expected = head.contentLength;
  if (expected >= 0) t.total = t.limit > 0 ? std::min<int64_t>(expected, t.limit) : expected;

  std::vector<char> buffer(kLargestRead);
  DWORD ask = kSmallestRead;
  int64_t received = 0;
  for (;;) {
    const DWORD want =
        t.limit > 0 ? static_cast<DWORD>(std::min<int64_t>(ask, t.limit - received)) : ask;
    if (want == 0) return 0;  // cut at the limit
    const int64_t started = NowMs();
    DWORD n = 0;
    if (!route->Read(buffer.data(), want, n)) return failLast(here);
    if (n == 0) break;
    if (!t.Write(buffer.data(), n)) return failLast(t.file);
    received += n;
    t.received = received;
    const int64_t took = NowMs() - started;
    if (n == want && took < 30) ask = std::min(ask * 2, kLargestRead);
    if (took > 150) ask = std::max(ask / 2, kSmallestRead);
  }
  if (received == 0) return fail(kFetchFailed, here + ": the body is empty");
  if (expected >= 0 && received != expected) {
    return fail(kFetchFailed, here + ": the body ended after " + std::to_string(received) + " of " +
                                  std::to_string(expected) + " bytes");
  }
  return 0;
}

// The thread of a transfer; it owns a share of it.
DWORD WINAPI RunThread(void* share) {
  const std::unique_ptr<std::shared_ptr<Transfer>> owned(
      static_cast<std::shared_ptr<Transfer>*>(share));
  Transfer& t = **owned;
  int32_t result = Run(t);
  t.Stop();
  if (!t.CloseFile() && result == 0) result = kFetchFailed;
  t.result = result;
  SetEvent(t.done);
  return 0;
}

}  // namespace

int32_t Win32Fetcher::DownloadToFile(const std::string& url, const std::string& file,
                                     FetchMonitor& monitor, int64_t limit) {
  failure_.clear();
  if (!IsFetchableUrl(url.c_str())) {
    failure_ = "not a URL: \"" + url + "\"";
    return kFetchInvalidUrl;
  }
  const std::wstring target = Widen(file);
  if (target.empty()) {
    failure_ = url + ": no file to save it in";
    return kFetchPathNotFound;
  }
  const DWORD attributes = GetFileAttributesW(target.c_str());
  if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY)) {
    failure_ = file + ": is a folder";
    return kFetchAccessDenied;
  }
  const std::wstring temp = TemporarySibling(target);
  DeleteFileW(temp.c_str());
  const HANDLE out = CreateFileW(temp.c_str(), GENERIC_WRITE, FILE_SHARE_DELETE, nullptr,
                                 CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (out == INVALID_HANDLE_VALUE) {
    const DWORD error = GetLastError();
    failure_ = file + ": " + ErrorText(error);
    return FromLastError(error);
  }
  auto t = std::make_shared<Transfer>();
  t->url = Widen(url);
  t->file = file;
  t->limit = limit;
  t->out = out;
  auto share = std::make_unique<std::shared_ptr<Transfer>>(t);
  const HANDLE thread = CreateThread(nullptr, 0, RunThread, share.get(), 0, nullptr);
  if (!thread) {
    const DWORD error = GetLastError();
    t->CloseFile();
    DeleteFileW(temp.c_str());
    failure_ = url + ": " + ErrorText(error);
    return kFetchFailed;
  }
  share.release();  // the thread's now
  CloseHandle(thread);

  // Waits with the window alive, and gives the transfer up when the user
  // stops it or when it is too slow.
  int32_t result = 0;
  int64_t mark = NowMs();
  int64_t markReceived = 0;
  while (MsgWaitForMultipleObjects(1, &t->done, FALSE, 50, QS_ALLINPUT) != WAIT_OBJECT_0) {
    const int64_t received = t->received;
    if (!monitor.Progress(received, t->total)) {
      result = kFetchCancelled;
      failure_ = url + ": stopped by the user";
      break;
    }
    if (NowMs() - mark >= kFetchStallSeconds * 1000) {
      if (received - markReceived < kFetchStallBytesPerSecond * kFetchStallSeconds) {
        result = kFetchTimedOut;
        failure_ = url + ": slower than " + std::to_string(kFetchStallBytesPerSecond) +
                   " bytes/s over " + std::to_string(kFetchStallSeconds) + " s";
        break;
      }
      mark = NowMs();
      markReceived = received;
    }
  }
  if (result != 0) {
    t->Stop();
    WaitForSingleObject(t->done, kStopGraceMs);
    t->CloseFile();  // left behind: it writes no more
  } else {
    result = t->result;
    failure_ = t->failure;
    if (result == 0 && !MoveFileExW(temp.c_str(), target.c_str(), MOVEFILE_REPLACE_EXISTING)) {
      const DWORD error = GetLastError();
      failure_ = file + ": " + ErrorText(error);
      result = FromLastError(error);
    }
  }
  if (result != 0) DeleteFileW(temp.c_str());
  return result;
}

}  // namespace kelvane::win32
