#!/usr/bin/env python3
"""The service manager's notify protocol as a Type=notify unit sees it: READY after start-up,
STATUS with the item on air, WATCHDOG at half the watchdog time, none while the process is
stopped and again after it continues, STOPPING at close.
usage: service_notify.py STATION-TEMPLATE PROGRAM [ARGS...] (the station folder is appended)"""
import os
import select
import shutil
import signal
import socket
import subprocess
import sys
import tempfile
import time

WATCHDOG_S = 10.0
PING_S = WATCHDOG_S / 2
SLACK_S = 0.6  # a timer fires a little late on a busy machine


def fail(message):
    print(message)
    sys.exit(1)


class Listener:
    def __init__(self, path):
        self.sock = socket.socket(socket.AF_UNIX, socket.SOCK_DGRAM)
        self.sock.bind(path)
        self.messages = []  # (arrival, assignment)

    def receive(self, seconds):
        """Reads for the given time; returns the assignments that arrived."""
        end = time.monotonic() + seconds
        got = []
        while (left := end - time.monotonic()) > 0:
            if select.select([self.sock], [], [], left)[0]:
                data = self.sock.recv(4096).decode("utf-8", "replace")
                now = time.monotonic()
                for line in filter(None, data.split("\n")):
                    got.append((now, line))
        self.messages += got
        return got

    def wait_for(self, prefix, seconds, since=0.0):
        """The first assignment with the prefix that arrived after since, waiting if need be."""
        for arrival, line in self.messages:
            if arrival > since and line.startswith(prefix):
                return arrival, line
        end = time.monotonic() + seconds
        while (left := end - time.monotonic()) > 0:
            for arrival, line in self.receive(min(left, 0.2)):
                if line.startswith(prefix):
                    return arrival, line
        fail(f"no {prefix} within {seconds} s; got {[m for _, m in self.messages]}")


def pings(messages):
    return [t for t, line in messages if line == "WATCHDOG=1"]


def main():
    template, program = sys.argv[1], sys.argv[2:]
    work = tempfile.mkdtemp()
    process = None
    try:
        station = os.path.join(work, "station")
        shutil.copytree(template, station)
        listener = Listener(os.path.join(work, "notify"))
        env = dict(os.environ, NOTIFY_SOCKET=listener.sock.getsockname(),
                   WATCHDOG_USEC=str(int(WATCHDOG_S * 1e6)), PELVANO_OUTPUT="null",
                   QT_QPA_PLATFORM="offscreen")
        env.pop("WATCHDOG_PID", None)
        process = subprocess.Popen(program + [station], env=env, stdout=subprocess.DEVNULL)

        ready, _ = listener.wait_for("READY=1", 30)
        # The first item may go on air during start-up, before READY.
        _, status = listener.wait_for("STATUS=", 10)
        if status == "STATUS=":
            fail("an empty status")
        listener.receive(ready + 2 * PING_S + SLACK_S - time.monotonic())
        beats = pings(listener.messages)
        if len(beats) < 2:
            fail(f"{len(beats)} watchdog pings in {2 * PING_S:.0f} s after READY")
        gaps = [b - a for a, b in zip(beats, beats[1:])]
        if max(gaps) > PING_S + SLACK_S:
            fail(f"watchdog pings {gaps} s apart")

        # A stopped process sends nothing; its pings come back once it continues.
        process.send_signal(signal.SIGSTOP)
        listener.receive(0.3)
        stalled = listener.receive(PING_S + 1)
        if stalled:
            fail(f"messages while stopped: {stalled}")
        resumed = time.monotonic()
        process.send_signal(signal.SIGCONT)
        listener.wait_for("WATCHDOG=1", PING_S + SLACK_S, since=resumed)

        closing = time.monotonic()
        process.send_signal(signal.SIGTERM)
        listener.wait_for("STOPPING=1", 10, since=closing)
        if process.wait(timeout=20) != 0:
            fail(f"exit status {process.returncode} after SIGTERM")
        process = None
        print("ok")
    finally:
        if process is not None:
            process.kill()
            process.wait()
        shutil.rmtree(work, ignore_errors=True)


main()
