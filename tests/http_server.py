#!/usr/bin/env python3
"""Local HTTP server for the network tests.

Listens on 127.0.0.1 on a free port and writes that port to the file named by --port-file (a
program under Wine that starts this server gets no pipe to it, so the port travels by file). It
ends with the program that holds /hold open, on a request for /quit, and by itself after
--lifetime seconds in case no one holds it. Standard library only.

Routes (query parameters in brackets):
  /data   [size=N] body of N bytes "0123456789..." repeated
          [mode=length|chunked|close] how the end of the body is told (default length)
          [delay=MS] wait before the status line
          [stall=MS] send half the body, then wait before the rest
          [claim=N] announce Content-Length N whatever the real size (then close)
          [cut=N] send only the first N bytes of the body, then close the connection (chunked:
            without the last chunk; length: announcing the whole)
          [location=URL] add a Location header (with status=3xx, a redirect)
          [status=CODE] reply status (default 200)
          [cookie=NAME=VALUE] add a Set-Cookie header
          [body=TEXT] this body instead of the digits
          [file=PATH] the bytes of this file instead of the digits
  /set      path=P and the parameters of /data: later requests for P are answered as /data
            answers with them (a route that a test, or a program it starts, will ask for); each
            such request is logged as "GET path?query" when it arrives, before any delay
  /routed   the logged requests of routes set by /set, one per line
  /headers  the request's headers as the body, one "Name: value" per line
  /tiku/... (GET or POST) an empty HTML page; the request is logged as "METHOD path", followed
            by " +headers" when it carried an X-Test header
  /log      the logged requests, one per line, in the bytes they arrived as
  /hold     answers its headers, then ends the server once the connection closes: the program
            that started the server holds it open for its life, and the server ends with it
  /quit     ends the server
"""
import argparse
import os
import threading
import time
from http.server import BaseHTTPRequestHandler, ThreadingHTTPServer
from urllib.parse import parse_qs, urlsplit

routes = {}


def pattern(size):
    digits = b"0123456789"
    return (digits * (size // 10 + 1))[:size]


# Requests of the pages under /tiku/, as the browser panes made them.
page_log = []
page_log_lock = threading.Lock()
# Requests of the routes set by /set.
route_log = []
# Ends a server that no program holds.
lifetime = None


class Handler(BaseHTTPRequestHandler):
    protocol_version = "HTTP/1.1"

    def log_message(self, *args):
        pass

    def do_GET(self):
        url = urlsplit(self.path)
        query = {k: v[-1] for k, v in parse_qs(url.query, keep_blank_values=True).items()}
        if url.path == "/headers":
            self.reply(200, "".join(f"{k}: {v}\n" for k, v in self.headers.items()).encode())
        elif url.path == "/data":
            self.data(query)
        elif url.path == "/set":
            routes[query.pop("path")] = query
            self.reply(200, b"ok")
        elif url.path in routes:
            with page_log_lock:
                route_log.append(f"GET {self.path}")
            self.data(routes[url.path])
        elif url.path.startswith("/tiku/"):
            self.page()
        elif url.path == "/log":
            with page_log_lock:
                self.reply(200, "".join(line + "\n" for line in page_log).encode("latin-1"))
        elif url.path == "/routed":
            with page_log_lock:
                self.reply(200, "".join(line + "\n" for line in route_log).encode("latin-1"))
        elif url.path == "/hold":
            self.hold()
        elif url.path == "/quit":
            self.reply(200, b"bye")
            os._exit(0)
        else:
            self.reply(404, b"no such route")

    def do_POST(self):
        if urlsplit(self.path).path.startswith("/tiku/"):
            self.rfile.read(int(self.headers.get("Content-Length", "0")))
            self.page()
        else:
            self.reply(404, b"no such route")

    def page(self):
        # The request line arrives decoded as Latin-1: the log keeps the bytes as they came.
        line = f"{self.command} {self.path}" + (" +headers" if "X-Test" in self.headers else "")
        with page_log_lock:
            page_log.append(line)
        body = b"<html><body></body></html>"
        self.send_response(200)
        self.send_header("Content-Type", "text/html")
        # The service's pages are made afresh for every request: the browser must not keep them,
        # or a later test's navigation would never reach the server.
        self.send_header("Cache-Control", "no-store")
        self.send_header("Content-Length", str(len(body)))
        self.end_headers()
        self.wfile.write(body)

    def hold(self):
        lifetime.cancel()
        self.send_response(200)
        self.send_header("Content-Length", "1")
        self.end_headers()
        self.wfile.flush()
        try:
            self.rfile.read()
        except OSError:
            pass
        os._exit(0)

    def reply(self, status, body):
        self.send_response(status)
        self.send_header("Content-Type", "text/plain")
        self.send_header("Content-Length", str(len(body)))
        self.end_headers()
        self.wfile.write(body)

    def data(self, query):
        if "body" in query:
            body = query["body"].encode()
        elif "file" in query:
            with open(query["file"], "rb") as f:
                body = f.read()
        else:
            body = pattern(int(query.get("size", "0")))
        mode = query.get("mode", "length")
        time.sleep(int(query.get("delay", "0")) / 1000)
        self.send_response(int(query.get("status", "200")))
        self.send_header("Content-Type", "application/octet-stream")
        if "cookie" in query:
            self.send_header("Set-Cookie", query["cookie"] + "; Path=/")
        if "location" in query:
            self.send_header("Location", query["location"])
        if "claim" in query:
            self.send_header("Content-Length", query["claim"])
            self.close_connection = True
        elif mode == "length":
            self.send_header("Content-Length", str(len(body)))
        elif mode == "chunked":
            self.send_header("Transfer-Encoding", "chunked")
        else:
            self.send_header("Connection", "close")
            self.close_connection = True
        self.end_headers()
        if "cut" in query:
            body = body[:int(query["cut"])]
            self.close_connection = True
        half = len(body) // 2
        stall = int(query.get("stall", "0")) / 1000
        for part, pause in ((body[:half], stall), (body[half:], 0)):
            if mode == "chunked" and part and "claim" not in query:
                self.wfile.write(b"%x\r\n%s\r\n" % (len(part), part))
            else:
                self.wfile.write(part)
            self.wfile.flush()
            time.sleep(pause)
        if mode == "chunked" and "claim" not in query and "cut" not in query:
            self.wfile.write(b"0\r\n\r\n")


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--port-file", required=True)
    parser.add_argument("--lifetime", type=float, default=120)
    args = parser.parse_args()
    # Wine hands a started Linux program some of its own descriptors (the test runner's output
    # pipes among them); holding them would keep the runner waiting until this server ends.
    os.closerange(3, os.sysconf("SC_OPEN_MAX"))
    null = os.open(os.devnull, os.O_RDWR)
    for fd in (0, 1, 2):
        os.dup2(null, fd)
    if null > 2:
        os.close(null)
    server = ThreadingHTTPServer(("127.0.0.1", 0), Handler)
    server.daemon_threads = True
    # Written whole under another name first, so a reader never sees half a number.
    with open(args.port_file + ".new", "w") as f:
        f.write(str(server.server_address[1]))
    os.replace(args.port_file + ".new", args.port_file)
    global lifetime
    lifetime = threading.Timer(args.lifetime, lambda: os._exit(0))
    lifetime.start()
    server.serve_forever()


if __name__ == "__main__":
    main()
