#include "download/fetch_policy.h"

#include <gtest/gtest.h>

#include <map>

namespace kelvane {
namespace {

// Answers by URL with a status and a Location or a body; records what was asked.
struct ScriptedTransport : FetchTransport, FetchOutput, FetchMonitor {
  std::map<std::string, std::pair<int, std::string>> answers;
  std::vector<std::string> asked;
  std::string written;
  FetchEnd Get(const std::string& url, FetchReceiver& receiver) override {
    asked.push_back(url);
    if (!answers.count(url)) return {FetchEnding::kCannotConnect, ""};
    const auto& [status, text] = answers[url];
    FetchHead head;
    head.status = status;
    (status == 200 ? head.contentLengths.emplace_back() : head.location) =
        status == 200 ? std::to_string(text.size()) : text;
    if (!receiver.Head(head) || !receiver.Body(text.data(), text.size()))
      return {FetchEnding::kStopped, ""};
    return {FetchEnding::kWhole, ""};
  }
  bool Write(const char* data, size_t size, std::string&) override {
    written.append(data, size);
    return true;
  }
  bool Progress(int64_t, int64_t) override { return true; }
};

// Redirects are resolved against the URL that answered and never leave https.
TEST(FetchPolicy, FollowsRedirectsButNeverFromHttpsToAnotherScheme) {
  const struct {
    std::string location, next;  // next: "" when refused
  } rows[] = {
      {"http://h/p/b", ""},       {"ftp://h/p/b", ""},      {"/b", "https://h/b"},
      {"b?x", "https://h/p/b?x"}, {"//g/c", "https://g/c"}, {"?q", "https://h/p/a?q"},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.location);
    ScriptedTransport t;
    t.answers["https://h/p/a"] = {302, row.location};
    if (!row.next.empty()) t.answers[row.next] = {200, "file"};
    const FetchResult result = FetchIntoFile(t, "https://h/p/a", t, t, 0);
    EXPECT_EQ(result.code == 0, !row.next.empty()) << result.reason;
    EXPECT_EQ(t.asked.size(), row.next.empty() ? 1u : 2u);
    EXPECT_EQ(t.written, row.next.empty() ? "" : "file");
  }
}

}  // namespace
}  // namespace kelvane
