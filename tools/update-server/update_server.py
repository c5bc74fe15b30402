#!/usr/bin/env python3
"""Stand-in for the maker's update server: serves version documents and archives over HTTPS on 127.0.0.1.

Each listener binds a free port; the ports go to <state-dir>/ready.json once all of them listen. The server stops
when <state-dir>/stop appears (it then writes <state-dir>/stopped) or after --max-lifetime seconds.

Listeners: "trusted" (certificate for localhost from the test CA), "wrongname" (the test CA, another name),
"untrusted" (localhost, from a CA nobody trusts), "plain" (HTTP), and "closed", a port that was free and is not
listened on. The test CA lives in --ca-dir and is made once, shared by every server using that folder.

A first path part "_mode/<mode>" asks for misbehaviour on the rest of the path:
  404           an HTML error page with status 404
  truncate      announces the whole length, sends half the body, closes
  length-over   announces 1000 bytes more than the body, sends the body, closes
  length-under  announces half the body's length, sends the whole body, closes
  nolength      no Content-Length; the end of the body is the end of the connection
  stall         sends half the body, then nothing until --stall-limit seconds have passed, then closes
Repeated slashes collapse, so ".../software///Software-1.0.0.3.zip" names software/Software-1.0.0.3.zip.
Every request is appended to <state-dir>/requests.log as one tab-separated line: listener, raw path,
User-Agent, Accept, Pragma, Cache-Control.
"""
import argparse
import fcntl
import http.server
import json
import os
import shutil
import socket
import ssl
import subprocess
import sys
import tempfile
import threading
import time

CHUNK = 256 * 1024


def run_openssl(*args):
    subprocess.run(["openssl", *args], check=True, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)


def make_ca(folder, name, subject):
    key, cert = os.path.join(folder, name + ".key"), os.path.join(folder, name + ".pem")
    run_openssl("req", "-x509", "-newkey", "rsa:2048", "-nodes", "-keyout", key, "-out", cert, "-days", "3650",
                "-subj", subject, "-addext", "basicConstraints=critical,CA:TRUE",
                "-addext", "keyUsage=critical,keyCertSign,cRLSign")
    return key, cert


def make_server_cert(folder, name, dns_name, ca_key, ca_cert):
    key, csr, cert = (os.path.join(folder, name + ext) for ext in (".key", ".csr", ".pem"))
    ext = os.path.join(folder, name + ".ext")
    with open(ext, "w") as f:
        f.write("subjectAltName=DNS:%s\nextendedKeyUsage=serverAuth\nbasicConstraints=CA:FALSE\n" % dns_name)
    run_openssl("req", "-newkey", "rsa:2048", "-nodes", "-keyout", key, "-out", csr, "-subj", "/CN=" + dns_name)
    run_openssl("x509", "-req", "-in", csr, "-CA", ca_cert, "-CAkey", ca_key, "-CAcreateserial", "-out", cert,
                "-days", "825", "-extfile", ext)
    return cert, key


def ensure_certificates(ca_dir):
    """Makes the test CA and the server certificates once; concurrent servers wait on the lock."""
    os.makedirs(ca_dir, exist_ok=True)
    with open(os.path.join(ca_dir, ".lock"), "w") as lock:
        fcntl.flock(lock, fcntl.LOCK_EX)
        done = os.path.join(ca_dir, "ready")
        if not os.path.exists(done):
            ca_key, ca_cert = make_ca(ca_dir, "test-ca", "/CN=Dravik Test Update CA")
            other_key, other_cert = make_ca(ca_dir, "untrusted-ca", "/CN=Untrusted Test CA")
            make_server_cert(ca_dir, "localhost", "localhost", ca_key, ca_cert)
            make_server_cert(ca_dir, "wrongname", "wrong-name.invalid", ca_key, ca_cert)
            make_server_cert(ca_dir, "untrusted", "localhost", other_key, other_cert)
            with open(ca_cert) as f:
                der = ssl.PEM_cert_to_DER_cert(f.read())
            with open(os.path.join(ca_dir, "test-ca.der"), "wb") as f:
                f.write(der)
            open(done, "w").close()
    return {name: (os.path.join(ca_dir, name + ".pem"), os.path.join(ca_dir, name + ".key"))
            for name in ("localhost", "wrongname", "untrusted")}


