#!/usr/bin/python3
"""Fault soak: the real launcher.exe under Wine fetches a 64 MiB installer
through a fault-injecting proxy of ours in front of nginx, all on loopback.

The proxy listens where the launcher's compiled-in base URL points and plays
a seeded plan keyed to offsets in the file: 30 connection resets at random
offsets, one Range request passed on without its Range line (so nginx
answers 200 with the whole file), one stall longer than the launcher's 3 s
receive timeout, one body ended short of its Content-Length, then 5 holds at
which the driver kills the launcher and starts a new one. The last run must
finish with a byte-identical file and start the installer exactly once.

Needs DISPLAY and WINEPREFIX (./scripts/test sets both) and LAUNCHER_EXE,
TEST_BIN_DIR, SOURCE_DIR and LAUNCHER_BASE_URL in the environment.
"""
import os
import random
import re
import select
import shutil
import signal
import socket
import struct
import subprocess
import tempfile
import threading
import time
import sys
import unittest

WINE = "/usr/lib/wine/wine64"
INSTALLER = "ny_setup_hx_v1.1.9.5026.exe"
MIB = 1024 * 1024
SIZE = 64 * MIB
SEED = 20261211
SOAK_LIMIT_S = 300          # the whole soak, start to finished file
RECEIVE_TIMEOUT_S = 3       # the launcher's: a stall must outlast it
STALL_LIMIT_S = 20          # a stall the launcher has not given up by then fails
HOLD_LIMIT_S = 30           # a held connection the driver never ends

sys.path.insert(0, os.path.join(os.environ["SOURCE_DIR"], "tests", "support"))
from testlib import Nginx, listening, sha256, wait_for  # noqa: E402

LAUNCHER_EXE = os.environ["LAUNCHER_EXE"]
TEST_BIN_DIR = os.environ["TEST_BIN_DIR"]
SOURCE_DIR = os.environ["SOURCE_DIR"]
BASE_PORT = int(re.match(r"https?://[^/:]+:(\d+)/",
                         os.environ.get("LAUNCHER_BASE_URL", "http://127.0.0.1:18080/")).group(1))


def free_port():
    with socket.socket() as s:
        s.bind(("127.0.0.1", 0))
        return s.getsockname()[1]


