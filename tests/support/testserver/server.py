#!/usr/bin/env python3
"""Local HTTP server for the engine's network tests.

Listens on 127.0.0.1 on a free port and prints "PORT <n>" on its first line.
It plays a generic HTTP peer (echo, statuses, redirects, cookies), the time
server and the cloud service. Every request is recorded; tests read the record
through /control/log and script answers through /control/script.

It stops on GET /control/shutdown or when the process that started it is gone.
"""

import argparse
import hashlib
import hmac
import json
import os
import sys
import threading
import time
import urllib.parse
from http.server import BaseHTTPRequestHandler, ThreadingHTTPServer

DEFAULT_SECRET = "Qf7c2Lm9Xr4Tz8Wb1Nd6Hs3Jk5Vp0YeA"  # the game client's
USER_PREFIX = "/identity/2.0/user/"


class State:
    """Everything a test may inspect or change; guarded by one lock."""

    def __init__(self, secret):
        self.lock = threading.Lock()
        self.secret = secret
        self.reset()

    def reset(self):
        self.log = []
        self.scripted = {}  # path -> list of (status, body, delay in seconds)
        self.counter = 0
        self.device_tokens = {}  # access token -> refresh token
        self.guests = set()  # registered installation ids
        self.user_tokens = {}  # access token -> account id
        self.user_refresh = {}  # refresh token -> account id
        self.expires_in = 3600
        self.services = None  # None: the default table

    def next_id(self):
        self.counter += 1
        return self.counter


def client_signature(secret, salt_hex, client_id):
    key = secret.encode() + bytes.fromhex(salt_hex)
    for _ in range(32):
        key = hashlib.sha1(key).digest()
    return hmac.new(key, client_id.encode(), hashlib.sha1).hexdigest().upper()