class Handler(http.server.BaseHTTPRequestHandler):
    protocol_version = "HTTP/1.1"
    server_version = "UpdateServer/1"

    def log_message(self, fmt, *args):
        pass

    def record(self):
        fields = [self.server.listener_name, self.path] + [
            (self.headers.get(h) or "").replace("\t", " ") for h in ("User-Agent", "Accept", "Pragma",
                                                                     "Cache-Control")]
        with self.server.log_lock, open(self.server.log_path, "a") as log:
            log.write("\t".join(fields) + "\n")

    def do_GET(self):
        self.record()
        path = self.path.split("?", 1)[0]
        parts = [p for p in path.split("/") if p]
        mode = ""
        if len(parts) >= 2 and parts[0] == "_mode":
            mode, parts = parts[1], parts[2:]
        if mode == "404":
            return self.send_page(404, b"<html><body><h1>404 Not Found</h1></body></html>")
        if any(p in (".", "..") for p in parts):
            return self.send_page(404, b"<html><body>bad path</body></html>")
        file_path = os.path.join(self.server.root, *parts)
        if not parts or not os.path.isfile(file_path):
            return self.send_page(404, b"<html><body><h1>404 Not Found</h1><p>No such file.</p></body></html>")
        size = os.path.getsize(file_path)
        with open(file_path, "rb") as f:
            self.send_body(f, size, mode)

    def send_page(self, status, body):
        self.send_response(status)
        self.send_header("Content-Type", "text/html")
        self.send_header("Content-Length", str(len(body)))
        self.end_headers()
        self.wfile.write(body)

    def send_body(self, f, size, mode):
        self.send_response(200)
        self.send_header("Content-Type", "application/octet-stream")
        announced = {"truncate": size, "length-over": size + 1000, "length-under": size // 2,
                     "stall": size}.get(mode, size)
        if mode != "nolength":
            self.send_header("Content-Length", str(announced))
        if mode:
            self.send_header("Connection", "close")
            self.close_connection = True
        self.end_headers()
        to_send = size // 2 if mode in ("truncate", "stall") else size
        while to_send > 0:
            data = f.read(min(CHUNK, to_send))
            if not data:
                break
            self.wfile.write(data)
            to_send -= len(data)
        self.wfile.flush()
        if mode == "stall":
            deadline = time.monotonic() + self.server.stall_limit
            while time.monotonic() < deadline and not self.server.stopping.is_set():
                time.sleep(0.05)
        if mode in ("truncate", "stall", "length-over", "nolength", "length-under"):
            # Cut hard, so the client sees the connection end where the body ends.
            try:
                self.connection.shutdown(socket.SHUT_RDWR)
            except OSError:
                pass


class Server(http.server.ThreadingHTTPServer):
    daemon_threads = True
    allow_reuse_address = False


def make_listener(name, handler_settings, cert=None):
    server = Server(("127.0.0.1", 0), Handler)
    server.listener_name = name
    for key, value in handler_settings.items():
        setattr(server, key, value)
    if cert:
        context = ssl.SSLContext(ssl.PROTOCOL_TLS_SERVER)
        context.load_cert_chain(*cert)
        server.socket = context.wrap_socket(server.socket, server_side=True)
    return server


def free_port():
    with socket.socket() as s:
        s.bind(("127.0.0.1", 0))
        return s.getsockname()[1]


def main():
    parser = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("--state-dir", required=True)
    parser.add_argument("--ca-dir", required=True)
    parser.add_argument("--root", help="folder served; default <state-dir>/www")
    parser.add_argument("--stall-limit", type=float, default=3.0)
    parser.add_argument("--max-lifetime", type=float, default=900.0)
    args = parser.parse_args()
    args.state_dir, args.ca_dir = os.path.abspath(args.state_dir), os.path.abspath(args.ca_dir)

    root = os.path.abspath(args.root or os.path.join(args.state_dir, "www"))
    os.makedirs(root, exist_ok=True)
    certs = ensure_certificates(args.ca_dir)
    settings = {"root": root, "log_path": os.path.join(args.state_dir, "requests.log"),
                "log_lock": threading.Lock(), "stall_limit": args.stall_limit, "stopping": threading.Event()}
    listeners = {
        "trusted": make_listener("trusted", settings, certs["localhost"]),
        "wrongname": make_listener("wrongname", settings, certs["wrongname"]),
        "untrusted": make_listener("untrusted", settings, certs["untrusted"]),
        "plain": make_listener("plain", settings),
    }
    for server in listeners.values():
        threading.Thread(target=server.serve_forever, kwargs={"poll_interval": 0.1}, daemon=True).start()

    ready = {name: server.server_address[1] for name, server in listeners.items()}
    ready["closed"] = free_port()
    ready["root"] = root
    ready["ca_der"] = os.path.join(args.ca_dir, "test-ca.der")
    ready["ca_pem"] = os.path.join(args.ca_dir, "test-ca.pem")
    fd, temp = tempfile.mkstemp(dir=args.state_dir)
    with os.fdopen(fd, "w") as f:
        json.dump(ready, f)
    os.replace(temp, os.path.join(args.state_dir, "ready.json"))

    stop_file = os.path.join(args.state_dir, "stop")
    deadline = time.monotonic() + args.max_lifetime
    while not os.path.exists(stop_file) and time.monotonic() < deadline:
        time.sleep(0.1)
    settings["stopping"].set()
    for server in listeners.values():
        server.shutdown()
        server.server_close()
    open(os.path.join(args.state_dir, "stopped"), "w").close()


if __name__ == "__main__":
    sys.exit(main())
