#!/usr/bin/python3
"""Runs the download and start-up measurements and prints their medians.

bench/run builds the programs, starts Xvfb, the Wine prefix and nginx on
127.0.0.1 and then calls this with the paths below. Every measurement runs
REPS times, interleaved (one of each per round) so that a burst of load on a
shared machine spreads over all of them instead of landing on one.

CPU seconds: the Windows programs report their own process (or thread) times
with GetProcessTimes/GetThreadTimes; the Linux programs' come from wait4's
resource usage. Under Wine a share of every socket and file call is carried
out by the wineserver process, so its CPU over each run is shown beside.
"""
import argparse
import hashlib
import json
import os
import random
import resource
import shutil
import statistics
import subprocess
import sys
import time

WINE = "/usr/lib/wine/wine64"
INSTALLER = "ny_setup_hx_v1.1.9.5026.exe"
MIB = 1024 * 1024
CLK_TCK = os.sysconf("SC_CLK_TCK")


def windows_path(path):
    return "Z:" + os.path.abspath(path).replace("/", "\\")


def sha256(path):
    h = hashlib.sha256()
    with open(path, "rb") as f:
        for block in iter(lambda: f.read(4 * MIB), b""):
            h.update(block)
    return h.hexdigest()


def parse_figures(text):
    """The last "key=value ..." line a bench program printed."""
    lines = [l for l in text.splitlines() if "=" in l]
    if not lines:
        return {}
    figures = {}
    for item in lines[-1].split():
        key, _, value = item.partition("=")
        try:
            figures[key] = float(value)
        except ValueError:
            figures[key] = value
    return figures


def task_cpu(pid, tid):
    """User plus system seconds of one Linux thread, or None once it is gone."""
    try:
        with open(f"/proc/{pid}/task/{tid}/stat") as f:
            fields = f.read().rsplit(")", 1)[1].split()
        return (int(fields[11]) + int(fields[12])) / CLK_TCK
    except (OSError, IndexError, ValueError):
        return None


def find_wineserver(prefix):
    """PID of the wineserver that serves `prefix`, or None."""
    for entry in os.listdir("/proc"):
        if not entry.isdigit():
            continue
        try:
            with open(f"/proc/{entry}/comm") as f:
                if not f.read().startswith("wineserver"):
                    continue
            with open(f"/proc/{entry}/environ", "rb") as f:
                env = f.read().split(b"\0")
        except OSError:
            continue
        if ("WINEPREFIX=" + prefix).encode() in env:
            return int(entry)
    return None


class Runner:
    def __init__(self, args):
        self.args = args
        self.bin = args.build_dir
        self.scratch = args.scratch
        self.url = f"http://127.0.0.1:{args.port}/"
        self.wineserver = find_wineserver(os.environ["WINEPREFIX"])
        if self.wineserver is None:
            sys.exit("bench: no wineserver for this prefix (start_wine first)")

    def server_cpu(self):
        return task_cpu(self.wineserver, self.wineserver) or 0.0

    def fresh_dir(self, name):
        path = os.path.join(self.scratch, name)
        shutil.rmtree(path, ignore_errors=True)
        os.makedirs(path)
        return path

    def run(self, command, cwd, timeout):
        """Runs a program; returns its figures plus outer wall, CPU and wineserver CPU."""
        before = resource.getrusage(resource.RUSAGE_CHILDREN)
        server0 = self.server_cpu()
        t0 = time.monotonic()
        done = subprocess.run(command, cwd=cwd, capture_output=True, text=True, timeout=timeout)
        wall = time.monotonic() - t0
        server = self.server_cpu() - server0
        after = resource.getrusage(resource.RUSAGE_CHILDREN)
        if done.returncode != 0:
            raise RuntimeError(f"{command[0]} {command[1:]} failed ({done.returncode}):\n"
                               f"{done.stdout}\n{done.stderr}")
        figures = parse_figures(done.stdout)
        figures["outer_wall"] = wall
        figures["outer_cpu"] = (after.ru_utime - before.ru_utime) + (after.ru_stime - before.ru_stime)
        figures["server_cpu"] = server
        return figures

    def wine(self, program, *args, cwd, timeout=900):
        return self.run([WINE, os.path.join(self.bin, program)] + list(args), cwd, timeout)