class Handler(BaseHTTPRequestHandler):
    protocol_version = "HTTP/1.1"
    server_version = "QfTestServer/1.0"

    def log_message(self, fmt, *args):  # keep test output quiet
        pass

    # -- plumbing ---------------------------------------------------------

    @property
    def state(self):
        return self.server.state

    def read_body(self):
        length = int(self.headers.get("Content-Length") or 0)
        return self.rfile.read(length) if length > 0 else b""

    def send(self, status, body=b"", headers=None, content_type="text/plain"):
        if isinstance(body, str):
            body = body.encode()
        self.send_response(status)
        for name, value in headers or []:
            self.send_header(name, value)
        if body or status not in (204, 304):
            self.send_header("Content-Type", content_type)
        if status not in (204, 304):
            self.send_header("Content-Length", str(len(body)))
        self.end_headers()
        if body and self.command != "HEAD":
            self.wfile.write(body)

    def send_json(self, status, doc):
        self.send(status, json.dumps(doc), content_type="application/json")

    def form(self, body):
        return dict(urllib.parse.parse_qsl(body.decode("latin-1"), keep_blank_values=True))

    def base_url(self):
        return "http://127.0.0.1:%d" % self.server.server_address[1]

    def handle_any(self, method):
        body = self.read_body() if method in ("POST", "PUT") else b""
        url = urllib.parse.urlsplit(self.path)
        entry = {
            "method": method,
            "path": self.path,
            "headers": [[k, v] for k, v in self.headers.items()],
            "body": body.decode("latin-1"),
        }
        with self.state.lock:
            if not url.path.startswith("/control/"):
                self.state.log.append(entry)
            queue = self.state.scripted.get(url.path)
            scripted = queue.pop(0) if queue else None
        if scripted is not None:
            if scripted[2] > 0:
                time.sleep(scripted[2])
            self.send(scripted[0], scripted[1])
            return
        query = dict(urllib.parse.parse_qsl(url.query, keep_blank_values=True))
        for prefix, route in ROUTES:
            if url.path == prefix or (prefix.endswith("/") and url.path.startswith(prefix)):
                route(self, method, url.path[len(prefix):], query, body)
                return
        self.send(404, "not found: " + url.path)

    def do_GET(self):
        self.handle_any("GET")

    def do_POST(self):
        self.handle_any("POST")

    def do_DELETE(self):
        self.handle_any("DELETE")

    # -- generic peer -----------------------------------------------------

    def r_echo(self, method, rest, query, body):
        # The body and the request's header lines, for checks by the tests.
        lines = "".join("%s: %s\n" % (k, v) for k, v in self.headers.items())
        self.send(200, body, [("X-Method", method), ("X-Body-Length", str(len(body))),
                              ("X-Request-Headers", urllib.parse.quote(lines))])

    def r_status(self, method, rest, query, body):
        code = int(rest or "200")
        self.send(code, query.get("body", "status %d" % code))

    def r_redirect(self, method, rest, query, body):
        hops = int(rest or "1")
        if hops > 1:
            target = "/redirect/%d?%s" % (hops - 1, urllib.parse.urlencode(query))
        else:
            target = query.get("to", "/status/200")
        self.send(302, "", [("Location", target), ("X-Hop", str(hops))])

    def r_cookie_set(self, method, rest, query, body):
        headers = [("Set-Cookie", "%s=%s; Path=/" % (k, v)) for k, v in sorted(query.items())]
        self.send(200, "set", headers)

    def r_cookie_get(self, method, rest, query, body):
        self.send(200, self.headers.get("Cookie", ""))

    def r_empty(self, method, rest, query, body):
        self.send(200, "", [("X-Empty", "yes")])

    def r_bytes(self, method, rest, query, body):
        self.send(200, bytes(range(256)) * int(query.get("times", "1")),
                  content_type="application/octet-stream")

    # -- time server --------------------------------------------------------

    def r_time(self, method, rest, query, body):
        self.send(int(query.get("status", "200")), query.get("answer", ""))

    # -- control ------------------------------------------------------------

    def r_control(self, method, rest, query, body):
        st = self.state
        if rest == "shutdown":
            self.send(200, "bye")
            threading.Thread(target=self.server.shutdown, daemon=True).start()
        elif rest == "reset":
            with st.lock:
                st.reset()
            self.send(200, "reset")
        elif rest == "log":
            with st.lock:
                text = "\n".join(json.dumps(e) for e in st.log)
            self.send(200, text)
        elif rest == "script":
            # Queues answers: path=/x&status=401&body=...&count=1&delay=0.2
            with st.lock:
                queue = st.scripted.setdefault(query["path"], [])
                for _ in range(int(query.get("count", "1"))):
                    queue.append((int(query.get("status", "200")), query.get("body", ""),
                                  float(query.get("delay", "0"))))
            self.send(200, "scripted")
        elif rest == "cloud":
            with st.lock:
                if "expiresIn" in query:
                    st.expires_in = int(query["expiresIn"])
                if "revokeUser" in query:
                    st.user_refresh.clear()
                    st.user_tokens.clear()
                if "revokeDevice" in query:
                    st.device_tokens.clear()
                if "forgetGuests" in query:
                    st.guests.clear()
            self.send(200, "ok")
        elif rest == "services":
            with st.lock:
                st.services = json.loads(body.decode())
            self.send(200, "ok")
        else:
            self.send(404, "unknown control")

    # -- cloud service --------------------------------------------------------

    def device_token_ok(self):
        return self.headers.get("X-Access-Token", "") in self.state.device_tokens

    def tokens(self, kind):
        n = self.state.next_id()
        return {"accessToken": "%s-at-%d" % (kind, n), "refreshToken": "%s-rt-%d" % (kind, n),
                "expiresIn": self.state.expires_in}

    def r_access(self, method, rest, query, body):
        f = self.form(body)
        try:
            expected = client_signature(self.state.secret, f.get("clientSalt", ""),
                                        f.get("clientId", ""))
        except ValueError:
            expected = None
        if method != "POST" or expected is None or f.get("clientSignature") != expected:
            self.send(401, "bad client signature")
            return
        with self.state.lock:
            t = self.tokens("dev")
            self.state.device_tokens[t["accessToken"]] = t["refreshToken"]
        self.send_json(200, t)

    def service_table(self):
        if self.state.services is not None:
            return self.state.services
        return {"services": [
            {"name": "identityLevel2", "url": self.base_url() + USER_PREFIX},
            {"name": "remoteNotifications", "url": self.base_url() + "/notifications/",
             "parameters": {"enabled": True, "interval": 30, "region": "eu"}},
        ]}

    def r_config(self, method, rest, query, body):
        with self.state.lock:
            ok = self.device_token_ok()
            table = self.service_table()
        if not ok:
            self.send(401, "device token required")
            return
        self.send_json(200, table)

    def issue_user_tokens(self, account):
        t = self.tokens("usr")
        self.state.user_tokens[t["accessToken"]] = account
        self.state.user_refresh[t["refreshToken"]] = account
        return t

    def r_user(self, method, rest, query, body):
        f = self.form(body)
        with self.state.lock:
            if rest == "profile/own":
                account = self.state.user_tokens.get(self.headers.get("X-Access-Token", ""))
                if account is None:
                    answer = (401, None)
                else:
                    answer = (200, {"accountId": account,
                                    "personal": {"nickname": "guest", "verified": False},
                                    "qfid": {"level": 3}})
            elif not self.device_token_ok():
                answer = (401, None)
            elif rest == "guest/login":
                guid = f.get("persistentGuid", "")
                if guid in self.state.guests:
                    answer = (200, self.issue_user_tokens("acc-" + guid))
                else:
                    answer = (401, None)
            elif rest == "guest/register":
                guid = f.get("persistentGuid", "")
                if not guid:
                    answer = (400, None)
                else:
                    self.state.guests.add(guid)
                    answer = (200, self.issue_user_tokens("acc-" + guid))
            elif rest == "refresh":
                account = self.state.user_refresh.pop(f.get("refreshToken", ""), None)
                level1_ok = f.get("level1RefreshToken", "") in self.state.device_tokens.values()
                if account is None or not level1_ok:
                    answer = (403, None)
                else:
                    answer = (200, self.issue_user_tokens(account))
            else:
                answer = (404, None)
        if answer[1] is None:
            self.send(answer[0], "rejected: " + rest)
        else:
            self.send_json(answer[0], answer[1])


ROUTES = [
    ("/echo", Handler.r_echo),
    ("/status/", Handler.r_status),
    ("/redirect/", Handler.r_redirect),
    ("/cookies/set", Handler.r_cookie_set),
    ("/cookies/get", Handler.r_cookie_get),
    ("/empty", Handler.r_empty),
    ("/bytes", Handler.r_bytes),
    ("/time", Handler.r_time),
    ("/control/", Handler.r_control),
    ("/identity/2.0/access", Handler.r_access),
    ("/identity/2.0/config", Handler.r_config),
    (USER_PREFIX, Handler.r_user),
]


def watch_parent(server, parent):
    while True:
        time.sleep(0.5)
        if os.getppid() != parent:
            server.shutdown()
            return


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--secret", default=DEFAULT_SECRET)
    args = parser.parse_args()
    server = ThreadingHTTPServer(("127.0.0.1", 0), Handler)
    server.daemon_threads = True
    server.state = State(args.secret)
    threading.Thread(target=watch_parent, args=(server, os.getppid()), daemon=True).start()
    sys.stdout.write("PORT %d\n" % server.server_address[1])
    sys.stdout.flush()
    server.serve_forever(poll_interval=0.1)
    server.server_close()


if __name__ == "__main__":
    main()
