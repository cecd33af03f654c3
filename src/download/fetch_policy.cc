#include "download/fetch_policy.h"

#include <atomic>
#include <optional>

#include "common/text.h"
#include "download/content_decoder.h"

namespace kelvane {
namespace {

bool HasScheme(const std::string& url, std::string_view scheme) {
  return UpperCase(url.substr(0, scheme.size())) == UpperCase(scheme);
}

bool IsHttp(const std::string& url) { return HasScheme(url, "http:") || HasScheme(url, "https:"); }

bool IsRedirect(int status) {
  return status == 301 || status == 302 || status == 303 || status == 307 || status == 308;
}

// A Content-Length value: digits only (a list or a sign is not a length).
std::optional<int64_t> LengthOf(std::string_view value) {
  const std::string digits = Trim(value);
  if (digits.empty() || digits.size() > 18) return std::nullopt;
  int64_t length = 0;
  for (const char c : digits) {
    if (c < '0' || c > '9') return std::nullopt;
    length = length * 10 + (c - '0');
  }
  return length;
}

std::string WithDetail(std::string reason, const std::string& detail) {
  return detail.empty() ? reason : reason + " (" + detail + ")";
}

FetchResult ReasonOf(const FetchEnd& end) {
  switch (end.ending) {
    case FetchEnding::kCut:
      return {kFetchFailed, WithDetail("connection closed before the end of the body", end.detail)};
    case FetchEnding::kMalformed:
      return {kFetchFailed, WithDetail("not a valid HTTP answer", end.detail)};
    case FetchEnding::kInvalidUrl:
      return {kFetchInvalidUrl, WithDetail("not a URL that can be fetched", end.detail)};
    case FetchEnding::kHostNotFound:
      return {kFetchHostNotFound, WithDetail("host not found", end.detail)};
    case FetchEnding::kCannotConnect:
      return {kFetchCannotConnect, WithDetail("cannot connect", end.detail)};
    default:
      return {kFetchFailed, WithDetail("transfer failed", end.detail)};
  }
}

FetchResult FromEnding(const FetchEnd& end) {
  FetchResult result = ReasonOf(end);
  result.systemError = end.systemError;
  return result;
}

// One answer, judged as it comes: the head, the body through its decoder,
// the stall rule on every progress call, and the verdict at its end.
class Answer : public FetchReceiver {
 public:
  Answer(const std::string& url, FetchOutput& out, FetchMonitor& monitor, int64_t limit)
      : http_(IsHttp(url)), out_(out), monitor_(monitor), limit_(limit) {}

  const std::string& Redirect() const { return redirect_; }

  bool Head(const FetchHead& head) override {
    if (http_ && IsRedirect(head.status)) {
      redirect_ = Trim(head.location);
      if (redirect_.empty()) Refuse(kFetchFailed, StatusText(head) + " without a Location");
      return false;
    }
    // 206 and the like are never the file: no range is ever asked for.
    if (http_ && head.status != 200 && head.status != 203)
      return Refuse(head.status >= 400 ? kFetchHttpError : kFetchFailed, StatusText(head));
    // With chunks the last chunk ends the body, whatever the lengths say.
    const std::string coding = UpperCase(Trim(head.transferEncoding));
    if (!coding.empty() && coding != "CHUNKED")
      return Refuse(kFetchFailed,
                    "transfer coding \"" + Trim(head.transferEncoding) + "\" not supported");
    // Two lengths, even equal ones, or a list: the body's end is in doubt.
    if (coding.empty() && !head.contentLengths.empty()) {
      const std::optional<int64_t> length = LengthOf(head.contentLengths[0]);
      if (head.contentLengths.size() > 1 || !length)
        return Refuse(kFetchFailed, "not one Content-Length");
      expected_ = *length;
    }
    decoder_.emplace(head.contentEncoding);
    if (!decoder_->Known())
      return Refuse(kFetchFailed,
                    "content coding \"" + Trim(head.contentEncoding) + "\" not supported");
    total_ = limit_ > 0 && (expected_ < 0 || expected_ > limit_) ? limit_ : expected_;
    headSeen_ = true;
    return true;
  }

  bool Body(const char* data, size_t size) override {
    received_ += static_cast<int64_t>(size);
    const bool fed =
        decoder_->Feed(data, size, [this](const char* bytes, size_t n) { return Write(bytes, n); });
    if (!fed && refusal_.code == 0 && !limitReached_)
      Refuse(kFetchFailed, "the compressed body is damaged");
    return fed;
  }

  bool Progress(int64_t nowMs) override {
    const int64_t total = total_;
    const int64_t received = total >= 0 ? std::min<int64_t>(received_, total) : received_.load();
    if (!monitor_.Progress(received, total)) {
      cancelled_ = true;
      return false;
    }
    // The stall rule: less than the stall rate over the last stall period.
    if (markMs_ < 0) markMs_ = nowMs;
    if (nowMs - markMs_ >= kFetchStallSeconds * 1000) {
      if (received_ - markReceived_ < kFetchStallBytesPerSecond * kFetchStallSeconds) {
        stalled_ = true;
        return false;
      }
      markMs_ = nowMs;
      markReceived_ = received_;
    }
    return true;
  }

