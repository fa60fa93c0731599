#!/usr/bin/python3
"""Starts and stops the FTP servers the ftp tests use (a ctest fixture).

  ftp_fixture.py start STATE_DIR   two servers over STATE_DIR/root: one
                                   knowing MDTM (port in STATE_DIR/port),
                                   one not (STATE_DIR/port-no-mdtm)
  ftp_fixture.py stop STATE_DIR    ends them by the PIDs in STATE_DIR

The servers run detached from ctest's output pipes and end by themselves
after 30 minutes should stop never come.
"""
import os
import shutil
import signal
import subprocess
import sys
import time

HERE = os.path.dirname(os.path.abspath(__file__))
SERVERS = {"port": [], "port-no-mdtm": ["--no-mdtm"]}
START_TIMEOUT_S = 15
STOP_TIMEOUT_S = 5


def wait_for(predicate, timeout):
    deadline = time.monotonic() + timeout
    while time.monotonic() < deadline:
        if predicate():
            return True
        time.sleep(0.05)
    return predicate()


def pid_file(state, name):
    return os.path.join(state, name + ".pid")


def start(state):
    stop(state)
    shutil.rmtree(state, ignore_errors=True)
    root = os.path.join(state, "root")
    os.makedirs(root)
    for name, extra in SERVERS.items():
        port_file = os.path.join(state, name)
        log = os.path.join(state, name + ".log")
        with open(os.devnull, "rb") as stdin, open(log + ".out", "wb") as out:
            process = subprocess.Popen(
                ["/usr/bin/python3", os.path.join(HERE, "ftp_server.py"), "--root", root,
                 "--port-file", port_file, "--log", log] + extra,
                stdin=stdin, stdout=out, stderr=subprocess.STDOUT, start_new_session=True)
        with open(pid_file(state, name), "w") as f:
            f.write(str(process.pid))
        if not wait_for(lambda: os.path.exists(port_file), START_TIMEOUT_S):
            print("FTP server %s did not start; see %s.out" % (name, log))
            stop(state)
            return 1
        print("FTP server %s on 127.0.0.1:%s (pid %d)" % (name, open(port_file).read(),
                                                           process.pid))
    return 0


def alive(pid):
    try:
        os.kill(pid, 0)
    except ProcessLookupError:
        return False
    # A child of ours that ended but was not reaped counts as gone.
    try:
        with open("/proc/%d/stat" % pid) as f:
            return f.read().split(") ")[-1][0] != "Z"
    except OSError:
        return False


def stop(state):
    for name in SERVERS:
        path = pid_file(state, name)
        if not os.path.exists(path):
            continue
        pid = int(open(path).read())
        os.remove(path)
        if not alive(pid):
            continue
        os.kill(pid, signal.SIGTERM)
        if not wait_for(lambda: not alive(pid), STOP_TIMEOUT_S):
            os.kill(pid, signal.SIGKILL)
    return 0


def main():
    if len(sys.argv) != 3 or sys.argv[1] not in ("start", "stop"):
        print(__doc__)
        return 2
    return start(sys.argv[2]) if sys.argv[1] == "start" else stop(sys.argv[2])


if __name__ == "__main__":
    sys.exit(main())
