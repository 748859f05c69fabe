#!/usr/bin/env python3
"""Cams that try to exhaust the program, on one loopback port, and a proxy that never ends its
answer to CONNECT on the next port. Counts what the small cam served (its cadence).

  /huge.jpg    two 8192 x 8192 JPEGs, one after the other
  /padded.jpg  a valid JPEG of 60 MB (padded with comment segments), new bytes every time
  /bomb.jpg    a small JPEG and 63 MB of zeros, gzip-coded to about 64 KB
  /small.jpg   a small JPEG, new every time; /count tells how often it was served

Usage: hostileserver.py <port> <work folder>
"""
import gzip
import http.server
import itertools
import os
import socketserver
import subprocess
import sys
import threading

port, work = int(sys.argv[1]), sys.argv[2]


def jpeg(size, name, source="testsrc2"):
    path = os.path.join(work, name)
    subprocess.run(["ffmpeg", "-loglevel", "error", "-y", "-f", "lavfi", "-i",
                    f"{source}=size={size}", "-frames:v", "1", "-q:v", "5", path], check=True)
    with open(path, "rb") as f:
        return f.read()


def with_comment(picture, comment):
    """The picture with comment segments right after its start."""
    segments = bytearray()
    for start in range(0, len(comment), 65533):
        part = comment[start:start + 65533]
        segments += b"\xff\xfe" + (len(part) + 2).to_bytes(2, "big") + part
    return picture[:2] + bytes(segments) + picture[2:]


small = jpeg("320x240", "small.jpg")
huge = [jpeg("8192x8192", "huge1.jpg"), jpeg("8192x8192", "huge2.jpg", "testsrc")]
padding = bytes(60 * 1024 * 1024)
bomb = gzip.compress(small + bytes(63 * 1024 * 1024), 9)
turns = itertools.count()
served_small = itertools.count()
small_count = [0]
lock = threading.Lock()


class Handler(http.server.BaseHTTPRequestHandler):
    protocol_version = "HTTP/1.1"

    def log_message(self, *args):
        pass

    def answer(self, body, extra=()):
        self.send_response(200)
        self.send_header("Content-Type", "image/jpeg")
        self.send_header("Content-Length", str(len(body)))
        self.send_header("Cache-Control", "no-cache")
        for name, value in extra:
            self.send_header(name, value)
        self.end_headers()
        try:
            self.wfile.write(body)
        except OSError:
            pass

    def do_GET(self):
        turn = next(turns)
        path = self.path.split("?")[0]
        if path == "/huge.jpg":
            self.answer(huge[turn % 2])
        elif path == "/padded.jpg":
            self.answer(with_comment(small, turn.to_bytes(8, "big") + padding))
        elif path == "/bomb.jpg":
            self.answer(bomb, [("Content-Encoding", "gzip")])
        elif path == "/small.jpg":
            with lock:
                small_count[0] += 1
            self.answer(with_comment(small, turn.to_bytes(8, "big")))
        elif path == "/count":
            body = str(small_count[0]).encode()
            self.send_response(200)
            self.send_header("Content-Length", str(len(body)))
            self.end_headers()
            self.wfile.write(body)
        else:
            self.send_error(404)


class EndlessProxy(socketserver.BaseRequestHandler):
    """Opens every tunnel with 200, then never ends its header lines."""

    def handle(self):
        try:
            self.request.recv(65536)
            self.request.sendall(b"HTTP/1.1 200 Connection established\r\n")
            line = b"X-Padding: " + b"y" * 1000 + b"\r\n"
            while True:
                self.request.sendall(line * 64)
        except OSError:
            pass


class Server(http.server.ThreadingHTTPServer):
    daemon_threads = True
    allow_reuse_address = True


class Proxy(socketserver.ThreadingTCPServer):
    daemon_threads = True
    allow_reuse_address = True


threading.Thread(target=Proxy(("127.0.0.1", port + 1), EndlessProxy).serve_forever,
                 daemon=True).start()
print("ready", flush=True)
Server(("127.0.0.1", port), Handler).serve_forever()
