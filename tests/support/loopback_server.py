#!/usr/bin/env python3
"""Loopback HTTP and HTTPS server that stands in for the online services in tests.

It binds 127.0.0.1 only, answers from a routes file, and records every request it receives so that
tests can assert exactly what a client sent.

  loopback_server.py start --state-dir DIR --routes FILE   start in the background, wait until ready
  loopback_server.py stop --state-dir DIR                  stop the server started in DIR
  loopback_server.py serve --state-dir DIR --routes FILE   run in the foreground

The state directory holds, once the server is ready:
  ports          "http <port>" and "https <port>", one per line (written last: it means ready)
  ca.pem, ca.der the throwaway test certificate authority that signed the server's certificate
                 for "localhost"; clients must trust it (kept between runs, so trusting it once
                 per test prefix is enough)
  requests.log   every request received, appended before the reply is sent, as blocks of lines:
                   request <METHOD> <target>
                   header <Name>: <value>          (one per header, in the order received)
                   body <hexadecimal bytes>        (empty hex for no body)
                   end

The routes file is JSON: {"routes": [{"match": {...}, "reply": {...}}, ...]}; the first route
whose match fits answers, otherwise the reply is 404. Match keys (all optional):
  method         exact request method
  path           exact path, without the query
  query          {"name": "value"}: each query parameter must be present with this decoded value
  body_contains  a text that the request body must contain
Reply keys (all optional):
  status         status code (200)
  headers        {"Name": "value"} extra response headers
  body           the body as text (UTF-8)
  body_file      the body read from this file, relative to the routes file
  body_repeat, body_bytes
                 after "body", repeat this text until the body has body_bytes bytes (oversized
                 replies without a large fixture)
  partial_bytes  announce the whole body but send only its first partial_bytes bytes, then stall
                 or drop as below
  stall_seconds  wait this long (after reading the request, or after the partial body) before
                 going on; use more than the client's time-out to make the client give up
  drop           close the connection without (the rest of) a reply
"""

import argparse
import http.server
import json
import os
import signal
import socket
import ssl
import subprocess
import sys
import threading
import time
import urllib.parse

LOOPBACK = "127.0.0.1"


def make_certificates(state_dir):
    """Creates the test CA and a "localhost" server certificate once per state directory."""
    paths = {name: os.path.join(state_dir, name)
             for name in ("ca.key", "ca.pem", "ca.der", "server.key", "server.csr", "server.pem", "server.ext")}
    if all(os.path.exists(paths[name]) for name in ("ca.pem", "ca.der", "server.key", "server.pem")):
        return paths

    def openssl(*args):
        subprocess.run(["openssl", *args], check=True, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)

    openssl("req", "-x509", "-newkey", "rsa:2048", "-nodes", "-sha256", "-days", "3650",
            "-keyout", paths["ca.key"], "-out", paths["ca.pem"], "-subj", "/CN=Qorva Loopback Test CA",
            "-addext", "basicConstraints=critical,CA:TRUE",
            "-addext", "keyUsage=critical,keyCertSign,cRLSign")
    openssl("x509", "-in", paths["ca.pem"], "-outform", "der", "-out", paths["ca.der"])
    openssl("req", "-newkey", "rsa:2048", "-nodes", "-sha256", "-keyout", paths["server.key"],
            "-out", paths["server.csr"], "-subj", "/CN=localhost")
    with open(paths["server.ext"], "w") as ext:
        ext.write("basicConstraints=CA:FALSE\n"
                  "keyUsage=digitalSignature,keyEncipherment\n"
                  "extendedKeyUsage=serverAuth\n"
                  "subjectAltName=DNS:localhost\n")
    openssl("x509", "-req", "-sha256", "-days", "825", "-in", paths["server.csr"], "-CA", paths["ca.pem"],
            "-CAkey", paths["ca.key"], "-CAcreateserial", "-out", paths["server.pem"],
            "-extfile", paths["server.ext"])
    return paths


