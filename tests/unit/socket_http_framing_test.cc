#include "download/socket_http_framing.h"

#include <gtest/gtest.h>

namespace kelvane {
namespace {

HttpHead Head(const char* text) {
  HttpHead head;
  EXPECT_TRUE(ParseHttpHead(text, head)) << text;
  return head;
}

// The body that `wire` carries when it arrives in two reads split at `split`,
// and whether it was complete when the connection closed after it.
std::pair<std::string, bool> Receive(const HttpHead& head, std::string wire, size_t split) {
  HttpBody body(head);
  std::string out;
  for (auto [from, to] : {std::pair{size_t{0}, split}, std::pair{split, wire.size()}}) {
    std::string part = wire.substr(from, to - from);
    out.append(part.data(), body.Take(part.data(), part.size()));
  }
  return {out, !body.Malformed() && body.Complete(true)};
}

TEST(HttpFraming, ReadsTheHead) {
  const HttpHead head = Head(
      "HTTP/1.1 302 Found\r\nlocation: /x\r\nContent-Encoding: gzip\r\n"
      "Transfer-Encoding: gzip, chunked\r\nContent-Length: 5");
  EXPECT_EQ(head.status, 302);
  EXPECT_EQ(head.reason, "Found");
  EXPECT_EQ(head.location, "/x");
  EXPECT_EQ(head.contentEncoding, "gzip");
  EXPECT_TRUE(head.chunked);
  EXPECT_EQ(head.contentLength, 5);
  EXPECT_EQ(Head("HTTP/1.1 200 OK\r\nContent-Encoding: Identity").contentEncoding, "");
  HttpHead bad;
  for (const char* text : {"<html>", "HTTP/1.1 2x0 OK", "HTTP/1.1 200 OK\nContent-Length: 1x",
                           "HTTP/1.1 200 OK\nContent-Length: 1\nContent-Length: 2"})
    EXPECT_FALSE(ParseHttpHead(text, bad)) << text;
}

TEST(HttpFraming, AChunkedBodyIsWholeOnlyWithItsLastChunkAtAnySplit) {
  const HttpHead head = Head("HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked");
  const std::string wire = "5;name=v\r\nhello\r\nA\r\n, world!!!\r\n0\r\nX-Sum: 1\r\n\r\n";
  for (size_t split = 0; split <= wire.size(); ++split) {
    EXPECT_EQ(Receive(head, wire, split), std::pair(std::string("hello, world!!!"), true)) << split;
    // Cut anywhere before its end, the body is not whole.
    if (split < wire.size()) {
      EXPECT_FALSE(Receive(head, wire.substr(0, split), split).second) << split;
    }
  }
  EXPECT_FALSE(Receive(head, "5\r\nhelloXX0\r\n\r\n", 0).second);  // no CR LF after the data
  EXPECT_FALSE(Receive(head, "z\r\n", 0).second);
}

TEST(HttpFraming, ALengthFramesTheBodyAndNoLengthEndsItAtTheClose) {
  EXPECT_EQ(Receive(Head("HTTP/1.1 200 OK\r\nContent-Length: 3"), "abcdef", 1),
            std::pair(std::string("abc"), true));
  EXPECT_FALSE(Receive(Head("HTTP/1.1 200 OK\r\nContent-Length: 3"), "ab", 1).second);
  EXPECT_EQ(Receive(Head("HTTP/1.0 200 OK"), "abc", 2), std::pair(std::string("abc"), true));
  EXPECT_EQ(Receive(Head("HTTP/1.1 204 No Content"), "", 0), std::pair(std::string(), true));
}

}  // namespace
}  // namespace kelvane
