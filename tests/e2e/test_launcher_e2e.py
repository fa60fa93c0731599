#!/usr/bin/python3
"""The real launcher.exe under Wine against nginx on loopback.

Needs DISPLAY and WINEPREFIX (./scripts/test sets both) and the paths below in
the environment: LAUNCHER_EXE, TEST_BIN_DIR (helper programs), SOURCE_DIR.
"""
import hashlib
import os
import random
import re
import shutil
import signal
import subprocess
import tempfile
import time
import sys
import unittest

from PIL import Image

sys.path.insert(0, os.path.join(os.environ["SOURCE_DIR"], "tests", "support"))
from testlib import Nginx, sha256, wait_for  # noqa: E402

WINE = "/usr/lib/wine/wine64"
PORT = 18080  # the launcher's compiled-in default server
INSTALLER = "ny_setup_hx_v1.1.9.5026.exe"
WIDTH, HEIGHT = 561, 219
SOURCE_DIR = os.environ["SOURCE_DIR"]
LAUNCHER_EXE = os.environ["LAUNCHER_EXE"]
TEST_BIN_DIR = os.environ["TEST_BIN_DIR"]

# Widget rectangles in the window: (x, y, width, height).
STATUS = (25, 130, 500, 15)
UPPER_BAR = (25, 145, 355, 12)
LOWER_BAR = (25, 163, 355, 12)
START_BUTTON = (400, 135, 151, 50)
CLOSE_BUTTON = (524, 37, 24, 24)


class DemoServer(Nginx):
    """nginx on the launcher's own port."""

    def __init__(self, docroot, rate="0"):
        super().__init__(docroot, PORT, rate)


class Launcher:
    """launcher.exe under Wine in `workdir`, ended by its PID."""

    def __init__(self, workdir, debugstr=False):
        env = dict(os.environ)
        env["WINEDEBUG"] = "-all,+debugstr" if debugstr else "-all"
        self.log_path = os.path.join(workdir, "..", "launcher-" + str(time.monotonic_ns()) + ".log")
        self.log = open(self.log_path, "w")
        self.process = subprocess.Popen([WINE, LAUNCHER_EXE], cwd=workdir, env=env,
                                        stdout=self.log, stderr=subprocess.STDOUT)

    def alive(self):
        return self.process.poll() is None

    def output(self):
        self.log.flush()
        return open(self.log_path, errors="replace").read()

    def kill(self):
        if self.alive():
            self.process.send_signal(signal.SIGKILL)
        self.process.wait(10)
        self.log.close()


def window_origin():
    """The launcher's window position on the screen, or None."""
    tree = subprocess.run(["xwininfo", "-root", "-tree"], capture_output=True, text=True).stdout
    m = re.search(r" %dx%d\+(-?\d+)\+(-?\d+)" % (WIDTH, HEIGHT), tree)
    return (int(m.group(1)), int(m.group(2))) if m else None


def screenshot():
    path = tempfile.mktemp(suffix=".png")
    subprocess.run(["import", "-window", "root", path], check=True)
    image = Image.open(path).convert("RGB")
    os.unlink(path)
    return image


def region(image, origin, rect):
    x, y, w, h = rect
    return image.crop((origin[0] + x, origin[1] + y, origin[0] + x + w, origin[1] + y + h))


def picture(resource_id, rect=None):
    image = Image.open(os.path.join(SOURCE_DIR, "res/png_%d.png" % resource_id)).convert("RGB")
    if rect:
        x, y, w, h = rect
        image = image.crop((x, y, x + w, y + h))
    return image


def share_equal(a, b):
    """Share of pixels that are the same in two equal-sized images."""
    pa, pb = list(a.getdata()), list(b.getdata())
    return sum(p == q for p, q in zip(pa, pb)) / len(pa)


def wine_helper(name, *args):
    return subprocess.run([WINE, os.path.join(TEST_BIN_DIR, name)] + list(args),
                          capture_output=True, timeout=30).returncode


def xdotool(*args):
    subprocess.run(["xdotool"] + [str(a) for a in args], check=True)


