#!/usr/bin/env python3
"""Loopback HTTP(S) server for tests: files below --root, or a bad server picked by the first path segment
(ok redirect loop notfound cut cutchunked close stall gzip badgzip brotli chunked empty notmodified nolocation,
deflate rawdeflate, and the answers that are not the file: FRAMED), large/SIZE, slow/RATE/SIZE,
tohttp/PORT/NAME). A request in absolute form is answered too: the server is its own proxy.
Ends once --while-file is gone or after --lifetime seconds."""
import argparse
import gzip
import http.server
import os
import ssl
import threading
import time
import urllib.parse
import zlib

BLOCK = bytes(range(256)) * 4096  # what large/ and slow/ serve, 1 MiB over and over
STATUS_ONLY = {"empty": (200, b""), "notmodified": (304, b""), "notfound": (404, b"<html>no</html>"),
               "nolocation": (302, b"<html>moved somewhere</html>")}
ENCODED = {"gzip": ("gzip", gzip.compress), "badgzip": ("gzip", bytes), "brotli": ("br", bytes),
           "deflate": ("deflate", zlib.compress),
           "rawdeflate": ("deflate", lambda b: zlib.compress(b)[2:-4])}  # without zlib's wrapping


def half(data):
    return data[:len(data) // 2]


def chunks(*parts):
    return b"".join(b"%x\r\n%s\r\n" % (len(p), p) for p in parts)


# Answers that are not the whole file: mode -> (status, head fields, bytes sent) from the file's bytes.
FRAMED = {
    "partial": lambda b: (206, [("Content-Range", f"bytes 0-99/{len(b)}"), ("Content-Length", "100")], b[:100]),
    "twolengths": lambda b: (200, [("Content-Length", str(len(b) // 2)), ("Content-Length", str(len(b)))], b),
    "lengthlist": lambda b: (200, [("Content-Length", f"{len(b)}, {len(b)}")], b),
    "cutgzip": lambda b: (200, [("Content-Encoding", "gzip"), ("Content-Length", str(len(half(gzip.compress(b)))))],
                          half(gzip.compress(b))),
    "cutchunkedgzip": lambda b: (200, [("Content-Encoding", "gzip"), ("Transfer-Encoding", "chunked")],
                                 chunks(half(gzip.compress(b)))),
    "tegzip": lambda b: (200, [("Transfer-Encoding", "gzip")], gzip.compress(b)),
    "chunkedidentity": lambda b: (200, [("Transfer-Encoding", "chunked, identity")], chunks(b, b"")),
}


def size_of(text):
    units = {"K": 1 << 10, "M": 1 << 20, "G": 1 << 30}
    return int(text[:-1]) * units[text[-1]] if text[-1] in units else int(text)


class Handler(http.server.BaseHTTPRequestHandler):
    protocol_version = "HTTP/1.1"

    def log_message(self, fmt, *args):
        pass

    def do_GET(self):
        if not self.server.quiet:
            print(f"GET {self.path}", flush=True)
        path = urllib.parse.unquote(urllib.parse.urlsplit(self.path).path).lstrip("/")
        mode, rest = path.split("/", 1) if "/" in path else ("ok", path)
        file = os.path.join(self.server.root, rest)
        try:
            if mode == "large":
                self.send_large(size_of(rest))
            elif mode == "slow":
                self.send_large(*map(size_of, reversed(rest.split("/", 1))))
            elif mode == "tohttp":
                port, name = rest.split("/", 1)
                self.reply(302, headers={"Location": f"http://127.0.0.1:{port}/ok/{name}"})
            elif mode in STATUS_ONLY:
                self.reply(*STATUS_ONLY[mode])
            elif mode in ("loop", "redirect"):
                target = self.path if mode == "loop" else "/ok/" + urllib.parse.quote(rest)
                self.reply(302, headers={"Location": target})
            elif mode == "close":
                self.close_connection = True
            elif not rest or not os.path.isfile(file):
                self.reply(404, b"<html>not found</html>")
            elif mode == "ok":
                self.send_file(file)
            else:
                with open(file, "rb") as f:
                    self.send_mode(mode, f.read())
        except (BrokenPipeError, ConnectionResetError):
            pass  # clients that hang up are expected in tests

    def send_mode(self, mode, body):
        if mode in FRAMED:
            status, fields, sent = FRAMED[mode](body)
            self.send_response(status)
            for k, v in fields:
                self.send_header(k, v)
            self.end_headers()
            self.wfile.write(sent)
            self.close_connection = True
            return
        if mode in ENCODED:
            encoding, encode = ENCODED[mode]
            return self.reply(200, encode(body), {"Content-Encoding": encoding})
        if mode not in ("cut", "chunked", "cutchunked", "stall"):
            return self.reply(404, b"<html>unknown mode</html>")
        half = max(1, len(body) // 2)
        if mode in ("chunked", "cutchunked"):
            self.start(headers={"Transfer-Encoding": "chunked"})
            for part in (body[:half], body[half:], b"") if mode == "chunked" else (body[:half],):
                self.wfile.write(b"%x\r\n%s\r\n" % (len(part), part))
        else:
            self.start(len(body) + (1000 if mode == "stall" else 0))
            self.wfile.write(body[:10] if mode == "stall" else body[:half])
        if mode == "stall":
            self.wfile.flush()
            time.sleep(3600)
        self.close_connection = mode != "chunked"

    def start(self, length=None, status=200, headers=None):
        self.send_response(status)
        for k, v in (headers or {}).items():
            self.send_header(k, v)
        if length is not None:
            self.send_header("Content-Length", str(length))
        self.end_headers()

    def reply(self, status, body=b"", headers=None):
        self.start(len(body), status, headers)
        self.wfile.write(body)

    def send_file(self, file):
        with open(file, "rb") as f:  # streamed by the kernel: the benchmarks serve gigabytes
            self.start(os.fstat(f.fileno()).st_size)
            self.connection.sendfile(f)

    def send_large(self, size, rate=None):
        self.start(size)
        step = max(1, rate // 20) if rate else len(BLOCK)  # 20 steps a second
        began, sent = time.monotonic(), 0
        while sent < size:
            n = min(size - sent, step)
            self.wfile.write(BLOCK[:n])
            sent += n
            if rate:
                time.sleep(max(0.0, began + sent / rate - time.monotonic()))


def main():
    p = argparse.ArgumentParser()
    for option in ("--root", "--port-file", "--while-file", "--tls"):
        p.add_argument(option)
    p.add_argument("--lifetime", type=float, default=float("inf"))
    p.add_argument("--quiet", action="store_true")
    a = p.parse_args()
    server = http.server.ThreadingHTTPServer(("127.0.0.1", 0), Handler)
    server.root, server.quiet = a.root, a.quiet
    server.handle_error = lambda request, address: None
    if a.tls:
        context = ssl.SSLContext(ssl.PROTOCOL_TLS_SERVER)
        context.load_cert_chain(a.tls)
        server.socket = context.wrap_socket(server.socket, server_side=True)
    if a.port_file:
        with open(a.port_file + ".tmp", "w") as f:
            f.write(str(server.server_address[1]))
        os.replace(a.port_file + ".tmp", a.port_file)
    threading.Thread(target=server.serve_forever, daemon=True).start()
    end = time.monotonic() + a.lifetime
    while (not a.while_file or os.path.exists(a.while_file)) and time.monotonic() < end:
        time.sleep(0.2)


if __name__ == "__main__":
    main()
