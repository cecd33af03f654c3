#include "platform/linux/fetcher_linux.h"

#include <curl/curl.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <memory>

#include "download/fetch_policy.h"

namespace kelvane::linux_platform {
namespace {

constexpr long kBufferSize = 512 * 1024;  // libcurl's largest receive buffer

struct Sink {
  int fd;
  int error = 0;
};

size_t WriteToFile(char* data, size_t size, size_t count, void* user) {
  auto* sink = static_cast<Sink*>(user);
  const size_t total = size * count;
  for (size_t done = 0; done < total;) {
    const ssize_t n = write(sink->fd, data + done, total - done);
    if (n < 0) {
      if (errno == EINTR) continue;
      sink->error = errno;
      return 0;  // anything short of `total` aborts the transfer
    }
    done += static_cast<size_t>(n);
  }
  return total;
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

// Runs one transfer into `fd`; 0 or a failure code.
int32_t Transfer(const std::string& url, int fd) {
  std::unique_ptr<CURL, decltype(&curl_easy_cleanup)> curl(curl_easy_init(), curl_easy_cleanup);
  if (!curl) return kFetchFailed;
  std::unique_ptr<curl_slist, decltype(&curl_slist_free_all)> headers(nullptr, curl_slist_free_all);
  headers.reset(curl_slist_append(nullptr, "Cache-Control: no-cache"));
  headers.reset(curl_slist_append(headers.release(), "Pragma: no-cache"));

  Sink sink{fd};
  CURL* c = curl.get();
  curl_easy_setopt(c, CURLOPT_URL, url.c_str());
  curl_easy_setopt(c, CURLOPT_PROTOCOLS_STR, "http,https,ftp,ftps");
  curl_easy_setopt(c, CURLOPT_REDIR_PROTOCOLS_STR, "http,https,ftp,ftps");
  curl_easy_setopt(c, CURLOPT_FOLLOWLOCATION, 1L);
  curl_easy_setopt(c, CURLOPT_MAXREDIRS, kFetchMaxRedirects);
  curl_easy_setopt(c, CURLOPT_FAILONERROR, 1L);
  curl_easy_setopt(c, CURLOPT_CONNECTTIMEOUT, kFetchConnectTimeoutSeconds);
  curl_easy_setopt(c, CURLOPT_LOW_SPEED_LIMIT, 1L);
  curl_easy_setopt(c, CURLOPT_LOW_SPEED_TIME, kFetchStallSeconds);
  curl_easy_setopt(c, CURLOPT_SSL_VERIFYPEER, 1L);
  curl_easy_setopt(c, CURLOPT_SSL_VERIFYHOST, 2L);
  curl_easy_setopt(c, CURLOPT_HTTPHEADER, headers.get());
  curl_easy_setopt(c, CURLOPT_BUFFERSIZE, kBufferSize);
  curl_easy_setopt(c, CURLOPT_NOSIGNAL, 1L);
  curl_easy_setopt(c, CURLOPT_WRITEFUNCTION, WriteToFile);
  curl_easy_setopt(c, CURLOPT_WRITEDATA, &sink);

  const CURLcode code = curl_easy_perform(c);
  if (sink.error != 0) return FromErrno(sink.error);
  if (code != CURLE_OK) return FromCurl(code);
  // A body shorter than its announced length is never accepted.
  curl_off_t expected = -1, received = 0;
  curl_easy_getinfo(c, CURLINFO_CONTENT_LENGTH_DOWNLOAD_T, &expected);
  curl_easy_getinfo(c, CURLINFO_SIZE_DOWNLOAD_T, &received);
  if (expected >= 0 && received != expected) return kFetchFailed;
  return 0;
}

}  // namespace

CurlFetcher::CurlFetcher() { curl_global_init(CURL_GLOBAL_DEFAULT); }
CurlFetcher::~CurlFetcher() { curl_global_cleanup(); }

int32_t CurlFetcher::DownloadToFile(const std::string& url, const std::string& file) {
  if (!IsFetchableUrl(url.c_str())) return kFetchInvalidUrl;
  struct stat existing;
  if (file.empty() || file.back() == '/') return kFetchPathNotFound;
  if (stat(file.c_str(), &existing) == 0 && S_ISDIR(existing.st_mode)) return kFetchAccessDenied;

  // The temporary sibling: a hidden name in the same folder, so the final
  // rename never crosses file systems.
  const size_t slash = file.rfind('/');
  const std::string folder = slash == std::string::npos ? "" : file.substr(0, slash + 1);
  const std::string name = slash == std::string::npos ? file : file.substr(slash + 1);
  std::string temp = folder + "." + name + ".part-XXXXXX";
  const int fd = mkstemp(temp.data());
  if (fd < 0) return FromErrno(errno);

  int32_t result = Transfer(url, fd);
  if (result == 0 && fchmod(fd, ModeOfDownload(fd)) != 0) result = FromErrno(errno);
  if (close(fd) != 0 && result == 0) result = FromErrno(errno);
  if (result == 0 && rename(temp.c_str(), file.c_str()) != 0) result = FromErrno(errno);
  if (result != 0) unlink(temp.c_str());
  return result;
}

}  // namespace kelvane::linux_platform
