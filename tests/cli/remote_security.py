#!/usr/bin/env python3
"""The remote control of a running `pelvano-cli run`, from outside as a browser or an attacker
sees it: loopback by default, nothing without a login, every command refused without a session
(401) and without the CSRF token (403), the sixth wrong password in a minute refused (429), no
way out of the as-run folder, size limits, the password and its hash in no answer and no log,
and a Prometheus scrape that promtool accepts while the station plays.
usage: remote_security.py PELVANO-CLI STATION-TEMPLATE"""
import glob
import http.client
import json
import os
import shutil
import socket
import subprocess
import sys
import tempfile
import time
import urllib.parse

PASSWORD = "correct horse 电池"
USER = "operator"
COMMANDS = ["/api/play", "/api/pause", "/api/stop", "/api/next", "/api/rows/1/start"]
READS = ["/api/status", "/api/schedule", "/api/log?since=0", "/api/asrun", "/api/events"]


def fail(message):
    print("FAIL:", message)
    sys.exit(1)


def free_port():
    with socket.socket() as s:
        s.bind(("127.0.0.1", 0))
        return s.getsockname()[1]


class Client:
    """Raw requests (paths sent as given); every answer is kept for the secret scan."""

    def __init__(self, port):
        self.port = port
        self.cookie = None
        self.answers = []

    def request(self, method, path, body=None, headers=None, timeout=10, read=True):
        conn = http.client.HTTPConnection("127.0.0.1", self.port, timeout=timeout)
        headers = dict(headers or {})
        if self.cookie:
            headers["Cookie"] = self.cookie
        if method == "POST" and body is None:
            body = b""
        conn.request(method, path, body=body, headers=headers)
        res = conn.getresponse()
        data = res.read() if read else res.read(4096)
        conn.close()
        self.answers.append(str(res.getheaders()).encode() + data)
        return res.status, dict(res.getheaders()), data

    def login(self, user, password):
        body = urllib.parse.urlencode({"user": user, "password": password}).encode()
        return self.request("POST", "/login", body,
                            {"Content-Type": "application/x-www-form-urlencoded"})


def wait_for_server(client, seconds=30):
    end = time.monotonic() + seconds
    while time.monotonic() < end:
        try:
            client.request("GET", "/login")
            return
        except OSError:
            time.sleep(0.1)
    fail("the server did not answer")


def listening_addresses(port):
    """The local addresses with a listening TCP socket on the port (IPv4 and IPv6)."""
    found = []
    for table in ("/proc/net/tcp", "/proc/net/tcp6"):
        with open(table) as f:
            for line in f.readlines()[1:]:
                fields = line.split()
                address, hex_port = fields[1].split(":")
                if int(hex_port, 16) == port and fields[3] == "0A":
                    found.append(address)
    return found


def check_anonymous(client):
    for path in READS:
        status, _, _ = client.request("GET", path, read=path != "/api/events")
        if status != 401:
            fail(f"GET {path} without a session answered {status}")
    for path in ["/index.html", "/"]:
        status, headers, _ = client.request("GET", path)
        if status != 303 or headers.get("Location") != "/login":
            fail(f"GET {path} without a session answered {status}, not a redirect to the login")
    status, headers, body = client.request("GET", "/login")
    if status != 200 or "登录".encode() not in body:
        fail("the login page is not served")
    if not headers.get("Content-Type", "").startswith("text/html"):
        fail(f"the login page is served as {headers.get('Content-Type')}")
    if "default-src 'self'" not in headers.get("Content-Security-Policy", "") or \
            headers.get("X-Frame-Options") != "DENY":
        fail(f"the page may load others' scripts or be framed: {headers}")
    for path in COMMANDS:
        status, _, _ = client.request("POST", path)
        if status != 401:
            fail(f"POST {path} without a session answered {status}")


def check_csrf(client, csrf):
    for path in COMMANDS:
        for headers in ({}, {"X-CSRF-Token": "0" * len(csrf)}, {"X-CSRF-Token": ""}):
            status, _, _ = client.request("POST", path, headers=headers)
            if status != 403:
                fail(f"POST {path} with {headers or 'no token'} answered {status}")


def check_as_run_paths(client):
    for path in ["/api/asrun/../参数设置.INI", "/api/asrun/..%2F参数设置.INI",
                 "/api/asrun/%2e%2e/%2e%2e/etc/passwd", "/api/asrun/../../../../etc/passwd",
                 "/api/asrun/..%2f..%2fetc%2fpasswd.csv", "/api/asrun/2026-01-01.csv/../../x",
                 "/api/asrun/1999-01-01.csv", "/api/asrun/%2e%2e%2fHistory.csv"]:
        quoted = urllib.parse.quote(path, safe="/%.")
        status, _, _ = client.request("GET", quoted)
        if status != 404:
            fail(f"GET {path} answered {status}, not 404")


def check_limits(client, csrf):
    status, _, _ = client.request("POST", "/api/pause", body=b"x" * (64 * 1024),
                                  headers={"X-CSRF-Token": csrf})
    if status != 413:
        fail(f"a 64 KiB body answered {status}, not 413")
    many = {f"X-Filler-{i}": "y" for i in range(80)}
    status, _, _ = client.request("GET", "/api/status", headers=many)
    if status != 431:
        fail(f"80 headers answered {status}, not 431")