class LauncherEndToEnd(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.root = tempfile.mkdtemp(prefix="e2e-launcher-")
        cls.www = os.path.join(cls.root, "www")
        os.makedirs(cls.www)
        # A real installer stand-in: it records the directory it was started in.
        with open(os.path.join(TEST_BIN_DIR, "marker_installer.exe"), "rb") as f:
            image = f.read()
        cls.image_size = len(image)
        cls.served = os.path.join(cls.www, INSTALLER)
        with open(cls.served, "wb") as f:
            f.write(image + random.Random(7).randbytes(24 * 1024 * 1024 - len(image)))
        cls.digest = sha256(cls.served)

    @classmethod
    def tearDownClass(cls):
        shutil.rmtree(cls.root, ignore_errors=True)

    def setUp(self):
        self.work = tempfile.mkdtemp(dir=self.root, prefix="work-")
        self.server = None
        self.launchers = []

    def tearDown(self):
        for launcher in self.launchers:
            launcher.kill()
        if self.server:
            self.server.stop()

    def serve(self, rate="0", docroot=None):
        self.server = DemoServer(docroot or self.www, rate)

    def start(self, **kwargs):
        launcher = Launcher(self.work, **kwargs)
        self.launchers.append(launcher)
        self.assertTrue(wait_for(lambda: window_origin() is not None, 20), "no window")
        time.sleep(0.5)
        return launcher

    def installer_ran(self):
        return os.path.exists(os.path.join(self.work, "installer_ran.txt"))

    def assert_complete(self):
        target = os.path.join(self.work, INSTALLER)
        self.assertEqual(sha256(target), self.digest)
        self.assertFalse(os.path.exists(target + ".xdf"))
        with open(os.path.join(self.work, "installer_ran.txt")) as f:
            ran = f.read().splitlines()
        self.assertEqual(len(ran), 1, "installer started once")
        self.assertTrue(ran[0].lower().endswith(os.path.basename(self.work).lower()), ran[0])

    def test_download_completes_starts_the_installer_and_shows_the_bars(self):
        self.serve()
        self.start()
        self.assertTrue(wait_for(self.installer_ran, 60), "installer never started")
        self.assert_complete()

        time.sleep(0.5)
        image = screenshot()
        origin = window_origin()
        self.assertEqual(origin, ((1024 - WIDTH) // 2, (768 - HEIGHT) // 2))
        self.assertGreater(share_equal(region(image, origin, LOWER_BAR), picture(155)), 0.9,
                           "lower bar is not full")
        self.assertGreater(share_equal(region(image, origin, UPPER_BAR),
                                       picture(151, UPPER_BAR)), 0.9, "upper bar is not empty")
        status_changed = 1 - share_equal(region(image, origin, STATUS), picture(151, STATUS))
        self.assertGreater(status_changed, 0.02, "no status text")

    def test_a_killed_run_resumes_with_a_range_request(self):
        self.serve(rate="3m")
        first = self.start()
        partial = os.path.join(self.work, INSTALLER + ".xdf")
        self.assertTrue(wait_for(lambda: os.path.exists(partial) and
                                 os.path.getsize(partial) > 4 * 1024 * 1024, 30))
        image = screenshot()  # mid-transfer: the lower bar part-filled, the upper empty
        origin = window_origin()
        lower = share_equal(region(image, origin, LOWER_BAR), picture(151, LOWER_BAR))
        self.assertLess(lower, 0.95, "lower bar shows no progress")
        self.assertGreater(share_equal(region(image, origin, UPPER_BAR),
                                       picture(151, UPPER_BAR)), 0.9)
        first.kill()
        kept = os.path.getsize(partial)
        self.assertGreater(kept, 0)

        self.start()
        self.assertTrue(wait_for(self.installer_ran, 90), "installer never started")
        self.assert_complete()
        # The same file resumes as before, now asking for the rest of that copy only.
        resumed = [l for l in self.server.access_log()
                   if l.startswith("206 ") and 'range="bytes=' in l and 'if_range=""' not in l]
        self.assertTrue(resumed, "\n".join(self.server.access_log()))

    def test_a_file_replaced_between_runs_is_fetched_whole_never_spliced(self):
        www = tempfile.mkdtemp(dir=self.root, prefix="www-")
        served = os.path.join(www, INSTALLER)
        shutil.copyfile(self.served, served)
        self.serve(rate="3m", docroot=www)
        first = self.start()
        partial = os.path.join(self.work, INSTALLER + ".xdf")
        self.assertTrue(wait_for(lambda: os.path.exists(partial) and
                                 os.path.getsize(partial) > 2 * 1024 * 1024, 30))
        first.kill()
        with open(partial + ".tsf") as f:  # a whole record survives the kill
            self.assertRegex(f.read(), r'^launcher-transfer 1\nvalidator "[^"\n]+"\nsize \d+\n$')

        # A new version is published: same size, new content, new validator.
        with open(served, "rb") as f:
            image = f.read()
        keep = self.image_size  # the program itself stays runnable
        newer = image[:keep] + random.Random(99).randbytes(len(image) - keep)
        with open(served + ".new", "wb") as f:
            f.write(newer)
        os.replace(served + ".new", served)
        later = time.time() + 3600
        os.utime(served, (later, later))

        self.start()
        self.assertTrue(wait_for(self.installer_ran, 90), "installer never started")
        self.assertEqual(sha256(os.path.join(self.work, INSTALLER)),
                         hashlib.sha256(newer).hexdigest())
        log = self.server.access_log()
        self.assertTrue(any(l.startswith("200 ") and 'range="bytes=' in l and
                            'if_range=""' not in l for l in log), "\n".join(log))

    def test_a_missing_file_keeps_the_launcher_retrying_with_the_error_text(self):
        empty = os.path.join(self.root, "empty")
        os.makedirs(empty, exist_ok=True)
        self.serve(docroot=empty)
        launcher = self.start(debugstr=True)
        self.assertTrue(wait_for(lambda: len(self.server.access_log()) >= 3, 30),
                        "\n".join(self.server.access_log()))
        self.assertTrue(all(l.startswith("404 ") for l in self.server.access_log()))
        self.assertTrue(launcher.alive())
        self.assertIn("download error!!", launcher.output())
        # While it waits before the next attempt the error text stays up.
        image = screenshot()
        status_changed = 1 - share_equal(region(image, window_origin(), STATUS),
                                         picture(151, STATUS))
        self.assertGreater(status_changed, 0.02)

    def test_close_button_ends_the_launcher(self):
        self.serve(rate="1m")
        launcher = self.start()
        x, y = window_origin()
        xdotool("mousemove", x + CLOSE_BUTTON[0] + 12, y + CLOSE_BUTTON[1] + 12)
        time.sleep(0.3)
        xdotool("click", 1)
        self.assertTrue(wait_for(lambda: not launcher.alive(), 10), "still running")

    def test_close_message_during_a_transfer_ends_it_within_the_wait(self):
        self.serve(rate="1m")
        launcher = self.start()
        partial = os.path.join(self.work, INSTALLER + ".xdf")
        self.assertTrue(wait_for(lambda: os.path.exists(partial) and os.path.getsize(partial) > 0, 20))
        started = time.monotonic()
        self.assertEqual(wine_helper("post_close.exe"), 1)
        self.assertTrue(wait_for(lambda: not launcher.alive(), 8), "still running")
        self.assertLess(time.monotonic() - started, 8)
        self.assertFalse(self.installer_ran())

    def test_pressing_passes_through_widgets_to_drag_the_window(self):
        self.serve(rate="1m")
        launcher = self.start()
        cases = [("status text", STATUS, True), ("upper bar", UPPER_BAR, True),
                 ("lower bar", LOWER_BAR, True), ("start button", START_BUTTON, True),
                 ("close button", CLOSE_BUTTON, False)]
        for name, rect, drags in cases:
            x, y = window_origin()
            px, py = x + rect[0] + rect[2] // 2, y + rect[1] + rect[3] // 2
            xdotool("mousemove", px, py)
            time.sleep(0.2)
            xdotool("mousedown", 1)
            time.sleep(0.2)
            for step in range(1, 5):
                xdotool("mousemove", px + 10 * step, py + 5 * step)
                time.sleep(0.1)
            xdotool("mouseup", 1)
            time.sleep(0.5)
            moved = window_origin()
            expected = (x + 40, y + 20) if drags else (x, y)
            self.assertEqual(moved, expected, name)
            self.assertTrue(launcher.alive(), name)


if __name__ == "__main__":
    unittest.main(verbosity=2)
