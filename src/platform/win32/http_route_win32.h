#pragma once
#include <windows.h>

#include <atomic>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "download/socket_http_framing.h"
#include "platform/fetcher.h"

struct addrinfoW;  // one address found by GetAddrInfoW

namespace kelvane::win32 {

// One way of asking for a URL and reading its answer, once. A route reports
// a failure as the thread's last error, like the system calls it is made of.
class HttpRoute {
 public:
  virtual ~HttpRoute() = default;
  // Sends a GET for `url` and reads the head of the answer; false when no
  // answer came.
  virtual bool Open(const std::wstring& url, FetchHead& head) = 0;
  // Reads body bytes, not decoded; `read` is 0 at the end of the body.
  // False when the transfer failed or the body was cut short.
  virtual bool Read(char* buffer, DWORD size, DWORD& read) = 0;
  // Called from another thread: ends a blocked Open or Read; the route then
  // fails whatever it is asked.
  virtual void Stop() = 0;
};

// WinINet, with the system's proxy settings and https. It cannot tell a
// chunked body whose connection dropped from a whole one (under Wine at
// least), which the core sees only when the body is compressed.
class WinInetRoute : public HttpRoute {
 public:
  WinInetRoute();
  ~WinInetRoute() override;
  bool Open(const std::wstring& url, FetchHead& head) override;
  bool Read(char* buffer, DWORD size, DWORD& read) override;
  void Stop() override;

 private:
  bool Keep(void*& slot, void* handle);

  SRWLOCK lock_ = SRWLOCK_INIT;
  bool stopped_ = false;
  void* session_ = nullptr;
  void* request_ = nullptr;
  void* reading_ = nullptr;  // the request, for the thread that reads it
};

// Plain HTTP/1.1 on a socket of its own (framed by socket_http_framing.h),
// straight to the server or through the system's http proxy. It exists for
// the end of a body: WinINet, under Wine at least, ends a chunked body whose
// connection dropped like a whole one.
class SocketRoute : public HttpRoute {
 public:
  // `proxy`: "host:port" of an http proxy, or "" to connect directly.
  explicit SocketRoute(std::wstring proxy);
  ~SocketRoute() override;
  // The system's http proxy as `proxy` takes it; nothing when the settings
  // are more than the route follows (a script, a search, exceptions).
  static std::optional<std::wstring> SystemProxy();
  bool Open(const std::wstring& url, FetchHead& head) override;
  bool Read(char* buffer, DWORD size, DWORD& read) override;
  void Stop() override;

 private:
  bool Connect(const std::wstring& host, const std::wstring& port);
  // Connects to one address found for the host: true once connected; else
  // `error` says why, when the address got a socket at all.
  bool TryAddress(const addrinfoW& address, DWORD& error);
  bool ReadHead(HttpHead& head);
  bool Receive(char* buffer, int size, int& received);
  void Close();

  const std::wstring proxy_;
  std::atomic<uintptr_t> socket_;  // a SOCKET
  std::atomic<bool> stopped_{false};
  std::optional<HttpBody> body_;
  std::vector<char> pending_;  // received after the head, not yet read
  size_t pendingStart_ = 0;
  bool closed_ = false;  // by the server
};

}  // namespace kelvane::win32
