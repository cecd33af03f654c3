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
#include <string_view>

#include "download/fetch_policy.h"
#include "platform/linux/partial_file_linux.h"

namespace kelvane::linux_platform {
namespace {

constexpr long kBufferSize = 512 * 1024;  // libcurl's largest receive buffer
constexpr auto kProgressEvery = std::chrono::milliseconds(50);
constexpr int kPollMilliseconds = 50;

bool StartsWith(std::string_view text, const char* prefix) {
  return strncasecmp(text.data(), prefix, std::min(text.size(), std::strlen(prefix))) == 0 &&
         text.size() >= std::strlen(prefix);
}

// libcurl reads only the lower-case http_proxy (the upper-case one can be
// set by a web server's request in CGI programs); a desktop user may set
// either. The lower-case one wins when both are set.
void UseUpperCaseHttpProxy(CURL* c, const std::string& url) {
  const char* upper = std::getenv("HTTP_PROXY");
  if (StartsWith(url, "http:") && !std::getenv("http_proxy") && upper && *upper)
    curl_easy_setopt(c, CURLOPT_PROXY, upper);
}

FetchEnding EndingOf(CURLcode code) {
  switch (code) {
    case CURLE_OK:
      return FetchEnding::kWhole;
    case CURLE_WRITE_ERROR:  // only ever the receiver's stop
    case CURLE_ABORTED_BY_CALLBACK:
      return FetchEnding::kStopped;
    case CURLE_PARTIAL_FILE:
    case CURLE_RECV_ERROR:
      return FetchEnding::kCut;
    case CURLE_WEIRD_SERVER_REPLY:
    case CURLE_BAD_CONTENT_ENCODING:
      return FetchEnding::kMalformed;
    case CURLE_UNSUPPORTED_PROTOCOL:
    case CURLE_URL_MALFORMAT:
      return FetchEnding::kInvalidUrl;
    case CURLE_COULDNT_RESOLVE_HOST:
    case CURLE_COULDNT_RESOLVE_PROXY:
      return FetchEnding::kHostNotFound;
    case CURLE_COULDNT_CONNECT:
    case CURLE_OPERATION_TIMEDOUT:  // only the connection has a time-out
      return FetchEnding::kCannotConnect;
    default:
      return FetchEnding::kFailed;
  }
}

// One request with libcurl: it removes the chunk framing and tells a body
// cut short from a whole one; the head's fields are handed over as sent.
class CurlTransport : public FetchTransport {
 public:
  FetchEnd Get(const std::string& url, FetchReceiver& receiver) override;

 private:
  static size_t OnHeader(char* data, size_t size, size_t count, void* self);
  static size_t OnBody(char* data, size_t size, size_t count, void* self);
  bool HeadDone();