# The engine as it is, then with what-ifs for the worker (WhatIf.h): no
# flush at all (what the worker's remaining flushes cost), its progress posts
# coalesced to one per 50 ms, and with that its stop-event test made at most
# once per 50 ms.
NO_FLUSH = ["--flush-every", "0"]
PROGRESS_50MS = ["--progress-every-ms", "50"]
STOP_50MS = ["--stop-check-every-ms", "50"]
ENGINE_ROWS = [("engine", []), ("engine, no flush", NO_FLUSH),
               ("engine, progress 50 ms", PROGRESS_50MS),
               ("engine, progress and stop test 50 ms", PROGRESS_50MS + STOP_50MS)]
UI_ROWS = [("in-process", []), ("in-process, progress 50 ms", PROGRESS_50MS)]

# (name, steps, chunk) of the bare WinINet loop; the first is the floor.
FLOOR_ROWS = [("floor", "mem", 10240), ("floor, 64 KiB reads", "mem", 65536),
              ("floor + write", "write", 10240), ("floor + write + flush", "write,flush", 10240),
              ("floor + write + watch", "write,watch", 10240),
              ("floor + write + watch + event", "write,watch,event", 10240),
              ("floor + write + watch + event + post", "write,watch,event,post", 10240)]


def download_round(r, served, size, digest, check):
    """One run of each downloader over the served file; returns name -> figures."""
    url = r.url + os.path.basename(served)
    results = {}

    def verified(name, path, figures):
        got = os.path.getsize(path) if os.path.exists(path) else -1
        if got != size or (check and sha256(path) != digest):
            raise RuntimeError(f"{name}: the downloaded file differs from the served one")
        results[name] = figures

    for name, what_ifs in ENGINE_ROWS:
        work = r.fresh_dir("dl")
        f = r.wine("bench/bench_engine.exe", url, INSTALLER, "900", *what_ifs, cwd=work)
        verified(name, os.path.join(work, INSTALLER), f)

    for name, steps, chunk in FLOOR_ROWS:
        work = r.fresh_dir("dl")
        out = os.path.join(work, "out.bin")
        f = r.wine("bench/bench_floor.exe", url, steps, str(chunk), windows_path(out), cwd=work)
        if f.get("bytes") != size:
            raise RuntimeError(f"{name}: read {f.get('bytes')} bytes, not {size}")
        if "write" in steps:
            verified(name, out, f)
        else:
            results[name] = f

    tools = [("curl", ["curl", "-sS", "-o", "out.bin", url]),
             ("wget", ["wget", "-q", "-O", "out.bin", url]),
             ("aria2c", ["aria2c", "-q", "-x1", "-s1", "--allow-overwrite=true", "-o", "out.bin",
                         url])]
    for name, command in tools:
        work = r.fresh_dir("dl")
        f = r.run(command, work, 900)
        f["wall"], f["cpu"] = f["outer_wall"], f["outer_cpu"]
        verified(name, os.path.join(work, "out.bin"), f)
    shutil.rmtree(os.path.join(r.scratch, "dl"), ignore_errors=True)
    return results


def first_frame_round(r):
    results = {}
    work = r.fresh_dir("frame")
    report = os.path.join(work, "bare_paint.txt")
    results["bare window"] = r.wine("bench/bench_firstframe.exe",
                                    windows_path(os.path.join(r.bin, "bench/bench_bare_window.exe")),
                                    windows_path(report), cwd=work, timeout=60)
    # The launcher starts its download at once, as it does for a user.
    work = r.fresh_dir("frame")
    results["launcher"] = r.wine("bench/bench_firstframe.exe",
                                 windows_path(os.path.join(r.bin, "launcher.exe")), "",
                                 cwd=work, timeout=60)
    return results