class Routes:
    def __init__(self, routes_file):
        self.base_dir = os.path.dirname(os.path.abspath(routes_file))
        with open(routes_file, encoding="utf-8") as f:
            self.routes = json.load(f)["routes"]

    @staticmethod
    def matches(match, method, path, query, body):
        if "method" in match and match["method"] != method:
            return False
        if "path" in match and match["path"] != path:
            return False
        for name, value in match.get("query", {}).items():
            if query.get(name) != [value]:
                return False
        if "body_contains" in match and match["body_contains"].encode("utf-8") not in body:
            return False
        return True

    def find(self, method, target, body):
        parts = urllib.parse.urlsplit(target)
        query = urllib.parse.parse_qs(parts.query, keep_blank_values=True)
        for route in self.routes:
            if self.matches(route.get("match", {}), method, parts.path, query, body):
                return route.get("reply", {})
        return {"status": 404, "body": "no route"}

    def body_of(self, reply):
        body = reply.get("body", "").encode("utf-8")
        if "body_file" in reply:
            with open(os.path.join(self.base_dir, reply["body_file"]), "rb") as f:
                body += f.read()
        if "body_repeat" in reply:
            unit = reply["body_repeat"].encode("utf-8")
            missing = max(0, reply["body_bytes"] - len(body))
            body += (unit * (missing // len(unit) + 1))[:missing]
        return body


class RequestLog:
    def __init__(self, path):
        self.path = path
        self.lock = threading.Lock()
        open(path, "w").close()

    def record(self, method, target, headers, body):
        lines = [f"request {method} {target}"]
        lines += [f"header {name}: {value}" for name, value in headers.items()]
        lines += [f"body {body.hex()}", "end"]
        with self.lock, open(self.path, "a", encoding="utf-8", errors="replace") as f:
            f.write("\n".join(lines) + "\n")


class Handler(http.server.BaseHTTPRequestHandler):
    protocol_version = "HTTP/1.1"  # keep-alive, as the services offer

    def log_message(self, format, *args):
        pass

    def handle_one_request(self):
        try:
            super().handle_one_request()
        except (OSError, ssl.SSLError):
            self.close_connection = True

    def handle_any(self):
        length = int(self.headers.get("Content-Length") or 0)
        body = self.rfile.read(length) if length > 0 else b""
        self.server.request_log.record(self.command, self.path, self.headers, body)
        reply = self.server.routes.find(self.command, self.path, body)
        payload = self.server.routes.body_of(reply)
        partial = reply.get("partial_bytes")

        if partial is None:
            self.wait(reply.get("stall_seconds", 0))
            if reply.get("drop"):
                return self.drop()
        self.send_response(reply.get("status", 200))
        for name, value in reply.get("headers", {}).items():
            self.send_header(name, value)
        self.send_header("Content-Length", str(len(payload)))
        self.end_headers()
        self.write(payload if partial is None else payload[:partial])
        if partial is not None:
            self.wait(reply.get("stall_seconds", 0))
            self.drop()

    do_GET = do_POST = do_PUT = do_DELETE = do_HEAD = handle_any

    def write(self, payload):
        for start in range(0, len(payload), 65536):
            self.wfile.write(payload[start:start + 65536])
        self.wfile.flush()

    def wait(self, seconds):
        self.server.stopping.wait(seconds)

    def drop(self):
        self.close_connection = True
        try:
            self.connection.shutdown(socket.SHUT_RDWR)
        except OSError:
            pass


class Server(http.server.ThreadingHTTPServer):
    daemon_threads = True

    def __init__(self, routes, request_log, tls_context=None):
        super().__init__((LOOPBACK, 0), Handler)
        self.routes = routes
        self.request_log = request_log
        self.tls_context = tls_context
        self.stopping = threading.Event()

    def finish_request(self, request, client_address):
        # The TLS handshake runs on the connection's own thread, so a client that never completes
        # it holds up nobody else.
        if self.tls_context is not None:
            try:
                request.settimeout(30)
                request = self.tls_context.wrap_socket(request, server_side=True)
                request.settimeout(None)
            except (OSError, ssl.SSLError):
                return
        super().finish_request(request, client_address)

    def handle_error(self, request, client_address):
        pass  # clients that give up or drop the connection are part of the tests


def serve(state_dir, routes_file):
    paths = make_certificates(state_dir)
    routes = Routes(routes_file)
    request_log = RequestLog(os.path.join(state_dir, "requests.log"))
    tls = ssl.SSLContext(ssl.PROTOCOL_TLS_SERVER)
    tls.load_cert_chain(paths["server.pem"], paths["server.key"])
    servers = {"http": Server(routes, request_log), "https": Server(routes, request_log, tls)}

    def shut_down(*_):
        for server in servers.values():
            server.stopping.set()
            threading.Thread(target=server.shutdown, daemon=True).start()

    signal.signal(signal.SIGTERM, shut_down)
    threads = [threading.Thread(target=server.serve_forever, daemon=True) for server in servers.values()]
    for thread in threads:
        thread.start()
    with open(os.path.join(state_dir, "pid"), "w") as f:
        f.write(str(os.getpid()))
    ports_tmp = os.path.join(state_dir, "ports.tmp")
    with open(ports_tmp, "w") as f:
        for scheme, server in servers.items():
            f.write(f"{scheme} {server.server_address[1]}\n")
    os.replace(ports_tmp, os.path.join(state_dir, "ports"))
    for thread in threads:
        thread.join()


def start(state_dir, routes_file):
    stop(state_dir)
    os.makedirs(state_dir, exist_ok=True)
    ports = os.path.join(state_dir, "ports")
    if os.path.exists(ports):
        os.remove(ports)
    with open(os.path.join(state_dir, "server.out"), "w") as out:
        process = subprocess.Popen([sys.executable, os.path.abspath(__file__), "serve",
                                    "--state-dir", state_dir, "--routes", routes_file],
                                   stdout=out, stderr=out, stdin=subprocess.DEVNULL, start_new_session=True)
    deadline = time.monotonic() + 30
    while time.monotonic() < deadline:
        if os.path.exists(ports):
            with open(ports) as f:
                print(f.read(), end="")
            return 0
        if process.poll() is not None:
            break
        time.sleep(0.05)
    print("loopback server did not start; see", os.path.join(state_dir, "server.out"), file=sys.stderr)
    return 1


def is_our_server(pid, state_dir):
    """Guards against a stale pid file naming some other process by now."""
    try:
        with open(f"/proc/{pid}/cmdline", "rb") as f:
            arguments = f.read().split(b"\0")
    except OSError:
        return False
    return os.path.basename(__file__).encode() in b" ".join(arguments) and state_dir.encode() in arguments


def stop(state_dir):
    pid_file = os.path.join(state_dir, "pid")
    if not os.path.exists(pid_file):
        return 0
    with open(pid_file) as f:
        pid = int(f.read().strip() or 0)
    os.remove(pid_file)
    if not is_our_server(pid, state_dir):
        return 0
    try:
        os.kill(pid, signal.SIGTERM)
    except (ProcessLookupError, PermissionError):
        return 0
    for _ in range(100):
        try:
            os.kill(pid, 0)
        except ProcessLookupError:
            return 0
        time.sleep(0.05)
    os.kill(pid, signal.SIGKILL)
    return 0


def main():
    parser = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("command", choices=["start", "stop", "serve"])
    parser.add_argument("--state-dir", required=True)
    parser.add_argument("--routes")
    args = parser.parse_args()
    state_dir = os.path.abspath(args.state_dir)
    if args.command == "stop":
        return stop(state_dir)
    if not args.routes:
        parser.error("--routes is required")
    routes = os.path.abspath(args.routes)
    if args.command == "start":
        return start(state_dir, routes)
    serve(state_dir, routes)
    return 0


if __name__ == "__main__":
    sys.exit(main())
