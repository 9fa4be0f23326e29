#!/usr/bin/python3
"""Scripted raw web server for the HTTP client's tests, on 127.0.0.1 only.

Unlike the service stand-in, it plays no service: it records every
request's raw bytes and answers with scripted raw bytes, so a test can see
exactly what went on the wire and can make the server stall, reset or hang
where it wants.

Usage: scripted_server.py [--tls CERT KEY]
The first line written is "port N". Then it reads commands from stdin, one
per line, and answers each with one line (or more where said):

  route PATH STEP...   answer requests whose path (query left out) is PATH;
                       PATH "*" answers every path without its own route
  requests             "N", then N lines: each request's bytes in hex
  quit                 stops (as does the end of stdin)

Steps, run in order for each request on the route:
  send:HEX    write these bytes
  sleep:MS    wait
  reset       end the connection with a TCP reset
  hang        keep the connection open, answering nothing, until quit
A connection closes normally after the steps, one request per connection.
Requests without a route get a 404 with an empty body.
"""

import socket
import ssl
import struct
import sys
import threading
import time
import urllib.parse

routes = {}
recorded = []
lock = threading.Lock()
stopping = threading.Event()


def read_request(conn):
    data = b""
    while b"\r\n\r\n" not in data:
        chunk = conn.recv(65536)
        if not chunk:
            return data
        data += chunk
    head, _, rest = data.partition(b"\r\n\r\n")
    length = 0
    for line in head.split(b"\r\n")[1:]:
        name, _, value = line.partition(b":")
        if name.strip().lower() == b"content-length":
            try:
                length = int(value.strip())
            except ValueError:
                length = 0
    while len(rest) < length:
        chunk = conn.recv(65536)
        if not chunk:
            break
        rest += chunk
    return head + b"\r\n\r\n" + rest


def request_path(raw):
    line = raw.split(b"\r\n", 1)[0].decode("latin-1")
    parts = line.split(" ")
    target = parts[1] if len(parts) > 1 else "/"
    if "://" in target:
        target = urllib.parse.urlsplit(target).path or "/"
    return target.split("?", 1)[0]


def run_steps(conn, steps):
    for step in steps:
        kind, _, arg = step.partition(":")
        if kind == "send":
            conn.sendall(bytes.fromhex(arg))
        elif kind == "sleep":
            time.sleep(int(arg) / 1000.0)
        elif kind == "reset":
            conn.setsockopt(socket.SOL_SOCKET, socket.SO_LINGER, struct.pack("ii", 1, 0))
            return "reset"
        elif kind == "hang":
            stopping.wait()
            return "hang"
    return "done"


def serve(conn, context):
    try:
        if context is not None:
            conn = context.wrap_socket(conn, server_side=True)
        raw = read_request(conn)
        if not raw:
            return
        with lock:
            recorded.append(raw)
            steps = routes.get(request_path(raw), routes.get("*"))
        if steps is None:
            steps = ["send:" + b"HTTP/1.1 404 Not Found\r\nContent-Length: 0\r\n\r\n".hex()]
        if run_steps(conn, steps) == "done" and context is not None:
            try:
                conn.unwrap()
            except (OSError, ValueError):
                pass
    except (OSError, ssl.SSLError):
        pass
    finally:
        try:
            conn.close()
        except OSError:
            pass


def accept_loop(listener, context):
    while not stopping.is_set():
        try:
            conn, _ = listener.accept()
        except OSError:
            return
        threading.Thread(target=serve, args=(conn, context), daemon=True).start()


def main():
    context = None
    if len(sys.argv) == 4 and sys.argv[1] == "--tls":
        context = ssl.SSLContext(ssl.PROTOCOL_TLS_SERVER)
        context.load_cert_chain(sys.argv[2], sys.argv[3])
    listener = socket.socket(socket.AF_INET, socket.SOCK_STREAM)
    listener.bind(("127.0.0.1", 0))
    listener.listen(64)
    threading.Thread(target=accept_loop, args=(listener, context), daemon=True).start()
    print("port %d" % listener.getsockname()[1], flush=True)
    for line in sys.stdin:
        words = line.split()
        if not words:
            continue
        if words[0] == "route" and len(words) >= 2:
            with lock:
                routes[words[1]] = words[2:]
            print("ok", flush=True)
        elif words[0] == "requests":
            with lock:
                lines = [r.hex() for r in recorded]
            print(len(lines), flush=True)
            for hexed in lines:
                print(hexed, flush=True)
        elif words[0] == "quit":
            break
        else:
            print("error", flush=True)
    stopping.set()
    listener.close()


if __name__ == "__main__":
    main()