def wait_for(description, seconds, probe):
    end = time.monotonic() + seconds
    while time.monotonic() < end:
        if probe():
            return
        time.sleep(0.1)
    fail(f"not within {seconds} s: {description}")


def check_commands(client, csrf):
    status, _, _ = client.request("POST", "/api/pause", headers={"X-CSRF-Token": csrf})
    if status != 204:
        fail(f"pause with session and token answered {status}")

    def paused():
        return json.loads(client.request("GET", "/api/status")[2])["state"] == "paused"

    wait_for("the station paused", 5, paused)
    lines = json.loads(client.request("GET", "/api/log?since=0")[2])["lines"]
    if not any("远程控制:暂停" in line["text"] for line in lines):
        fail("the pause is not in the log")
    status, _, _ = client.request("POST", "/api/rows/9999/start", headers={"X-CSRF-Token": csrf})
    if status != 404:
        fail(f"starting a row that does not exist answered {status}")
    status, _, _ = client.request("POST", "/api/rows/2/start", headers={"X-CSRF-Token": csrf})
    if status != 204:
        fail(f"starting row 2 answered {status}")

    def row_two():
        status_now = json.loads(client.request("GET", "/api/status")[2])
        return status_now["item"] and status_now["item"]["row"] == 2 and status_now["state"] == "playing"

    wait_for("row 2 on air", 10, row_two)


def check_metrics(client, work):
    status, headers, body = client.request("GET", "/metrics")
    if status != 200:
        fail(f"/metrics on a loopback station answered {status}")
    if b"pelvano_on_air 1" not in body:
        fail("the scrape was not taken while the station plays:\n" + body.decode())
    scrape = os.path.join(work, "scrape.txt")
    with open(scrape, "wb") as f:
        f.write(body)
    check = subprocess.run(["promtool", "check", "metrics"], stdin=open(scrape, "rb"),
                           capture_output=True, text=True)
    if check.returncode != 0:
        fail("promtool refused the scrape:\n" + check.stdout + check.stderr)


def check_wrong_passwords(client):
    for attempt in range(1, 7):
        status, _, body = client.login(USER, f"wrong {attempt}")
        wanted = 429 if attempt == 6 else 401
        if status != wanted:
            fail(f"wrong password #{attempt} answered {status}, not {wanted}")
    status, _, _ = client.login(USER, PASSWORD)
    if status != 429:
        fail(f"the right password within the minute answered {status}, not 429")


def secret_hash(station):
    with open(os.path.join(station, "参数设置.INI"), "rb") as f:
        for line in f.read().split(b"\r\n"):
            if line.startswith(b"PasswordHash="):
                return line.split(b"=", 1)[1]
    fail("no password hash stored")


def check_no_secrets(client, station, run_log, hashed):
    secrets = [PASSWORD.encode(), hashed, hashed[-22:]]
    for answer in client.answers:
        for secret in secrets:
            if secret in answer:
                fail("an answer holds the password or its hash")
    logs = [run_log] + glob.glob(os.path.join(station, "History", "*"))
    for path in logs:
        with open(path, "rb") as f:
            data = f.read()
        for secret in secrets + [PASSWORD.encode("gbk", "replace")]:
            if secret in data:
                fail(f"{path} holds the password or its hash")


def main():
    cli, template = sys.argv[1], sys.argv[2]
    work = tempfile.mkdtemp()
    process = None
    try:
        station = os.path.join(work, "station")
        shutil.copytree(template, station)
        subprocess.run([cli, "remote", "password", station, USER, PASSWORD], check=True,
                       stdout=subprocess.DEVNULL)
        port = free_port()
        with open(os.path.join(station, "参数设置.INI"), "ab") as f:
            f.write(f"Enabled=YES\r\nPort={port}\r\n".encode())  # [Remote] is the last section
        hashed = secret_hash(station)
        run_log = os.path.join(work, "run.log")
        env = dict(os.environ, PELVANO_OUTPUT="wav:" + os.path.join(work, "heard.wav"))
        with open(run_log, "wb") as out:
            process = subprocess.Popen([cli, "run", station], env=env, stdout=out,
                                       stderr=subprocess.STDOUT)
        client = Client(port)
        wait_for_server(client)

        addresses = listening_addresses(port)
        if addresses != ["0100007F"]:
            fail(f"the default bind is not loopback only: {addresses}")
        check_anonymous(client)
        status, headers, _ = client.login(USER, PASSWORD)
        cookie = headers.get("Set-Cookie", "")
        if status != 303 or "HttpOnly" not in cookie or "SameSite=Strict" not in cookie:
            fail(f"the login answered {status} with the cookie {cookie!r}")
        session = cookie.split(";")[0]
        if len(session.split("=", 1)[1]) != 32:
            fail("the session id is not 128 random bits")
        client.cookie = session
        csrf = json.loads(client.request("GET", "/api/status")[2])["csrf"]
        check_metrics(client, work)
        check_csrf(client, csrf)
        check_as_run_paths(client)
        check_limits(client, csrf)
        check_commands(client, csrf)
        client.cookie = None
        check_wrong_passwords(client)
        process.terminate()
        process.wait(10)
        process = None
        check_no_secrets(client, station, run_log, hashed)
        print("remote security: all checks passed")
    finally:
        if process:
            process.kill()
            process.wait()
        shutil.rmtree(work, ignore_errors=True)


if __name__ == "__main__":
    main()
