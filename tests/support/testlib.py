"""What the Python-driven tests share: bounded waits, digests, and nginx on
loopback from the demo's configuration, stopped by its PID."""
import hashlib
import os
import shutil
import socket
import subprocess
import tempfile
import time

SOURCE_DIR = os.environ["SOURCE_DIR"]


def wait_for(predicate, timeout, step=0.05):
    deadline = time.monotonic() + timeout
    while time.monotonic() < deadline:
        if predicate():
            return True
        time.sleep(step)
    return predicate()


def sha256(path):
    h = hashlib.sha256()
    with open(path, "rb") as f:
        for block in iter(lambda: f.read(1 << 22), b""):
            h.update(block)
    return h.hexdigest()


def listening(port):
    with socket.socket() as s:
        return s.connect_ex(("127.0.0.1", port)) == 0


class Nginx:
    """nginx on 127.0.0.1:port serving `docroot`, at most `rate` bytes/s per
    connection ("0": no limit), stopped by its PID."""

    def __init__(self, docroot, port, rate="0"):
        self.prefix = tempfile.mkdtemp(prefix="test-nginx-")
        os.makedirs(os.path.join(self.prefix, "tmp"))
        with open(os.path.join(SOURCE_DIR, "tools/demo/nginx.conf.in")) as f:
            conf = f.read()
        for key, value in {"@PREFIX@": self.prefix, "@PORT@": str(port), "@ROOT@": docroot,
                           "@RATE@": rate}.items():
            conf = conf.replace(key, value)
        path = os.path.join(self.prefix, "nginx.conf")
        with open(path, "w") as f:
            f.write(conf)
        self.process = subprocess.Popen(["/usr/sbin/nginx", "-p", self.prefix, "-c", path,
                                         "-e", os.path.join(self.prefix, "error.log")])
        if not wait_for(lambda: listening(port), 10):
            self.stop()
            raise RuntimeError("nginx did not start")

    def access_log(self):
        path = os.path.join(self.prefix, "access.log")
        return open(path).read().splitlines() if os.path.exists(path) else []

    def stop(self):
        if self.process.poll() is None:
            self.process.terminate()
            try:
                self.process.wait(10)
            except subprocess.TimeoutExpired:
                self.process.kill()
                self.process.wait()
        shutil.rmtree(self.prefix, ignore_errors=True)
