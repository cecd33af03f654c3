#!/usr/bin/env python3
"""A loopback HTTP server for tests, with modes for bad servers.

  http_server.py --root DIR [--port-file FILE] [--while-file FILE]
                 [--lifetime SECONDS] [--quiet] [--tls PEM]

Serves the files below DIR (a missing one gives 404). A first path segment
may pick a mode: ok (also no mode), redirect, loop (a redirect to itself),
notfound, cut and cutchunked (half the body, then the connection drops),
close (before any byte), stall (a few bytes, then silence), gzip, badgzip
(labelled gzip, but not), brotli, chunked, empty, notmodified, nolocation
(a 302 without Location); large/SIZE and slow/RATE/SIZE make SIZE bytes
(suffix K, M or G), tohttp/PORT/NAME redirects to plain http on PORT.
The server ends once the --while-file is gone (also from Wine) or after
--lifetime. Each request is logged to stdout as "GET PATH" unless --quiet.
"""
import argparse
import gzip
import http.server
import os
import socketserver
import ssl
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
    STATUS_ONLY = {"empty": (200, b""), "notmodified": (304, b""), "notfound": (404, b"<html>no</html>"),
                   "nolocation": (302, b"<html>moved somewhere</html>")}
    ENCODED = {"gzip": ("gzip", gzip.compress), "badgzip": ("gzip", bytes), "brotli": ("br", bytes)}

    def log_message(self, fmt, *args):
        pass

    def do_GET(self):
        if not self.quiet:
            print(f"GET {self.path}", flush=True)
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
            return self.reply(*self.STATUS_ONLY[mode])
        if mode == "loop":
            return self.reply(302, b"", [("Location", self.path)])
        if mode == "redirect":
            return self.reply(302, b"", [("Location", "/ok/" + urllib.parse.quote(rest))])
        if mode == "close":
            self.close_connection = True
            return
        file = os.path.join(self.root, rest)
        if not rest or not os.path.isfile(file):
            return self.reply(404, b"<html>not found</html>")
        if mode == "ok":
            return self.send_file(file)
        with open(file, "rb") as f:
            body = f.read()
        if mode in self.ENCODED:
            encoding, encode = self.ENCODED[mode]
            return self.reply(200, encode(body), [("Content-Encoding", encoding)])
        if mode not in ("cut", "chunked", "cutchunked", "stall"):
            return self.reply(404, b"<html>unknown mode</html>")
        self.send_response(200)
        if mode == "cut":
            self.send_header("Content-Length", str(len(body)))
            self.end_headers()
            self.wfile.write(body[: len(body) // 2])
            self.close_connection = True
        elif mode in ("chunked", "cutchunked"):
            self.send_header("Transfer-Encoding", "chunked")
            self.end_headers()
            half = max(1, len(body) // 2)
            chunks = (body[:half], body[half:], b"") if mode == "chunked" else (body[:half],)
            for part in chunks:
                self.wfile.write(b"%x\r\n%s\r\n" % (len(part), part))
            self.close_connection = mode == "cutchunked"
        elif mode == "stall":
            self.send_header("Content-Length", str(len(body) + 1000))
            self.end_headers()
            self.wfile.write(body[:10])
            self.wfile.flush()
            time.sleep(3600)

    def reply(self, status, body, headers=()):
        self.send_response(status)
        for k, v in headers:
            self.send_header(k, v)
        self.send_header("Content-Length", str(len(body)))
        self.end_headers()
        self.wfile.write(body)

    def send_file(self, file):
        # Streamed by the kernel: the benchmarks serve files of a gigabyte.
        with open(file, "rb") as f:
            self.send_response(200)
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
        pass  # clients that hang up are expected in tests


def watch(server, while_file, lifetime):
    end = time.monotonic() + lifetime if lifetime else None
    while (not while_file or os.path.exists(while_file)) and (end is None or time.monotonic() < end):
        time.sleep(0.2)
    server.shutdown()


def main():
    p = argparse.ArgumentParser()
    for option in ("--root", "--port-file", "--while-file", "--tls"):
        p.add_argument(option)
    p.add_argument("--lifetime", type=float)
    p.add_argument("--quiet", action="store_true")
    a = p.parse_args()
    Handler.root = a.root
    Handler.quiet = a.quiet
    server = Server(("127.0.0.1", 0), Handler)
    if a.tls:
        context = ssl.SSLContext(ssl.PROTOCOL_TLS_SERVER)
        context.load_cert_chain(a.tls)
        server.socket = context.wrap_socket(server.socket, server_side=True)
    if a.port_file:
        with open(a.port_file + ".tmp", "w") as f:
            f.write(str(server.server_address[1]))
        os.replace(a.port_file + ".tmp", a.port_file)
    threading.Thread(target=watch, args=(server, a.while_file, a.lifetime), daemon=True).start()
    try:
        server.serve_forever()
    except KeyboardInterrupt:
        pass


if __name__ == "__main__":
    main()