def ui_round(r, served_size):
    """The real dialog in-process (bench_ui), then the real launcher.exe seen from outside."""
    results = {}
    for name, what_ifs in UI_ROWS:
        work = r.fresh_dir("ui")
        results[name] = r.wine("bench/bench_ui.exe", "900", *what_ifs, cwd=work, timeout=900)

    # launcher.exe: its UI thread is the process's first Linux thread (tid ==
    # pid under Wine). CPU from /proc between the first bytes on disk and the
    # installer's start, which is the whole download but its first moments.
    work = r.fresh_dir("ui")
    partial = os.path.join(work, INSTALLER + ".xdf")
    marker = os.path.join(work, "installer_ran.txt")
    launcher = subprocess.Popen([WINE, os.path.join(r.bin, "launcher.exe")], cwd=work,
                                stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    try:
        deadline = time.monotonic() + 60
        while time.monotonic() < deadline and not (
                os.path.exists(partial) and os.path.getsize(partial) > 0):
            time.sleep(0.005)
        ui0, t0 = task_cpu(launcher.pid, launcher.pid), time.monotonic()
        deadline = time.monotonic() + 900
        while time.monotonic() < deadline and not os.path.exists(marker):
            time.sleep(0.005)
        ui1, t1 = task_cpu(launcher.pid, launcher.pid), time.monotonic()
        threads = len(os.listdir(f"/proc/{launcher.pid}/task"))
    finally:
        launcher.kill()
        launcher.wait(30)
    if not os.path.exists(marker) or ui0 is None or ui1 is None:
        raise RuntimeError("launcher.exe did not complete its download")
    results["launcher.exe"] = {"wall": t1 - t0, "ui_cpu": ui1 - ui0,
                               "ui_cpu_pct": 100 * (ui1 - ui0) / (t1 - t0), "threads": threads}
    shutil.rmtree(work, ignore_errors=True)
    return results


def memory_round(r, served_big, size):
    work = r.fresh_dir("mem")
    f = r.wine("bench/bench_engine.exe", r.url + os.path.basename(served_big), INSTALLER,
               cwd=work, timeout=1800)
    if f.get("bytes") != size or os.path.getsize(os.path.join(work, INSTALLER)) != size:
        raise RuntimeError("1 GiB download: wrong size")
    shutil.rmtree(work, ignore_errors=True)
    return {"engine 1 GiB": f}


def median(rounds, name, key):
    values = [round_[name][key] for round_ in rounds if name in round_ and key in round_[name]]
    return statistics.median(values) if values else float("nan")


def best(rounds, name, key):
    values = [round_[name][key] for round_ in rounds if name in round_ and key in round_[name]]
    return min(values) if values else float("nan")


def report(results, reps, size):
    lines = []
    out = lines.append
    dl = results["download"]
    out(f"Download of {size // MIB} MiB from nginx on 127.0.0.1, median of {reps} and best "
        f"wall (CPU: the program's own; wineserver: its CPU during the run)")
    out(f"  {'program':<44}{'wall s':>8}{'best':>7}{'CPU s':>8}{'wineserver s':>14}{'MB/s':>8}")
    names = [("engine", "engine: manager + worker + file"),
             ("engine, no flush", "engine, no flush *"),
             ("engine, progress 50 ms", "engine, progress posts 50 ms apart *"),
             ("engine, progress and stop test 50 ms", "... and stop-event test 50 ms apart *"),
             ("floor", "floor: WinINet 10 KiB reads to memory"),
             ("floor, 64 KiB reads", "WinINet 64 KiB reads to memory"),
             ("floor + write", "WinINet 10 KiB + WriteFile"),
             ("floor + write + flush", "WinINet 10 KiB + WriteFile + Flush"),
             ("floor + write + watch", "WinINet 10 KiB + Write + watchdog"),
             ("floor + write + watch + event", "... + stop-event test"),
             ("floor + write + watch + event + post", "... + post and pump"),
             ("curl", "curl"), ("wget", "wget"), ("aria2c", "aria2c -x1 -s1")]
    for key, label in names:
        wall = median(dl, key, "wall")
        server = median(dl, key, "server_cpu") if key not in ("curl", "wget", "aria2c") else 0.0
        out(f"  {label:<44}{wall:>8.2f}{best(dl, key, 'wall'):>7.2f}"
            f"{median(dl, key, 'cpu'):>8.2f}{server:>14.2f}"
            f"{size / MIB / wall:>8.1f}")
    e_wall, e_cpu = median(dl, "engine", "wall"), median(dl, "engine", "cpu")
    e_all = e_cpu + median(dl, "engine", "server_cpu")
    f_all = median(dl, "floor", "cpu") + median(dl, "floor", "server_cpu")
    out(f"  engine/floor: wall {e_wall / median(dl, 'floor', 'wall'):.2f}x "
        f"(best {best(dl, 'engine', 'wall') / best(dl, 'floor', 'wall'):.2f}x), "
        f"CPU {e_cpu / median(dl, 'floor', 'cpu'):.2f}x, "
        f"CPU with wineserver {e_all / f_all:.2f}x")
    out(f"  engine/curl:  wall {e_wall / median(dl, 'curl', 'wall'):.2f}x, "
        f"CPU {e_cpu / median(dl, 'curl', 'cpu'):.2f}x")
    out("  * what-ifs for the worker (bench/WhatIf.h), its code unchanged: FlushFileBuffers "
        "never passed on; progress posts at most one per 50 ms; the stop event asked at most "
        "once per 50 ms")
    for key, _ in ENGINE_ROWS[1:]:
        with_server = median(dl, key, "cpu") + median(dl, key, "server_cpu")
        out(f"  {key}: engine/floor wall {median(dl, key, 'wall') / median(dl, 'floor', 'wall'):.2f}x "
            f"(best {best(dl, key, 'wall') / best(dl, 'floor', 'wall'):.2f}x), "
            f"CPU {median(dl, key, 'cpu') / median(dl, 'floor', 'cpu'):.2f}x, "
            f"CPU with wineserver {with_server / f_all:.2f}x")
    reads = median(dl, "floor + write", "reads")
    flush_cost = median(dl, "floor + write + flush", "wall") - median(dl, "floor + write", "wall")
    engine_flush = e_wall - median(dl, "engine, no flush", "wall")
    out(f"  a flush after every 10 KiB chunk: {flush_cost:+.2f} s over {reads:.0f} chunks "
        f"({1e3 * flush_cost / reads:.2f} ms a chunk); the engine's own flushes: "
        f"{engine_flush:+.2f} s ({100 * engine_flush / e_wall:.0f} % of its wall time)")
    out(f"  engine threads: UI {median(dl, 'engine', 'ui_cpu'):.2f} s, "
        f"worker {median(dl, 'engine', 'worker_cpu'):.2f} s CPU; "
        f"{median(dl, 'engine', 'progress_messages'):.0f} progress messages")

    ff = results["first_frame"]
    out("")
    out(f"Start to first painted frame, median of {reps} (ms from CreateProcess)")
    out(f"  {'program':<40}{'visible':>10}{'painted':>10}{'own report':>12}")
    for key in ("bare window", "launcher"):
        own = median(ff, key, "own_paint_end_ms")
        own_text = f"{own:>12.1f}" if own >= 0 else f"{'-':>12}"
        out(f"  {key:<40}{median(ff, key, 'visible_ms'):>10.1f}"
            f"{median(ff, key, 'painted_ms'):>10.1f}{own_text}")

    ui = results["ui"]
    out("")
    out(f"UI thread during a full-speed {size // MIB} MiB download, median of {reps}")
    for key, _ in UI_ROWS:
        out(f"  {key + ':':<50}{median(ui, key, 'ui_cpu_pct'):5.1f} % of a core, "
            f"{median(ui, key, 'paints_per_s'):.1f} WM_PAINT/s, "
            f"{median(ui, key, 'progress_per_s'):.0f} progress messages/s, "
            f"download {median(ui, key, 'wall'):.1f} s")
    out(f"  {'launcher.exe, from /proc:':<50}{median(ui, 'launcher.exe', 'ui_cpu_pct'):5.1f} % "
        f"of a core, download {median(ui, 'launcher.exe', 'wall'):.1f} s")
    # The engine's pump does what the dialog's loop does minus the drawing.
    out("  taking the progress messages alone (bench_engine's pump, no drawing):")
    for engine, _ in ENGINE_ROWS:
        pump = median(dl, engine, "ui_cpu") / median(dl, engine, "wall")
        out(f"    {engine + ':':<48}{100 * pump:5.1f} % of a core, "
            f"{median(dl, engine, 'progress_messages') / median(dl, engine, 'wall'):.0f} "
            f"messages/s, "
            f"{1e6 * median(dl, engine, 'ui_cpu') / median(dl, engine, 'progress_messages'):.0f}"
            f" us a message")

    mem = results["memory"]
    if mem:
        out("")
        out(f"Engine memory over a 1 GiB download, median of {len(mem)}")
        k = "engine 1 GiB"
        out(f"  peak working set {median(mem, k, 'peak_ws_mib'):.1f} MiB "
            f"(before the download {median(mem, k, 'peak_ws_before_mib'):.1f}), "
            f"peak pagefile {median(mem, k, 'peak_pagefile_mib'):.1f} MiB "
            f"(before {median(mem, k, 'peak_pagefile_before_mib'):.1f}); "
            f"wall {median(mem, k, 'wall'):.1f} s")
    return "\n".join(lines)


def make_payload(program, output, size):
    """`program` padded to `size` bytes with seeded noise, written in blocks."""
    rng = random.Random(20261211)
    with open(program, "rb") as f:
        image = f.read()
    with open(output + ".tmp", "wb") as f:
        f.write(image)
        left = size - len(image)
        while left > 0:
            block = min(left, 16 * MIB)
            f.write(rng.randbytes(block))
            left -= block
    os.replace(output + ".tmp", output)


def main():
    if len(sys.argv) == 5 and sys.argv[1] == "--make-payload":
        make_payload(sys.argv[2], sys.argv[3], int(sys.argv[4]))
        return
    parser = argparse.ArgumentParser()
    parser.add_argument("--build-dir", required=True)
    parser.add_argument("--scratch", required=True)
    parser.add_argument("--port", type=int, required=True)
    parser.add_argument("--served", required=True, help="the 256 MiB file nginx serves")
    parser.add_argument("--served-big", help="the 1 GiB file nginx serves")
    parser.add_argument("--reps", type=int, default=5)
    parser.add_argument("--json", help="write every figure here")
    args = parser.parse_args()

    r = Runner(args)
    size = os.path.getsize(args.served)
    digest = sha256(args.served)
    results = {"download": [], "first_frame": [], "ui": [], "memory": []}
    for n in range(args.reps):
        print(f"bench: round {n + 1} of {args.reps}", file=sys.stderr, flush=True)
        results["download"].append(download_round(r, args.served, size, digest, check=n == 0))
        results["first_frame"].append(first_frame_round(r))
        results["ui"].append(ui_round(r, size))
        if args.served_big:
            results["memory"].append(memory_round(r, args.served_big,
                                                  os.path.getsize(args.served_big)))
    if args.json:
        with open(args.json, "w") as f:
            json.dump(results, f, indent=1)
    print(report(results, args.reps, size))


if __name__ == "__main__":
    main()
