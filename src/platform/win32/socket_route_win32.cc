#include <windows.h>
#include <wininet.h>
#include <winsock2.h>
#include <ws2tcpip.h>

#include <algorithm>
#include <cstring>

#include "download/fetch_policy.h"
#include "platform/win32/http_route_win32.h"
#include "platform/win32/wide_text_win32.h"

namespace kelvane::win32 {
namespace {

// A head longer than this is not a server's answer to a GET.
constexpr size_t kLargestHead = 64 * 1024;
constexpr size_t kHeadRead = 16 * 1024;

bool Fail(DWORD error) {
  SetLastError(error);
  return false;
}

// Waits for a connection under way: 1 once `s` is connected, 0 at the
// time-out, anything else when it failed.
int AwaitConnection(SOCKET s) {
  fd_set writable, failed;
  FD_ZERO(&writable);
  FD_ZERO(&failed);
  FD_SET(s, &writable);
  FD_SET(s, &failed);
  timeval wait{kFetchConnectTimeoutSeconds, 0};
  const int ready = select(0, nullptr, &writable, &failed, &wait);
  return ready == 1 && !FD_ISSET(s, &writable) ? -1 : ready;
}

}  // namespace

SocketRoute::SocketRoute(std::wstring proxy) : proxy_(std::move(proxy)), socket_(INVALID_SOCKET) {
  WSADATA data;
  WSAStartup(MAKEWORD(2, 2), &data);
}

SocketRoute::~SocketRoute() {
  Close();
  WSACleanup();
}

std::optional<std::wstring> SocketRoute::SystemProxy() {
  INTERNET_PER_CONN_OPTIONW options[3] = {};
  options[0].dwOption = INTERNET_PER_CONN_FLAGS;
  options[1].dwOption = INTERNET_PER_CONN_PROXY_SERVER;
  options[2].dwOption = INTERNET_PER_CONN_PROXY_BYPASS;
  INTERNET_PER_CONN_OPTION_LISTW list{};
  list.dwSize = sizeof list;
  list.dwOptionCount = 3;
  list.pOptions = options;
  DWORD size = sizeof list;
  if (!InternetQueryOptionW(nullptr, INTERNET_OPTION_PER_CONNECTION_OPTION, &list, &size))
    return std::nullopt;
  std::wstring server = options[1].Value.pszValue ? options[1].Value.pszValue : L"";
  const bool bypass = options[2].Value.pszValue && *options[2].Value.pszValue;
  GlobalFree(options[1].Value.pszValue);
  GlobalFree(options[2].Value.pszValue);
  const DWORD flags = options[0].Value.dwValue;
  if (flags == PROXY_TYPE_DIRECT) return L"";
  // A script, a search or a list of exceptions is WinINet's to follow.
  if (flags != (PROXY_TYPE_DIRECT | PROXY_TYPE_PROXY) && flags != PROXY_TYPE_PROXY)
    return std::nullopt;
  if (bypass) return std::nullopt;
  // "host:port", or per scheme: "http=host:port;https=..."
  const size_t http = server.find(L"http=");
  if (http != std::wstring::npos)
    server = server.substr(http + 5);
  else if (server.find(L'=') != std::wstring::npos)
    return std::nullopt;
  server = server.substr(0, server.find(L';'));
  if (server.rfind(L"http://", 0) == 0) server = server.substr(7);
  if (server.empty()) return std::nullopt;
  return server.substr(0, server.find(L'/'));
}

void SocketRoute::Close() {
  const SOCKET s = socket_.exchange(INVALID_SOCKET);
  if (s != INVALID_SOCKET) closesocket(s);
}

void SocketRoute::Stop() {
  stopped_ = true;
  // Shut down, not closed: the reading thread still holds the number.
  const SOCKET s = socket_;
  if (s != INVALID_SOCKET) shutdown(s, SD_BOTH);
}

bool SocketRoute::Connect(const std::wstring& host, const std::wstring& port) {
  ADDRINFOW hints{};
  hints.ai_family = AF_UNSPEC;
  hints.ai_socktype = SOCK_STREAM;
  ADDRINFOW* found = nullptr;
  if (const int error = GetAddrInfoW(host.c_str(), port.c_str(), &hints, &found))
    return Fail(error == WSAHOST_NOT_FOUND || error == WSANO_DATA ? ERROR_INTERNET_NAME_NOT_RESOLVED
                                                                  : static_cast<DWORD>(error));
  DWORD error = ERROR_INTERNET_CANNOT_CONNECT;
  bool connected = false;
  for (ADDRINFOW* a = found; a && !stopped_ && !connected; a = a->ai_next)
    connected = TryAddress(*a, error);
  FreeAddrInfoW(found);
  return connected || Fail(stopped_ ? ERROR_CANCELLED : error);
}

bool SocketRoute::TryAddress(const ADDRINFOW& a, DWORD& error) {
  const SOCKET s = socket(a.ai_family, a.ai_socktype, a.ai_protocol);
  if (s == INVALID_SOCKET) return false;
  socket_ = s;
  // Connects without blocking, to give up after the time-out.
  u_long nonBlocking = 1;
  ioctlsocket(s, FIONBIO, &nonBlocking);
  connect(s, a.ai_addr, static_cast<int>(a.ai_addrlen));
  const int ready = AwaitConnection(s);
  if (ready == 1) {
    // Blocking from here: a stalled transfer is stopped by the core
    // (Stop shuts the socket down).
    nonBlocking = 0;
    ioctlsocket(s, FIONBIO, &nonBlocking);
    return true;
  }
  error = ready == 0 ? ERROR_INTERNET_TIMEOUT : ERROR_INTERNET_CANNOT_CONNECT;
  Close();
  return false;
}

bool SocketRoute::Receive(char* buffer, int size, int& received) {
  received = recv(socket_, buffer, size, 0);
  if (stopped_) return Fail(ERROR_CANCELLED);
  if (received == SOCKET_ERROR) {
    return Fail(WSAGetLastError() == WSAETIMEDOUT ? ERROR_INTERNET_TIMEOUT
                                                  : ERROR_INTERNET_CONNECTION_ABORTED);
  }
  closed_ = received == 0;
  return true;
}

bool SocketRoute::ReadHead(HttpHead& head) {
  pending_.clear();
  pendingStart_ = 0;
  for (;;) {
    const auto end = std::search(pending_.begin(), pending_.end(), "\r\n\r\n", "\r\n\r\n" + 4);
    if (end != pending_.end()) {
      const size_t headSize = end - pending_.begin();
      if (!ParseHttpHead(std::string_view(pending_.data(), headSize), head))
        return Fail(ERROR_HTTP_INVALID_SERVER_RESPONSE);
      pending_.erase(pending_.begin(), end + 4);
      // An interim answer (100 Continue) comes before the real one.
      if (head.status >= 200) return true;
      continue;
    }
    if (closed_ || pending_.size() > kLargestHead)
      return Fail(closed_ && pending_.empty() ? ERROR_INTERNET_CONNECTION_ABORTED
                                              : ERROR_HTTP_INVALID_SERVER_RESPONSE);
    const size_t had = pending_.size();
    pending_.resize(had + kHeadRead);
    int received = 0;
    if (!Receive(pending_.data() + had, kHeadRead, received)) return false;
    pending_.resize(had + received);
  }
}

bool SocketRoute::Open(const std::wstring& url, FetchHead& fields) {
  Close();
  body_.reset();
  closed_ = false;
  URL_COMPONENTSW parts{};
  parts.dwStructSize = sizeof parts;
  parts.dwHostNameLength = parts.dwUrlPathLength = parts.dwExtraInfoLength = 1;
  if (!InternetCrackUrlW(url.c_str(), 0, 0, &parts)) return false;
  const std::wstring host(parts.lpszHostName, parts.dwHostNameLength);
  std::wstring target(parts.lpszUrlPath, parts.dwUrlPathLength);
  target =
      (target.empty() ? L"/" : target) + std::wstring(parts.lpszExtraInfo, parts.dwExtraInfoLength);
  wchar_t port[8];
  _ultow(parts.nPort, port, 10);
  // Through a proxy: connected to it, asking for the whole URL.
  const size_t colon = proxy_.rfind(L':');
  const bool proxied = !proxy_.empty();
  if (proxied) target = url;
  if (!(proxied ? Connect(proxy_.substr(0, colon),
                          colon == std::wstring::npos ? L"80" : proxy_.substr(colon + 1))
                : Connect(host, port)))
    return false;
  // IPv6 addresses keep their brackets in the Host header.
  const std::wstring hostField =
      (host.find(L':') != std::wstring::npos ? L"[" + host + L"]" : host) +
      (parts.nPort == 80 ? L"" : L":" + std::wstring(port));
  const std::string request = "GET " + Narrow(target) + " HTTP/1.1\r\nHost: " + Narrow(hostField) +
                              "\r\nUser-Agent: " KELVANE_USER_AGENT(
                                  "Windows") "\r\nAccept-Encoding: " KELVANE_ACCEPT_ENCODING
                                             "\r\nCache-Control: no-cache\r\nPragma: no-cache\r\n"
                                             "Connection: close\r\n\r\n";
  if (send(socket_, request.data(), static_cast<int>(request.size()), 0) !=
      static_cast<int>(request.size()))
    return Fail(stopped_ ? ERROR_CANCELLED : ERROR_INTERNET_CONNECTION_ABORTED);
  HttpHead head;
  if (!ReadHead(head)) return false;
  body_.emplace(head);
  fields.status = head.status;
  if (head.contentLength >= 0) fields.contentLengths = {std::to_string(head.contentLength)};
  fields.transferEncoding = head.transferEncoding;
  fields.contentEncoding = head.contentEncoding;
  fields.location = head.location;
  return true;
}

bool SocketRoute::Read(char* buffer, DWORD size, DWORD& read) {
  read = 0;
  while (read == 0) {
    if (body_->Malformed()) return Fail(ERROR_HTTP_INVALID_SERVER_RESPONSE);
    if (body_->Complete(closed_)) return true;
    if (closed_) return Fail(ERROR_INTERNET_CONNECTION_ABORTED);  // cut short
    int received = 0;
    if (pendingStart_ < pending_.size()) {
      received = static_cast<int>(std::min<size_t>(size, pending_.size() - pendingStart_));
      std::memcpy(buffer, pending_.data() + pendingStart_, received);
      pendingStart_ += received;
    } else if (!Receive(buffer, static_cast<int>(size), received)) {
      return false;
    }
    read = static_cast<DWORD>(body_->Take(buffer, static_cast<size_t>(received)));
  }
  return true;
}

}  // namespace kelvane::win32
