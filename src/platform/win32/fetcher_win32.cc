#include "platform/win32/fetcher_win32.h"

#include <windows.h>
#include <wininet.h>

#include <algorithm>
#include <memory>
#include <optional>
#include <vector>

#include "download/fetch_policy.h"
#include "platform/win32/http_route_win32.h"
#include "platform/win32/partial_file_win32.h"
#include "platform/win32/srw_hold_win32.h"
#include "platform/win32/system_message_win32.h"
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

FetchEnding EndingOf(DWORD error) {
  switch (error) {
    case ERROR_CANCELLED:
      return FetchEnding::kStopped;
    case ERROR_INTERNET_INVALID_URL:
    case ERROR_INTERNET_UNRECOGNIZED_SCHEME:
      return FetchEnding::kInvalidUrl;
    case ERROR_INTERNET_NAME_NOT_RESOLVED:
      return FetchEnding::kHostNotFound;
    case ERROR_INTERNET_CANNOT_CONNECT:
    case ERROR_INTERNET_TIMEOUT:
      return FetchEnding::kCannotConnect;
    case ERROR_INTERNET_CONNECTION_ABORTED:
    case ERROR_INTERNET_CONNECTION_RESET:
      return FetchEnding::kCut;
    case ERROR_HTTP_INVALID_SERVER_RESPONSE:
      return FetchEnding::kMalformed;
    default:
      return FetchEnding::kFailed;
  }
}

int32_t FileCode(DWORD error) {
  return error == ERROR_PATH_NOT_FOUND || error == ERROR_FILE_NOT_FOUND ||
                 error == ERROR_INVALID_NAME
             ? kFetchPathNotFound
             : kFetchAccessDenied;
}

// Milliseconds on the performance counter: precise enough to time one read,
// and the clock of the stall rule.
int64_t NowMs() {
  LARGE_INTEGER frequency, count;
  QueryPerformanceFrequency(&frequency);
  QueryPerformanceCounter(&count);
  return count.QuadPart * 1000 / frequency.QuadPart;
}

// The system's text for an error and its number, from WinINet's own table
// for its codes.
std::string ErrorText(DWORD error) {
  const bool internet = error >= INTERNET_ERROR_BASE && error <= INTERNET_ERROR_LAST;
  std::string line = SystemMessage(error, internet ? GetModuleHandleW(L"wininet.dll") : nullptr);
  std::replace_if(
      line.begin(), line.end(), [](char c) { return c == '\r' || c == '\n'; }, ' ');
  return (line.empty() ? "" : line + ", ") + "error " + std::to_string(error);
}

FetchEnd LastFailure() {
  const DWORD error = GetLastError();
  return {EndingOf(error), ErrorText(error), error};
}

// One request, shared by the thread that runs it and the thread that waits
// for it. The waiting side may give it up (stopped) while a read blocks: it
// then takes the receiver away, and a given-up request hands nothing over.
struct Request {
  std::wstring url;
  std::unique_ptr<HttpRoute> route;
  HANDLE done = CreateEventW(nullptr, TRUE, FALSE, nullptr);
  FetchEnd end;
  SRWLOCK lock = SRWLOCK_INIT;
  FetchReceiver* receiver = nullptr;

  ~Request() { CloseHandle(done); }
  bool Head(const FetchHead& head) {
    Hold hold(lock);
    return receiver && receiver->Head(head);
  }
  bool Body(const char* data, size_t size) {
    Hold hold(lock);
    return receiver && receiver->Body(data, size);
  }
  void GiveUp() {
    route->Stop();
    WaitForSingleObject(done, kStopGraceMs);
    Hold hold(lock);
    receiver = nullptr;
  }
};

FetchEnd Run(Request& r) {
  FetchHead head;
  if (!r.route->Open(r.url, head)) return LastFailure();
  if (!r.Head(head)) return {FetchEnding::kStopped, ""};
  std::vector<char> buffer(kLargestRead);
  for (DWORD ask = kSmallestRead;;) {
    const int64_t started = NowMs();
    DWORD n = 0;
    if (!r.route->Read(buffer.data(), ask, n)) return LastFailure();
    if (n == 0) return {FetchEnding::kWhole, ""};
    if (!r.Body(buffer.data(), n)) return {FetchEnding::kStopped, ""};
    const int64_t took = NowMs() - started;
    if (n == ask && took < 30) ask = std::min(ask * 2, kLargestRead);
    if (took > 150) ask = std::max(ask / 2, kSmallestRead);
  }
}