  // The verdict once the transport has ended; nothing for a redirect.
  std::optional<FetchResult> Judge(const FetchEnd& end) const {
    if (refusal_.code != 0) return refusal_;
    if (cancelled_) return FetchResult{kFetchCancelled, "stopped by the user"};
    if (stalled_)
      return FetchResult{kFetchTimedOut,
                         "slower than " + std::to_string(kFetchStallBytesPerSecond) +
                             " bytes/s over " + std::to_string(kFetchStallSeconds) + " s"};
    if (limitReached_) return FetchResult{};
    if (!redirect_.empty()) return std::nullopt;
    if (end.ending != FetchEnding::kWhole) return FromEnding(end);
    if (!headSeen_) return FetchResult{kFetchFailed, "no answer"};
    if (expected_ >= 0 && received_ != expected_)
      return FetchResult{kFetchFailed, "the body ended after " + std::to_string(received_) +
                                           " of " + std::to_string(expected_) + " bytes"};
    if (!decoder_->Ended()) return FetchResult{kFetchFailed, "the compressed body is cut short"};
    if (written_ == 0) return FetchResult{kFetchFailed, "the body is empty"};
    return FetchResult{};
  }

 private:
  static std::string StatusText(const FetchHead& head) {
    return "HTTP status " + std::to_string(head.status);
  }
  bool Refuse(int32_t code, std::string reason) {
    refusal_ = {code, std::move(reason)};
    return false;
  }
  bool Write(const char* data, size_t size) {
    if (limit_ > 0 && written_ + static_cast<int64_t>(size) > limit_) {
      size = static_cast<size_t>(limit_ - written_);
      limitReached_ = true;
    }
    std::string why;
    if (size > 0 && !out_.Write(data, size, why))
      return Refuse(kFetchAccessDenied, WithDetail("cannot write the file", why));
    written_ += static_cast<int64_t>(size);
    return !limitReached_;
  }

  const bool http_;
  FetchOutput& out_;
  FetchMonitor& monitor_;
  const int64_t limit_;
  // Written by the transport's thread, read by the caller's while it runs.
  std::atomic<int64_t> received_{0};
  std::atomic<int64_t> total_{-1};
  // The transport's thread only, until it has ended.
  std::optional<ContentDecoder> decoder_;
  FetchResult refusal_;
  std::string redirect_;
  int64_t expected_ = -1;
  int64_t written_ = 0;
  bool headSeen_ = false, limitReached_ = false;
  // The caller's thread only.
  bool cancelled_ = false, stalled_ = false;
  int64_t markMs_ = -1;
  int64_t markReceived_ = 0;
};

}  // namespace

bool IsFetchableUrl(const std::string& url) {
  if (url.empty()) return false;
  for (const char c : url) {
    if (static_cast<unsigned char>(c) <= ' ' || c == 0x7F) return false;
  }
  return true;
}

std::string ResolveUrl(const std::string& base, const std::string& location) {
  const size_t colon = location.find(':');
  const size_t firstOther = location.find_first_of("/?#");
  if (colon != std::string::npos && colon > 0 && colon < firstOther) return location;  // absolute
  const size_t scheme = base.find("://");
  if (scheme == std::string::npos || location.empty()) return "";
  const size_t pathStart = std::min(base.find_first_of("/?#", scheme + 3), base.size());
  if (location.rfind("//", 0) == 0) return base.substr(0, scheme + 1) + location;
  if (location.front() == '/') return base.substr(0, pathStart) + location;
  const std::string stem =
      base.substr(0, std::min(base.find_first_of("?#", pathStart), base.size()));
  if (location.front() == '?') return stem + location;
  const size_t slash = stem.rfind('/');
  return (slash < pathStart || slash == std::string::npos ? stem + "/"
                                                          : stem.substr(0, slash + 1)) +
         location;
}

FetchResult FetchIntoFile(FetchTransport& transport, const std::string& url, FetchOutput& out,
                          FetchMonitor& monitor, int64_t limit) {
  if (!IsFetchableUrl(url)) return {kFetchInvalidUrl, "not a URL"};
  std::string current = url;
  for (int redirects = 0;; ++redirects) {
    Answer answer(current, out, monitor, limit);
    const FetchEnd end = transport.Get(current, answer);
    if (const std::optional<FetchResult> verdict = answer.Judge(end)) return *verdict;
    if (redirects == kFetchMaxRedirects)
      return {kFetchRedirectLoop, "more than " + std::to_string(kFetchMaxRedirects) + " redirects"};
    const std::string next = ResolveUrl(current, answer.Redirect());
    if (next.empty()) return {kFetchFailed, "redirected to \"" + answer.Redirect() + "\""};
    // Once secure, never redirected to a plain transfer.
    if (HasScheme(current, "https:") && !HasScheme(next, "https:"))
      return {kFetchFailed, "redirected from https to " + next + ", refused"};
    current = next;
  }
}

}  // namespace kelvane
