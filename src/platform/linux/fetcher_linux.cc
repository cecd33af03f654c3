#include "platform/linux/fetcher_linux.h"

#include <curl/curl.h>
#include <strings.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <optional>

#include "download/fetch_policy.h"
#include "platform/linux/partial_file_linux.h"

namespace kelvane::linux_platform {
namespace {

constexpr long kBufferSize = 512 * 1024;  // libcurl's largest receive buffer
constexpr auto kProgressEvery = std::chrono::milliseconds(50);
constexpr int kPollMilliseconds = 50;

struct Sink {
  int fd;
  int64_t limit;  // 0: none
  int64_t written = 0;
  int error = 0;
  bool cut = false;  // the limit was reached
};

size_t WriteToFile(char* data, size_t size, size_t count, void* user) {
  auto* sink = static_cast<Sink*>(user);
  const size_t total = size * count;
  size_t wanted = total;
  if (sink->limit > 0 && sink->written + static_cast<int64_t>(total) > sink->limit) {
    wanted = static_cast<size_t>(sink->limit - sink->written);
    sink->cut = true;
  }
  for (size_t done = 0; done < wanted;) {
    const ssize_t n = write(sink->fd, data + done, wanted - done);
    if (n < 0) {
      if (errno == EINTR) continue;
      sink->error = errno;
      return 0;  // anything short of `total` aborts the transfer
    }
    done += static_cast<size_t>(n);
  }
  sink->written += static_cast<int64_t>(wanted);
  return sink->cut ? 0 : total;
}

int32_t FromCurl(CURLcode code) {
  switch (code) {
    case CURLE_UNSUPPORTED_PROTOCOL:
    case CURLE_URL_MALFORMAT:
      return kFetchInvalidUrl;
    case CURLE_COULDNT_RESOLVE_HOST:
    case CURLE_COULDNT_RESOLVE_PROXY:
      return kFetchHostNotFound;
    case CURLE_COULDNT_CONNECT:
      return kFetchCannotConnect;
    case CURLE_HTTP_RETURNED_ERROR:
      return kFetchHttpError;
    case CURLE_OPERATION_TIMEDOUT:
      return kFetchTimedOut;
    case CURLE_TOO_MANY_REDIRECTS:
      return kFetchRedirectLoop;
    default:
      return kFetchFailed;
  }
}

// A download is a file like any other the user saves, except that a program
// must stay runnable after it has replaced the old one: a script ("#!") or
// an ELF binary gets the execute bits, everything else does not. The
// user's umask is applied as it would be to a file the shell creates.
mode_t ModeOfDownload(int fd) {
  char head[4] = {};
  const ssize_t n = pread(fd, head, sizeof head, 0);
  const bool script = n >= 2 && head[0] == '#' && head[1] == '!';
  const bool elf = n == 4 && head[0] == 0x7f && head[1] == 'E' && head[2] == 'L' && head[3] == 'F';
  const mode_t mask = umask(0);
  umask(mask);
  return (script || elf ? 0755 : 0644) & ~mask;
}

int32_t FromErrno(int error) {
  return error == ENOENT || error == ENOTDIR ? kFetchPathNotFound : kFetchAccessDenied;
}

bool StartsWith(const std::string& text, const char* prefix) {
  return strncasecmp(text.c_str(), prefix, std::strlen(prefix)) == 0;
}

// libcurl reads only the lower-case http_proxy (the upper-case one can be
// set by a web server's request in CGI programs); a desktop user may set
// either. The lower-case one wins when both are set.
void UseUpperCaseHttpProxy(CURL* c, const std::string& url) {
  const char* upper = std::getenv("HTTP_PROXY");
  if (StartsWith(url, "http:") && !std::getenv("http_proxy") && upper && *upper)
    curl_easy_setopt(c, CURLOPT_PROXY, upper);
}

using Easy = std::unique_ptr<CURL, decltype(&curl_easy_cleanup)>;
using Headers = std::unique_ptr<curl_slist, decltype(&curl_slist_free_all)>;

void Configure(CURL* c, const std::string& url, const Headers& headers, Sink& sink, char* errors) {
  curl_easy_setopt(c, CURLOPT_URL, url.c_str());
  curl_easy_setopt(c, CURLOPT_ERRORBUFFER, errors);
  curl_easy_setopt(c, CURLOPT_PROTOCOLS_STR, "http,https,ftp,ftps");
  // Once secure, never redirected to a plain transfer.
  const bool secure = StartsWith(url, "https:") || StartsWith(url, "ftps:");
  curl_easy_setopt(c, CURLOPT_REDIR_PROTOCOLS_STR, secure ? "https,ftps" : "http,https,ftp,ftps");
  curl_easy_setopt(c, CURLOPT_FOLLOWLOCATION, 1L);
  curl_easy_setopt(c, CURLOPT_MAXREDIRS, kFetchMaxRedirects);
  curl_easy_setopt(c, CURLOPT_FAILONERROR, 1L);
  curl_easy_setopt(c, CURLOPT_ACCEPT_ENCODING, "");  // every encoding this libcurl decodes
  curl_easy_setopt(c, CURLOPT_USERAGENT, KELVANE_USER_AGENT("Linux"));
  curl_easy_setopt(c, CURLOPT_CONNECTTIMEOUT, kFetchConnectTimeoutSeconds);
  curl_easy_setopt(c, CURLOPT_LOW_SPEED_LIMIT, kFetchStallBytesPerSecond);
  curl_easy_setopt(c, CURLOPT_LOW_SPEED_TIME, kFetchStallSeconds);
  curl_easy_setopt(c, CURLOPT_SSL_VERIFYPEER, 1L);
  curl_easy_setopt(c, CURLOPT_SSL_VERIFYHOST, 2L);
  curl_easy_setopt(c, CURLOPT_HTTPHEADER, headers.get());
  curl_easy_setopt(c, CURLOPT_BUFFERSIZE, kBufferSize);
  curl_easy_setopt(c, CURLOPT_NOSIGNAL, 1L);
  curl_easy_setopt(c, CURLOPT_WRITEFUNCTION, WriteToFile);
  curl_easy_setopt(c, CURLOPT_WRITEDATA, &sink);
  UseUpperCaseHttpProxy(c, url);
}

// Runs the transfer, telling `monitor` how far it is every 50 ms (also
// while the server is silent). Returns libcurl's result, or nothing when the
// monitor stopped it.
std::optional<CURLcode> Run(CURL* c, FetchMonitor& monitor, int64_t limit) {
  std::unique_ptr<CURLM, decltype(&curl_multi_cleanup)> multi(curl_multi_init(),
                                                              curl_multi_cleanup);
  if (!multi || curl_multi_add_handle(multi.get(), c) != CURLM_OK) return CURLE_OUT_OF_MEMORY;
  std::optional<CURLcode> result;
  auto reported = std::chrono::steady_clock::now() - kProgressEvery;
  for (int running = 1;;) {
    if (curl_multi_perform(multi.get(), &running) != CURLM_OK) {
      result = CURLE_RECV_ERROR;
      break;
    }
    if (running == 0) {
      int left = 0;
      CURLMsg* message = curl_multi_info_read(multi.get(), &left);
      result = message && message->msg == CURLMSG_DONE ? message->data.result : CURLE_RECV_ERROR;
      break;
    }
    const auto now = std::chrono::steady_clock::now();
    if (now - reported >= kProgressEvery) {
      reported = now;
      curl_off_t received = 0, total = -1;
      curl_easy_getinfo(c, CURLINFO_SIZE_DOWNLOAD_T, &received);
      curl_easy_getinfo(c, CURLINFO_CONTENT_LENGTH_DOWNLOAD_T, &total);
      if (limit > 0 && (total < 0 || total > limit)) total = limit;
      if (!monitor.Progress(received, total)) break;
    }
    curl_multi_poll(multi.get(), nullptr, 0, kPollMilliseconds, nullptr);
  }
  curl_multi_remove_handle(multi.get(), c);
  return result;
}

}  // namespace

CurlFetcher::CurlFetcher() { curl_global_init(CURL_GLOBAL_DEFAULT); }
CurlFetcher::~CurlFetcher() { curl_global_cleanup(); }

int32_t CurlFetcher::Fail(int32_t code, const std::string& why) {
  failure_ = why;
  return code;
}

int32_t CurlFetcher::DownloadToFile(const std::string& url, const std::string& file,
                                    FetchMonitor& monitor, int64_t limit) {
  failure_.clear();
  if (!IsFetchableUrl(url.c_str())) return Fail(kFetchInvalidUrl, "not a URL: \"" + url + "\"");
  struct stat existing;
  if (file.empty() || file.back() == '/') return Fail(kFetchPathNotFound, "no file name: " + url);
  if (stat(file.c_str(), &existing) == 0 && S_ISDIR(existing.st_mode))
    return Fail(kFetchAccessDenied, file + ": is a folder");

  PartialFile partial(file);
  if (const int error = partial.Open())
    return Fail(FromErrno(error), "cannot write beside " + file + ": " + std::strerror(error));

  Sink sink{partial.fd(), limit};
  char errors[CURL_ERROR_SIZE] = {};
  Headers headers(curl_slist_append(nullptr, "Cache-Control: no-cache"), curl_slist_free_all);
  headers.reset(curl_slist_append(headers.release(), "Pragma: no-cache"));
  Easy curl(curl_easy_init(), curl_easy_cleanup);
  if (!curl) return Fail(kFetchFailed, "libcurl could not start: " + url);
  CURL* c = curl.get();
  Configure(c, url, headers, sink, errors);

  const std::optional<CURLcode> code = Run(c, monitor, limit);
  if (!code) return Fail(kFetchCancelled, "cancelled: " + url);
  if (sink.error != 0) return Fail(FromErrno(sink.error), file + ": " + std::strerror(sink.error));
  long status = 0;
  curl_easy_getinfo(c, CURLINFO_RESPONSE_CODE, &status);
  const char* scheme = nullptr;
  curl_easy_getinfo(c, CURLINFO_SCHEME, &scheme);
  const bool http = scheme && strncasecmp(scheme, "http", 4) == 0;
  const std::string statusLine = "HTTP status " + std::to_string(status) + ": " + url;
  if (*code == CURLE_HTTP_RETURNED_ERROR) return Fail(kFetchHttpError, statusLine);
  if (*code != CURLE_OK && !sink.cut) {
    const char* last = nullptr;
    curl_easy_getinfo(c, CURLINFO_EFFECTIVE_URL, &last);
    if (*code == CURLE_UNSUPPORTED_PROTOCOL && last && url != last)
      return Fail(kFetchFailed, std::string("redirected to ") + last + ", refused: " + url);
    const std::string text = errors[0] ? errors : curl_easy_strerror(*code);
    return Fail(FromCurl(*code), text + ": " + url);
  }
  // A 3xx that could not be followed, a 304 or a 204 is no file.
  if (http && (status < 200 || status > 299 || status == 204))
    return Fail(kFetchHttpError, statusLine);
  if (sink.written == 0) return Fail(kFetchFailed, "empty body: " + url);
  // A body shorter than its announced length is never accepted.
  curl_off_t expected = -1, received = 0;
  curl_easy_getinfo(c, CURLINFO_CONTENT_LENGTH_DOWNLOAD_T, &expected);
  curl_easy_getinfo(c, CURLINFO_SIZE_DOWNLOAD_T, &received);
  if (!sink.cut && expected >= 0 && received != expected)
    return Fail(kFetchFailed, "body cut short: " + url);

  if (const int error = partial.Commit(ModeOfDownload(sink.fd)))
    return Fail(FromErrno(error), file + ": " + std::strerror(error));
  return 0;
}

}  // namespace kelvane::linux_platform