// The thread of a request; it owns a share of it.
DWORD WINAPI RunThread(void* share) {
  const std::unique_ptr<std::shared_ptr<Request>> owned(
      static_cast<std::shared_ptr<Request>*>(share));
  Request& r = **owned;
  r.end = Run(r);
  r.route->Stop();
  SetEvent(r.done);
  return 0;
}

class Win32Transport : public FetchTransport {
 public:
  explicit Win32Transport(Win32Fetcher::Route route) : route_(route) {}
  FetchEnd Get(const std::string& url, FetchReceiver& receiver) override;

 private:
  std::unique_ptr<HttpRoute> RouteFor(const std::wstring& url) const;
  Win32Fetcher::Route route_;
};

// Plain http goes over the socket where it can; everything else, and plain
// http through proxy settings the socket route does not follow, to WinINet.
std::unique_ptr<HttpRoute> Win32Transport::RouteFor(const std::wstring& url) const {
  const bool plain = _wcsnicmp(url.c_str(), L"http:", 5) == 0;
  if (plain && route_ == Win32Fetcher::Route::kSocket)
    return std::make_unique<SocketRoute>(SocketRoute::SystemProxy().value_or(L""));
  if (plain && route_ == Win32Fetcher::Route::kChosen) {
    if (const std::optional<std::wstring> proxy = SocketRoute::SystemProxy())
      return std::make_unique<SocketRoute>(*proxy);
  }
  return std::make_unique<WinInetRoute>();
}

FetchEnd Win32Transport::Get(const std::string& url, FetchReceiver& receiver) {
  auto r = std::make_shared<Request>();
  r->url = Widen(url);
  r->route = RouteFor(r->url);
  r->receiver = &receiver;
  auto share = std::make_unique<std::shared_ptr<Request>>(r);
  const HANDLE thread = CreateThread(nullptr, 0, RunThread, share.get(), 0, nullptr);
  if (!thread) return LastFailure();
  share.release();  // the thread's now
  CloseHandle(thread);
  // Waits with the window alive, and gives the request up when the
  // receiver stops it.
  while (MsgWaitForMultipleObjects(1, &r->done, FALSE, 50, QS_ALLINPUT) != WAIT_OBJECT_0) {
    if (!receiver.Progress(NowMs())) {
      r->GiveUp();
      return {FetchEnding::kStopped, ""};
    }
  }
  return r->end;
}

class HandleOutput : public FetchOutput {
 public:
  explicit HandleOutput(HANDLE file) : file_(file) {}
  bool Write(const char* data, size_t size, std::string& why) override {
    DWORD written = 0;
    if (WriteFile(file_, data, static_cast<DWORD>(size), &written, nullptr) && written == size)
      return true;
    why = ErrorText(GetLastError());
    return false;
  }

 private:
  HANDLE file_;
};

}  // namespace

FetchResult Win32Fetcher::DownloadToFile(const std::string& url, const std::string& file,
                                         FetchMonitor& monitor, int64_t limit) {
  const std::wstring target = Widen(file);
  if (target.empty()) return {kFetchPathNotFound, "no file name"};
  const DWORD attributes = GetFileAttributesW(target.c_str());
  if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY))
    return {kFetchAccessDenied, "the target is a folder"};
  PartialFile partial(target);
  if (const DWORD error = partial.Open())
    return {FileCode(error), "cannot create a file beside the target (" + ErrorText(error) + ")"};
  HandleOutput out(partial.handle());
  Win32Transport transport(route_);
  FetchResult result = FetchIntoFile(transport, url, out, monitor, limit);
  if (result.code != 0) return result;
  if (const DWORD error = partial.Commit())
    return {FileCode(error), "cannot put the file in place (" + ErrorText(error) + ")"};
  return result;
}

}  // namespace kelvane::win32