def fault_plan(rng):
    """(offset, kind) in file order, and the offset from which one Range is dropped."""
    cuts = sorted(rng.sample(range(MIB // 2, 40 * MIB), 30))
    plan = [(o, "cut") for o in cuts]
    plan += [(42 * MIB + rng.randrange(MIB), "stall"), (44 * MIB + rng.randrange(MIB), "short")]
    plan += [((46 + 3 * i) * MIB + rng.randrange(MIB), "kill") for i in range(5)]
    return plan, 8 * MIB


def read_head(sock, limit=65536):
    """Bytes up to and including the blank line, and what came after it."""
    data = b""
    while b"\r\n\r\n" not in data:
        chunk = sock.recv(4096)
        if not chunk:
            return None, b""
        data += chunk
        if len(data) > limit:
            raise RuntimeError("header block too long")
    head, _, rest = data.partition(b"\r\n\r\n")
    return head + b"\r\n\r\n", rest


def reset(sock):
    """Closes with an RST instead of a FIN."""
    sock.setsockopt(socket.SOL_SOCKET, socket.SO_LINGER, struct.pack("ii", 1, 0))
    sock.close()


def wait_client_gone(sock, limit):
    """Seconds until the client closed its end, or None when it never did."""
    t0 = time.monotonic()
    while time.monotonic() - t0 < limit:
        readable, _, _ = select.select([sock], [], [], 0.05)
        if readable:
            try:
                if not sock.recv(65536):
                    return time.monotonic() - t0
            except OSError:
                return time.monotonic() - t0
    return None


class FaultProxy:
    """HTTP proxy on 127.0.0.1:port in front of nginx, one request per
    connection, playing the fault plan against absolute file offsets."""

    def __init__(self, port, upstream_port, plan, drop_range_from):
        self.upstream_port = upstream_port
        self.pending = list(plan)
        self.drop_range_from = drop_range_from
        self.lock = threading.Lock()
        self.done = []                 # (kind, offset, detail)
        self.statuses = []
        self.requests = []             # Range start, or None for a fresh request
        self.body_bytes = 0
        self.errors = []
        self.active = 0                # connections being served
        self.held = threading.Event()  # set while a "kill" hold waits for the driver
        self.listener = socket.socket()
        self.listener.setsockopt(socket.SOL_SOCKET, socket.SO_REUSEADDR, 1)
        self.listener.bind(("127.0.0.1", port))
        self.listener.listen(16)
        self.listener.settimeout(0.2)
        self.stopping = False
        self.thread = threading.Thread(target=self._accept, daemon=True)
        self.thread.start()

    def stop(self):
        self.stopping = True
        self.thread.join(5)
        self.listener.close()

    def _accept(self):
        while not self.stopping:
            try:
                client, _ = self.listener.accept()
            except socket.timeout:
                continue
            except OSError:
                return
            with self.lock:
                self.active += 1
            threading.Thread(target=self._serve, args=(client,), daemon=True).start()

    def idle(self):
        with self.lock:
            return self.active == 0

    def _serve(self, client):
        upstream = None
        try:
            client.settimeout(30)
            head, _ = read_head(client)
            if head is None:
                client.close()
                return
            lines = head.decode("latin-1").split("\r\n")[:-2]
            range_start = None
            kept = [lines[0]]
            for line in lines[1:]:
                name = line.split(":", 1)[0].strip().lower()
                if name in ("connection", "keep-alive", "proxy-connection"):
                    continue
                m = re.match(r"(?i)range:\s*bytes=(\d+)-", line)
                if m:
                    range_start = int(m.group(1))
                kept.append(line)
            with self.lock:
                self.requests.append(range_start)
                drop = (range_start is not None and self.drop_range_from is not None
                        and range_start >= self.drop_range_from)
                if drop:
                    self.drop_range_from = None
                    self.done.append(("200 for a Range request", range_start, ""))
            if drop:
                kept = [l for l in kept if not l.lower().startswith("range:")]
            kept.append("Connection: close")
            upstream = socket.create_connection(("127.0.0.1", self.upstream_port), timeout=30)
            upstream.sendall(("\r\n".join(kept) + "\r\n\r\n").encode("latin-1"))

            response, body = read_head(upstream)
            if response is None:
                raise RuntimeError("nginx closed without answering")
            status = int(response.split(b" ", 2)[1])
            with self.lock:
                self.statuses.append(status)
            position = range_start if status == 206 else 0
            client.sendall(response)
            self._relay(client, upstream, position, body)
        except Exception as e:  # one connection's trouble must not end the proxy
            with self.lock:
                self.errors.append(repr(e))
            try:
                client.close()
            except OSError:
                pass
        finally:
            if upstream:
                upstream.close()
            with self.lock:
                self.active -= 1

    def _relay(self, client, upstream, position, pending_bytes):
        while True:
            data = pending_bytes or upstream.recv(65536)
            pending_bytes = b""
            if not data:
                client.close()
                return
            with self.lock:
                fault = self.pending[0] if self.pending and \
                    self.pending[0][0] < position + len(data) else None
                if fault:
                    self.pending.pop(0)
            if fault is None:
                client.sendall(data)
                position += len(data)
                with self.lock:
                    self.body_bytes += len(data)
                continue
            offset, kind = fault
            head = max(0, offset - position)
            client.sendall(data[:head])
            with self.lock:
                self.body_bytes += head
            if kind == "cut":
                reset(client)
                detail = ""
            elif kind == "short":
                client.shutdown(socket.SHUT_WR)
                gone = wait_client_gone(client, HOLD_LIMIT_S)
                client.close()
                detail = f"client closed after {gone:.2f} s" if gone is not None else "kept open"
            elif kind == "stall":
                gone = wait_client_gone(client, STALL_LIMIT_S)
                client.close()
                detail = gone
            else:  # kill: hold here until the driver has killed the launcher
                self.held.set()
                gone = wait_client_gone(client, HOLD_LIMIT_S)
                client.close()
                detail = gone
            with self.lock:
                self.done.append((kind, offset, detail))
            return


class Launcher:
    """launcher.exe under Wine in `workdir`, ended by its PID."""

    def __init__(self, workdir):
        self.process = subprocess.Popen([WINE, LAUNCHER_EXE], cwd=workdir,
                                        stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL,
                                        env=dict(os.environ, WINEDEBUG="-all"))

    def kill(self):
        if self.process.poll() is None:
            self.process.send_signal(signal.SIGKILL)
        self.process.wait(10)


class FaultSoak(unittest.TestCase):
    def setUp(self):
        self.root = tempfile.mkdtemp(prefix="soak-")
        self.www = os.path.join(self.root, "www")
        self.work = os.path.join(self.root, "work")
        os.makedirs(self.www)
        os.makedirs(self.work)
        with open(os.path.join(TEST_BIN_DIR, "marker_installer.exe"), "rb") as f:
            image = f.read()
        self.served = os.path.join(self.www, INSTALLER)
        with open(self.served, "wb") as f:
            f.write(image + random.Random(SEED).randbytes(SIZE - len(image)))
        self.digest = sha256(self.served)
        self.launchers = []
        self.proxy = None
        self.nginx = None
        if listening(BASE_PORT):
            self.fail(f"127.0.0.1:{BASE_PORT} is taken; the soak's proxy must listen there")

    def tearDown(self):
        for launcher in self.launchers:
            launcher.kill()
        if self.proxy:
            self.proxy.stop()
        if self.nginx:
            self.nginx.stop()
        shutil.rmtree(self.root, ignore_errors=True)

    def start_launcher(self):
        self.launchers.append(Launcher(self.work))
        return self.launchers[-1]

    def test_faults_and_kills_end_in_one_identical_file_and_one_installer_start(self):
        upstream = free_port()
        self.nginx = Nginx(self.www, upstream)
        plan, drop_range_from = fault_plan(random.Random(SEED))
        self.proxy = FaultProxy(BASE_PORT, upstream, plan, drop_range_from)
        target = os.path.join(self.work, INSTALLER)
        marker = os.path.join(self.work, "installer_ran.txt")

        t0 = time.monotonic()
        deadline = t0 + SOAK_LIMIT_S
        launcher = self.start_launcher()
        kills = 0
        while time.monotonic() < deadline and not os.path.exists(marker):
            if self.proxy.held.wait(0.1):
                self.proxy.held.clear()
                self.assertFalse(os.path.exists(target), "finished before the kill")
                launcher.kill()
                kills += 1
                launcher = self.start_launcher()
        elapsed = time.monotonic() - t0
        finished = os.path.exists(marker)
        # A second start would come right after the first; give it the time.
        time.sleep(2)
        launcher.kill()
        # A killed launcher's connection may close a little after the kill.
        wait_for(self.proxy.idle, HOLD_LIMIT_S + 5)

        p = self.proxy
        with p.lock:
            done = list(p.done)
            requests, statuses, body_bytes, errors = (list(p.requests), list(p.statuses),
                                                      p.body_bytes, list(p.errors))
        counts = {k: sum(1 for d in done if d[0] == k)
                  for k in ("cut", "200 for a Range request", "stall", "short", "kill")}
        stalls = [d[2] for d in done if d[0] == "stall"]
        holds = [d[2] for d in done if d[0] == "kill"]
        print(f"\nsoak: {elapsed:.1f} s, {len(self.launchers)} launcher starts, "
              f"{len(requests)} requests ({sum(r is not None for r in requests)} with Range), "
              f"statuses {sorted(set(statuses))}")
        gave_up = f"{stalls[0]:.2f} s" if stalls and stalls[0] is not None else "never"
        print(f"soak: faults survived {counts}; the launcher gave up on the stall after {gave_up}")
        print("soak: killed launchers' connections closed after " +
              ", ".join("never" if h is None else f"{h:.2f} s" for h in holds))
        print(f"soak: body bytes sent {body_bytes} for a {SIZE}-byte file: "
              f"{body_bytes - SIZE} bytes re-fetched")
        if errors:
            print("soak: proxy errors:", errors[:5])

        self.assertTrue(finished, f"no finished run within {SOAK_LIMIT_S} s: {counts}")
        self.assertEqual(counts, {"cut": 30, "200 for a Range request": 1, "stall": 1,
                                  "short": 1, "kill": 5})
        self.assertEqual(kills, 5)
        self.assertIsNotNone(stalls[0], "the launcher never gave up on the stalled transfer")
        self.assertGreaterEqual(stalls[0], RECEIVE_TIMEOUT_S - 0.5)
        self.assertIn(200, statuses)
        self.assertIn(206, statuses)
        self.assertEqual(sha256(target), self.digest)
        self.assertFalse(os.path.exists(target + ".xdf"))
        with open(marker) as f:
            self.assertEqual(len(f.read().splitlines()), 1, "installer started once")


if __name__ == "__main__":
    unittest.main(verbosity=2)