  CURL* curl_ = nullptr;
  FetchReceiver* receiver_ = nullptr;
  FetchHead head_;
  bool headDone_ = false;
  bool stopped_ = false;
};

size_t CurlTransport::OnHeader(char* data, size_t size, size_t count, void* self) {
  auto& t = *static_cast<CurlTransport*>(self);
  const std::string_view line(data, size * count);
  if (StartsWith(line, "HTTP/")) {
    t.head_ = FetchHead();  // an interim answer's fields are not the answer's
  } else if (line == "\r\n" || line == "\n") {
    long status = 0;
    curl_easy_getinfo(t.curl_, CURLINFO_RESPONSE_CODE, &status);
    if (status >= 200 && !t.HeadDone()) return 0;
  } else if (const size_t colon = line.find(':'); colon != std::string_view::npos) {
    const std::string_view name = line.substr(0, colon);
    std::string value(line.substr(colon + 1));
    while (!value.empty() && (value.back() == '\r' || value.back() == '\n')) value.pop_back();
    const auto is = [&name](const char* field) {
      return name.size() == std::strlen(field) && StartsWith(name, field);
    };
    if (is("Content-Length")) t.head_.contentLengths.push_back(value);
    if (is("Transfer-Encoding")) t.head_.transferEncoding = value;
    if (is("Content-Encoding")) t.head_.contentEncoding = value;
    if (is("Location")) t.head_.location = value;
  }
  return size * count;
}

// Hands the head over, once; for a scheme without a head (ftp) at the first
// body bytes, with the length the scheme announced.
bool CurlTransport::HeadDone() {
  if (headDone_) return true;
  headDone_ = true;
  long status = 0;
  curl_easy_getinfo(curl_, CURLINFO_RESPONSE_CODE, &status);
  head_.status = static_cast<int>(status);
  curl_off_t length = -1;
  curl_easy_getinfo(curl_, CURLINFO_CONTENT_LENGTH_DOWNLOAD_T, &length);
  if (head_.status == 0 && length >= 0) head_.contentLengths = {std::to_string(length)};
  stopped_ = !receiver_->Head(head_);
  return !stopped_;
}

size_t CurlTransport::OnBody(char* data, size_t size, size_t count, void* self) {
  auto& t = *static_cast<CurlTransport*>(self);
  if (!t.HeadDone()) return 0;
  t.stopped_ = !t.receiver_->Body(data, size * count);
  return t.stopped_ ? 0 : size * count;
}

FetchEnd CurlTransport::Get(const std::string& url, FetchReceiver& receiver) {
  std::unique_ptr<CURL, decltype(&curl_easy_cleanup)> easy(curl_easy_init(), curl_easy_cleanup);
  std::unique_ptr<CURLM, decltype(&curl_multi_cleanup)> multi(curl_multi_init(),
                                                              curl_multi_cleanup);
  std::unique_ptr<curl_slist, decltype(&curl_slist_free_all)> fields(
      curl_slist_append(nullptr, "Cache-Control: no-cache"), curl_slist_free_all);
  fields.reset(curl_slist_append(fields.release(), "Pragma: no-cache"));
  if (!easy || !multi || !fields) return {FetchEnding::kFailed, "libcurl could not start"};
  curl_ = easy.get();
  receiver_ = &receiver;
  head_ = FetchHead();
  headDone_ = stopped_ = false;
  char errors[CURL_ERROR_SIZE] = {};
  CURL* c = curl_;
  curl_easy_setopt(c, CURLOPT_URL, url.c_str());
  curl_easy_setopt(c, CURLOPT_ERRORBUFFER, errors);
  curl_easy_setopt(c, CURLOPT_PROTOCOLS_STR, "http,https,ftp,ftps");
  curl_easy_setopt(c, CURLOPT_ACCEPT_ENCODING, KELVANE_ACCEPT_ENCODING);
  curl_easy_setopt(c, CURLOPT_HTTP_CONTENT_DECODING, 0L);  // the core decodes
  curl_easy_setopt(c, CURLOPT_USERAGENT, KELVANE_USER_AGENT("Linux"));
  curl_easy_setopt(c, CURLOPT_CONNECTTIMEOUT, kFetchConnectTimeoutSeconds);
  curl_easy_setopt(c, CURLOPT_SSL_VERIFYPEER, 1L);
  curl_easy_setopt(c, CURLOPT_SSL_VERIFYHOST, 2L);
  curl_easy_setopt(c, CURLOPT_HTTPHEADER, fields.get());
  curl_easy_setopt(c, CURLOPT_BUFFERSIZE, kBufferSize);
  curl_easy_setopt(c, CURLOPT_NOSIGNAL, 1L);
  curl_easy_setopt(c, CURLOPT_HEADERFUNCTION, OnHeader);
  curl_easy_setopt(c, CURLOPT_HEADERDATA, this);
  curl_easy_setopt(c, CURLOPT_WRITEFUNCTION, OnBody);
  curl_easy_setopt(c, CURLOPT_WRITEDATA, this);
  UseUpperCaseHttpProxy(c, url);
  if (curl_multi_add_handle(multi.get(), c) != CURLM_OK)
    return {FetchEnding::kFailed, "libcurl could not start"};

  // Runs the transfer, letting the receiver see it every 50 ms, also while
  // the server is silent.
  CURLcode code = CURLE_RECV_ERROR;
  auto reported = std::chrono::steady_clock::now();
  for (int running = 1; !stopped_;) {
    if (curl_multi_perform(multi.get(), &running) != CURLM_OK) break;
    if (running == 0) {
      int left = 0;
      const CURLMsg* message = curl_multi_info_read(multi.get(), &left);
      if (message && message->msg == CURLMSG_DONE) code = message->data.result;
      break;
    }
    const auto now = std::chrono::steady_clock::now();
    if (now - reported >= kProgressEvery) {
      reported = now;
      stopped_ = !receiver.Progress(
          std::chrono::duration_cast<std::chrono::milliseconds>(now.time_since_epoch()).count());
    }
    curl_multi_poll(multi.get(), nullptr, 0, kPollMilliseconds, nullptr);
  }
  curl_multi_remove_handle(multi.get(), c);
  if (stopped_) return {FetchEnding::kStopped, ""};
  return {EndingOf(code), code == CURLE_OK ? "" : errors[0] ? errors : curl_easy_strerror(code)};
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

class FileOutput : public FetchOutput {
 public:
  explicit FileOutput(int fd) : fd_(fd) {}
  bool Write(const char* data, size_t size, std::string& why) override {
    for (size_t done = 0; done < size;) {
      const ssize_t n = write(fd_, data + done, size - done);
      if (n < 0 && errno == EINTR) continue;
      if (n < 0) {
        why = std::strerror(errno);
        return false;
      }
      done += static_cast<size_t>(n);
    }
    return true;
  }

 private:
  int fd_;
};

}  // namespace

CurlFetcher::CurlFetcher() { curl_global_init(CURL_GLOBAL_DEFAULT); }
CurlFetcher::~CurlFetcher() { curl_global_cleanup(); }

FetchResult CurlFetcher::DownloadToFile(const std::string& url, const std::string& file,
                                        FetchMonitor& monitor, int64_t limit) {
  struct stat existing;
  if (file.empty() || file.back() == '/') return {kFetchPathNotFound, "no file name"};
  if (stat(file.c_str(), &existing) == 0 && S_ISDIR(existing.st_mode))
    return {kFetchAccessDenied, "the target is a folder"};
  PartialFile partial(file);
  if (const int error = partial.Open())
    return {FromErrno(error),
            "cannot create a file beside the target (" + std::string(std::strerror(error)) + ")"};
  FileOutput out(partial.fd());
  CurlTransport transport;
  FetchResult result = FetchIntoFile(transport, url, out, monitor, limit);
  if (result.code != 0) return result;
  if (const int error = partial.Commit(ModeOfDownload(partial.fd())))
    return {FromErrno(error),
            "cannot put the file in place (" + std::string(std::strerror(error)) + ")"};
  return result;
}

}  // namespace kelvane::linux_platform
