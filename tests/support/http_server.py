#!/usr/bin/env python3
"""A small loopback HTTP server for tests, with modes for bad servers.

  http_server.py --root DIR [--port 0] [--port-file FILE] [--while-file FILE]
                 [--lifetime SECONDS] [--tls PEM]

Serves files below DIR. The first path segment may pick a mode; the rest of
the path names the file (a missing file gives 404):
  /ok/NAME            200 with Content-Length (also plain /NAME)
  /redirect/NAME      302 to /ok/NAME
  /loop/NAME          302 to itself, for ever
  /notfound/NAME      404 with an error page
  /error/NAME         500 with an error page
  /cut/NAME           200, Content-Length of the whole file, half the body sent
  /cutchunked/NAME    200 chunked, half the body, then the connection drops
  /close/NAME         connection closed before any byte
  /stall/NAME         headers and a few bytes, then silence
  /large/SIZE         200 with SIZE bytes (suffix K, M or G) generated on the fly
  /slow/RATE/SIZE     like /large/SIZE, sent at RATE bytes a second
  /gzip/NAME          200 gzip-compressed with Content-Encoding: gzip, asked or not
  /badgzip/NAME       200 with Content-Encoding: gzip and a body that is not
  /empty/NAME         200 with an empty body
  /nocontent/NAME     204;  /notmodified/NAME 304
  /nolocation/NAME    302 with an HTML page and no Location
  /tohttp/PORT/NAME   302 to http://127.0.0.1:PORT/ok/NAME
With --tls (a PEM file holding the certificate and its key) it speaks https.
  /chunked/NAME       200 chunked, the whole body in two chunks
  /brotli/NAME        200 with Content-Encoding: br, which no client here decodes
With --while-file the server ends once that file is gone (a test removes
its port file to stop it, which works from Wine as well); --lifetime ends it
after that many seconds whatever happens.
Every request is logged to stdout as "METHOD PATH" and its Cache-Control and
Pragma headers, so tests can see what was asked (not with --quiet).
"""
import argparse
import gzip
import http.server
import os
import socketserver
import ssl
import sys
import threading
import time
import urllib.parse


def size_of(text):
    units = {"K": 1 << 10, "M": 1 << 20, "G": 1 << 30}
    return int(text[:-1]) * units[text[-1]] if text[-1] in units else int(text)


