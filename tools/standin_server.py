#!/usr/bin/env python3
"""Stand-in for every remote service the program talks to, on 127.0.0.1.

Plays the conversion service's three API endpoints and its four web pages,
the JD union converter and the update document, so that tests and the demo
run without an account or the internet. Prints "listening on PORT" once it
accepts connections.

Control endpoints for tests:
  GET  /_standin/requests   every request seen so far, as JSON
  PUT  /_standin/update     the raw body /gx.html answers from now on
"""

import argparse
import hashlib
import json
import re
import ssl
import sys
import threading
import urllib.parse
from http.server import BaseHTTPRequestHandler, ThreadingHTTPServer

# Share tokens the service knows: token -> item id (a number for some items,
# as the real service sometimes answers).
KNOWN_TOKENS = {
    "Ab3dEf5hIj7": "612345678901",
    "Zx9Wv8Ut7Sr": 623456789012,
    "DemoTok1234": "634567890123",
}

TOKEN_RE = re.compile(r"[A-Za-z0-9_]{11}")
JD_LINK_RE = re.compile(r"https?://(?:item\.m?\.?jd\.com/\d+\.html|u\.jd\.com/[A-Za-z0-9]+)")

PAGES = {
    "/user/user_register.html": ("注册", "<p>在此注册账号</p>"),
    "/user/user_login.html": ("登录", "<p>登录后记得勾选记住COOKIE</p>"),
    "/user/open/open_appkey.aspx": ("appkey", "<p>您的appkey：<b id='appkey'>demo-appkey-0001</b></p>"),
    "/user/shouquan.html": ("授权", "<p>授权账号ID：<b id='sid'>123456</b></p>"),
}


class State:
    def __init__(self, update_body):
        self.lock = threading.Lock()
        self.requests = []
        self.update_body = update_body


def new_token(seed):
    digest = hashlib.sha1(seed.encode("utf-8")).hexdigest()
    letters = "".join(c.upper() if i % 2 else c for i, c in enumerate(digest))
    return "￥" + letters[:11] + "￥"


class Handler(BaseHTTPRequestHandler):
    protocol_version = "HTTP/1.1"
    state = None

    def log_message(self, fmt, *args):
        pass

    def record(self, body=b""):
        with self.state.lock:
            self.state.requests.append({
                "method": self.command,
                "path": self.path,
                "headers": [[k, v] for k, v in self.headers.items()],
                "body": body.decode("utf-8", "replace"),
            })

    def send(self, status, body, content_type="application/json; charset=utf-8", extra=None):
        data = body.encode("utf-8") if isinstance(body, str) else body
        self.send_response(status)
        self.send_header("Content-Type", content_type)
        self.send_header("Content-Length", str(len(data)))
        for k, v in (extra or []):
            self.send_header(k, v)
        self.end_headers()
        if self.command != "HEAD":
            self.wfile.write(data)

    def send_json(self, obj):
        self.send(200, json.dumps(obj, ensure_ascii=False, separators=(",", ":")))

    def do_PUT(self):
        length = int(self.headers.get("Content-Length") or 0)
        body = self.rfile.read(length)
        if self.path == "/_standin/update":
            with self.state.lock:
                self.state.update_body = body
            self.send(204, b"")
            return
        self.send(404, "not found", "text/plain")

    def do_GET(self):
        if self.path == "/_standin/requests":
            with self.state.lock:
                self.send_json(self.state.requests)
            return
        self.record()
        url = urllib.parse.urlsplit(self.path)
        # Keep "+" as it came: the program sends its texts unencoded.
        query = dict(urllib.parse.parse_qsl(url.query.replace("+", "%2B"), keep_blank_values=True))
        route = {
            "/api/open_shangpin_id.ashx": self.item_id,
            "/api/open_gaoyongzhuanlian.ashx": self.coupon_link,
            "/api/open_tkl_create.ashx": self.create_token,
            "/cps/zl": self.jd_convert,
            "/gx.html": self.update_document,
        }.get(url.path)
        if route:
            route(query)
            return
        if url.path in PAGES:
            title, body = PAGES[url.path]
            page = ("<!DOCTYPE html><html><head><meta charset='utf-8'><title>%s</title></head>"
                    "<body><h1>%s</h1>%s</body></html>" % (title, title, body))
            self.send(200, page, "text/html; charset=utf-8")
            return
        self.send(404, "<html><body>404 Not Found</body></html>", "text/html")

    do_HEAD = do_GET

    def credentials_ok(self, query):
        return query.get("appkey") and query.get("sid")

    def item_id(self, query):
        if not self.credentials_ok(query):
            self.send_json({"code": 1001, "msg": "appkey或sid错误"})
            return
        for candidate in TOKEN_RE.findall(query.get("content", "")):
            if candidate in KNOWN_TOKENS:
                self.send_json({"code": 0, "item_id": KNOWN_TOKENS[candidate], "msg": "ok"})
                return
        self.send_json({"code": 2001, "msg": "口令解析失败"})

    def coupon_link(self, query):
        item = query.get("num_iid", "")
        if not query.get("pid"):
            self.send_json({"error_response": {"code": 15, "sub_msg": "pid不能为空"}})
            return
        link = "https://s.click.taobao.com/t?e=%s&pid=%s" % (item, query.get("pid", ""))
        self.send_json({"tbk_privilege_get_response": {"result": {"data": {
            "coupon_click_url": link, "item_id": item, "max_commission_rate": "20.00"}}},
            "request_id": "standin"})

    def create_token(self, query):
        if query.get("url", "") == "":
            self.send_json({"code": 3001, "msg": "链接为空"})
            return
        self.send_json({"code": 0, "model": new_token(query["url"]),
                        "data": {"title": query.get("text", ""), "logo": query.get("logo", "")}})

    def jd_convert(self, query):
        cookie = self.headers.get("Cookie", "")
        if "pt_key=" not in cookie:
            self.send_json({"code": 401, "message": "请先登录京粉"})
            return
        content = JD_LINK_RE.sub(lambda m: "https://u.jd.com/" + hashlib.sha1(
            (m.group(0) + cookie).encode()).hexdigest()[:7], query.get("content", ""))
        self.send(200, json.dumps({"content": content, "errCode": "0", "message": "ok"}, separators=(",", ":"),
                                  ensure_ascii=False), extra=[("Set-Cookie", "session=standin; path=/")])

    def update_document(self, query):
        with self.state.lock:
            body = self.state.update_body
        self.send(200, body, "text/html; charset=utf-8")


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--port", type=int, default=0)
    parser.add_argument("--cert", help="PEM certificate chain; serves HTTPS")
    parser.add_argument("--key", help="PEM private key")
    parser.add_argument("--update", default='{"edition":"2.1","address":"http://127.0.0.1/download.html"}',
                        help="body of /gx.html")
    args = parser.parse_args()
    Handler.state = State(args.update.encode("utf-8"))
    server = ThreadingHTTPServer(("127.0.0.1", args.port), Handler)
    server.daemon_threads = True
    if args.cert:
        context = ssl.SSLContext(ssl.PROTOCOL_TLS_SERVER)
        context.load_cert_chain(args.cert, args.key)
        server.socket = context.wrap_socket(server.socket, server_side=True)
    print("listening on %d" % server.server_address[1], flush=True)
    try:
        server.serve_forever()
    except KeyboardInterrupt:
        pass


if __name__ == "__main__":
    sys.exit(main())
