#pragma once
#include <windows.h>

#include <atomic>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "download/http_framing.h"

namespace kelvane::win32 {

// One way of asking for a URL and reading its answer. A route reports a
// failure as the thread's last error, like the system calls it is made of.
class HttpRoute {
 public:
  virtual ~HttpRoute() = default;
  // Sends a GET for `url` and reads the head of the answer; false when no
  // answer came. An earlier answer of the route is dropped.
  virtual bool Open(const std::wstring& url, HttpHead& head) = 0;
  // Reads body bytes, decoded; `read` is 0 at the end of the body. False
  // when the transfer failed or the body was cut short.
  virtual bool Read(char* buffer, DWORD size, DWORD& read) = 0;
  // Called from another thread: ends a blocked Open or Read; the route then
  // fails whatever it is asked.
  virtual void Stop() = 0;
};

// WinINet, with the system's proxy settings, https and decoding.
class WinInetRoute : public HttpRoute {
 public:
  WinInetRoute();
  ~WinInetRoute() override;
  bool Open(const std::wstring& url, HttpHead& head) override;
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

// Plain HTTP/1.1 on a socket of its own, for a system that connects
// directly. It exists for the end of a body: WinINet, under Wine at least,
// ends a chunked body whose connection dropped like a whole one. It asks for
// the body unencoded; an encoded answer is one for WinInetRoute.
class SocketRoute : public HttpRoute {
 public:
  SocketRoute();
  ~SocketRoute() override;
  // Whether the system's settings let plain http go straight to the server.
  static bool ConnectsDirectly();
  bool Open(const std::wstring& url, HttpHead& head) override;
  bool Read(char* buffer, DWORD size, DWORD& read) override;
  void Stop() override;

 private:
  bool Connect(const std::wstring& host, const std::wstring& port);
  bool ReadHead(HttpHead& head);
  bool Receive(char* buffer, int size, int& received);
  void Close();

  std::atomic<uintptr_t> socket_;  // a SOCKET
  std::atomic<bool> stopped_{false};
  std::optional<HttpBody> body_;
  std::vector<char> pending_;  // received after the head, not yet read
  size_t pendingStart_ = 0;
  bool closed_ = false;  // by the server
};

}  // namespace kelvane::win32