class Handler(http.server.BaseHTTPRequestHandler):
    protocol_version = "HTTP/1.1"
    root = "."
    quiet = False
    STATUS_ONLY = {"empty": (200, b""), "nocontent": (204, b""), "notmodified": (304, b""),
                   "nolocation": (302, b"<html>moved somewhere</html>")}

    def log_message(self, fmt, *args):
        pass

    def do_GET(self):
        if not self.quiet:
            print(f"GET {self.path} cache-control={self.headers.get('Cache-Control')} "
                  f"pragma={self.headers.get('Pragma')}", flush=True)
        path = urllib.parse.unquote(urllib.parse.urlsplit(self.path).path)
        parts = path.lstrip("/").split("/", 1)
        mode, rest = (parts[0], parts[1]) if len(parts) == 2 else ("ok", parts[0])
        if mode == "large":
            return self.send_large(size_of(rest))
        if mode == "slow":
            rate, size = rest.split("/", 1)
            return self.send_large(size_of(size), size_of(rate))
        if mode == "tohttp":
            port, name = rest.split("/", 1)
            return self.reply(302, b"", [("Location", f"http://127.0.0.1:{port}/ok/{name}")])
        if mode in self.STATUS_ONLY:
            status, body = self.STATUS_ONLY[mode]
            return self.reply(status, body)
        if mode == "loop":
            return self.reply(302, b"", [("Location", self.path)])
        if mode == "redirect":
            return self.reply(302, b"", [("Location", "/ok/" + urllib.parse.quote(rest))])
        if mode == "close":
            self.close_connection = True
            return
        if mode == "notfound":
            return self.reply(404, b"<html>not found</html>")
        if mode == "error":
            return self.reply(500, b"<html>server error</html>")
        file = os.path.join(self.root, rest)
        if not rest or not os.path.isfile(file):
            return self.reply(404, b"<html>not found</html>")
        if mode == "ok":
            return self.send_file(file)
        with open(file, "rb") as f:
            body = f.read()
        if mode == "gzip":
            return self.reply(200, gzip.compress(body), [("Content-Encoding", "gzip")])
        if mode == "badgzip":
            return self.reply(200, body, [("Content-Encoding", "gzip")])
        if mode == "cut":
            self.send_response(200)
            self.send_header("Content-Length", str(len(body)))
            self.end_headers()
            self.wfile.write(body[: len(body) // 2])
            self.close_connection = True
            return
        if mode == "chunked":
            self.send_response(200)
            self.send_header("Transfer-Encoding", "chunked")
            self.end_headers()
            half = len(body) // 2
            for part in (body[:half], body[half:], b""):
                self.wfile.write(b"%x\r\n%s\r\n" % (len(part), part))
            return
        if mode == "brotli":
            return self.reply(200, body, [("Content-Encoding", "br")])
        if mode == "cutchunked":
            self.send_response(200)
            self.send_header("Transfer-Encoding", "chunked")
            self.end_headers()
            half = body[: max(1, len(body) // 2)]
            self.wfile.write(b"%x\r\n%s\r\n" % (len(half), half))
            self.close_connection = True
            return
        if mode == "stall":
            self.send_response(200)
            self.send_header("Content-Length", str(len(body) + 1000))
            self.end_headers()
            self.wfile.write(body[:10])
            self.wfile.flush()
            time.sleep(3600)
            return
        return self.reply(404, b"<html>unknown mode</html>")

    def reply(self, status, body, headers=()):
        self.send_response(status)
        for k, v in headers:
            self.send_header(k, v)
        self.send_header("Content-Type", "application/octet-stream")
        self.send_header("Content-Length", str(len(body)))
        self.end_headers()
        self.wfile.write(body)

    def send_file(self, file):
        # Streamed by the kernel: the benchmarks serve files of a gigabyte.
        with open(file, "rb") as f:
            self.send_response(200)
            self.send_header("Content-Type", "application/octet-stream")
            self.send_header("Content-Length", str(os.fstat(f.fileno()).st_size))
            self.end_headers()
            try:
                self.connection.sendfile(f)
            except (BrokenPipeError, ConnectionResetError):
                pass

    def send_large(self, size, rate=None):
        self.send_response(200)
        self.send_header("Content-Length", str(size))
        self.end_headers()
        block = bytes(range(256)) * 4096  # 1 MiB
        step = max(1, rate // 20) if rate else len(block)  # 20 steps a second
        start, sent = time.monotonic(), 0
        try:
            while sent < size:
                n = min(size - sent, step)
                self.wfile.write(block[:n])
                sent += n
                if rate:
                    time.sleep(max(0.0, start + sent / rate - time.monotonic()))
        except (BrokenPipeError, ConnectionResetError):
            pass


class Server(socketserver.ThreadingMixIn, http.server.HTTPServer):
    daemon_threads = True
    allow_reuse_address = True

    def handle_error(self, request, client_address):
        if not Handler.quiet:  # clients that hang up are expected in tests
            super().handle_error(request, client_address)


def watch(server, while_file, lifetime):
    end = time.monotonic() + lifetime if lifetime else None
    while (not while_file or os.path.exists(while_file)) and \
            (end is None or time.monotonic() < end):
        time.sleep(0.2)
    server.shutdown()


def main():
    p = argparse.ArgumentParser()
    p.add_argument("--root", default=".")
    p.add_argument("--port", type=int, default=0)
    p.add_argument("--port-file")
    p.add_argument("--while-file")
    p.add_argument("--lifetime", type=float)
    p.add_argument("--quiet", action="store_true")
    p.add_argument("--tls")
    a = p.parse_args()
    Handler.root = a.root
    Handler.quiet = a.quiet
    server = Server(("127.0.0.1", a.port), Handler)
    if a.tls:
        context = ssl.SSLContext(ssl.PROTOCOL_TLS_SERVER)
        context.load_cert_chain(a.tls)
        server.socket = context.wrap_socket(server.socket, server_side=True)
    port = server.server_address[1]
    if a.port_file:
        tmp = a.port_file + ".tmp"
        with open(tmp, "w") as f:
            f.write(str(port))
        os.replace(tmp, a.port_file)
    if not a.quiet:
        print(f"listening {port}", flush=True)
    if a.while_file or a.lifetime:
        threading.Thread(target=watch, args=(server, a.while_file, a.lifetime),
                         daemon=True).start()
    try:
        server.serve_forever()
    except KeyboardInterrupt:
        pass


if __name__ == "__main__":
    main()
