"""What Carousel costs over three monitors: prints figures, it is not a test.

    python3 tests/carousel/carousel_bench.py BUILD_DIR [SECONDS]

On the three-monitor session of BUILD_DIR (tools/multimon-session.sh) it measures, seven starts
each, the time from starting a saver with "/s" to every monitor covered by a window of the run (an X
window of exactly the monitor's size, polled with xwininfo): glimmerbox.scr with a scene per monitor
and the framework's plain test saver, then carousel.scr with own_saver.scr, gdi_saver.scr and a copy
of own_saver.scr (a different saver per monitor), for which it also gives the time until the
three savers' windows are in place. Then, over SECONDS (default 10) while the three savers run:
Carousel's own CPU (its Wine process, /proc) and its resident memory against the plain framework
saver's. It stops the session at the end."""
import os
import shutil
import statistics
import subprocess
import sys
import tempfile
import time

sys.dont_write_bytecode = True  # no __pycache__ in the source tree
HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, os.path.join(HERE, "..", "e2e"))
from saverrun import windows_path  # noqa: E402
from winesession import Session  # noqa: E402

SESSION_SCRIPT = os.path.join(HERE, "..", "..", "tools", "multimon-session.sh")
# The three monitors in X's coordinates (the desktop's top left at 0,0).
X_MONITORS = {(800, 0, 1024, 768), (0, 0, 800, 600), (1824, 0, 640, 480)}
STARTS = 7
session = None


def reg(*args):
    subprocess.run([session.wine_run, "reg", *args], env=session.env, capture_output=True,
                   timeout=60, check=True)


def covered():
    """Whether an X window of each monitor's exact size and place is mapped."""
    out = subprocess.run(["xwininfo", "-root", "-children"], env=session.env, capture_output=True,
                         text=True, timeout=30).stdout
    found = set()
    for line in out.splitlines():
        parts = line.split()
        geometry = [p for p in parts if "x" in p and "+" in p]
        if not geometry:
            continue
        try:
            size, x, y = geometry[-1].split("+")[:3]
            w, h = size.split("x")
            found.add((int(x), int(y), int(w), int(h)))
        except ValueError:
            continue
    return X_MONITORS <= found


def start(exe, log):
    env = {**session.env, "MORVANE_TEST_LOG": windows_path(log)}
    return subprocess.Popen([session.wine_run, os.path.join(session.bin, exe), "/s"],
                            cwd=session.bin, env=env, stdout=subprocess.DEVNULL,
                            stderr=subprocess.DEVNULL)


def stop(proc):
    subprocess.run(["xdotool", "key", "a"], env=session.env, timeout=30)
    try:
        proc.wait(timeout=15)
    except subprocess.TimeoutExpired:
        proc.kill()
        proc.wait()
    # The run's windows gone before the next start is timed.
    end = time.monotonic() + 10
    while covered() and time.monotonic() < end:
        time.sleep(0.05)


def lines(log, prefix):
    try:
        with open(log, errors="replace") as f:
            return [line for line in f if line.startswith(prefix)]
    except FileNotFoundError:
        return []


def time_start(exe, log, children=0):
    """Seconds to every monitor covered and, with children, to that many savers' windows in place;
    the process, still running."""
    if os.path.exists(log):
        os.remove(log)
    begin = time.monotonic()
    proc = start(exe, log)
    cover = placed = None
    while time.monotonic() - begin < 30:
        if cover is None and covered():
            cover = time.monotonic() - begin
        if children and placed is None and len(lines(log, "Carousel: monitor")) >= 2 * children \
                and len([l for l in lines(log, "Carousel: monitor") if "in place" in l]) >= children:
            placed = time.monotonic() - begin
        if cover is not None and (not children or placed is not None):
            break
        time.sleep(0.01)
    return cover, placed, proc


def cpu_seconds(pid):
    with open("/proc/%d/stat" % pid) as f:
        fields = f.read().rsplit(")", 1)[1].split()
    return (int(fields[11]) + int(fields[12])) / os.sysconf("SC_CLK_TCK")


def resident_mb(pid):
    with open("/proc/%d/status" % pid) as f:
        for line in f:
            if line.startswith("VmRSS:"):
                return int(line.split()[1]) / 1024.0
    return 0.0


def figures(name, values):
    values = [v for v in values if v is not None]
    if not values:
        return "%s: no start covered every monitor" % name
    return "%s: median %.2f s, min %.2f s, max %.2f s over %d starts" % (
        name, statistics.median(values), min(values), max(values), len(values))


def main():
    global session
    build = os.path.abspath(sys.argv[1])
    seconds = float(sys.argv[2]) if len(sys.argv) > 2 else 10.0
    scratch = tempfile.mkdtemp(prefix="carousel-bench-")
    log = os.path.join(scratch, "log.txt")
    subprocess.run([SESSION_SCRIPT, "start", build, "three"], check=True, timeout=180)
    try:
        session = Session(build, state_dir="wine-mm")
        savers = os.path.join(session.bin, "carousel_savers")
        copy = os.path.join(scratch, "own_copy.scr")
        shutil.copy(os.path.join(savers, "own_saver.scr"), copy)
        listed = "\\0".join(windows_path(p) for p in (
            os.path.join(savers, "own_saver.scr"),
            os.path.join(session.bin, "scrnsave", "gdi_saver.scr"), copy))
        reg("add", r"HKCU\Software\Morvane\Carousel", "/v", "Savers", "/t", "REG_MULTI_SZ", "/d",
            listed, "/f")
        reg("add", r"HKCU\Software\Morvane\Carousel", "/v", "Cycle", "/t", "REG_DWORD", "/d", "0",
            "/f")
        reg("add", r"HKCU\Software\Glimmerbox\Screen Saver", "/v", "Monitors", "/t", "REG_DWORD",
            "/d", "1", "/f")
        reg("add", r"HKCU\Software\Microsoft\Windows\CurrentVersion\Screen Savers", "/v",
            "Mouse Threshold", "/t", "REG_DWORD", "/d", "200", "/f")
        subprocess.run(["xdotool", "mousemove", "1300", "380"], env=session.env, timeout=30)

        print("Start to every monitor covered, three monitors (the programs take turns, so that a "
              "change in the machine's load falls on each alike):")
        times = {"glimmerbox.scr": [], "test_saver_plain.exe": [], "carousel.scr": []}
        placed = []
        for _ in range(STARTS):
            for exe in times:
                children = 3 if exe == "carousel.scr" else 0
                cover, ready, proc = time_start(exe, log, children)
                times[exe].append(cover)
                if children:
                    placed.append(ready)
                stop(proc)
        for exe, values in times.items():
            print("  " + figures(exe, values))
        print("  " + figures("carousel.scr, the three savers' windows in place", placed))
        sys.stdout.flush()

        _, _, plain = time_start("test_saver_plain.exe", log)
        time.sleep(2)
        plain_mb = resident_mb(plain.pid)
        stop(plain)
        _, _, carousel = time_start("carousel.scr", log, children=3)
        time.sleep(2)
        before, start_at = cpu_seconds(carousel.pid), time.monotonic()
        time.sleep(seconds)
        used = cpu_seconds(carousel.pid) - before
        wall = time.monotonic() - start_at
        carousel_mb = resident_mb(carousel.pid)
        stop(carousel)
        print("While three savers run (%.0f s): carousel.scr's own CPU %.2f%% of a core "
              "(/proc counts in 1/100 s: %.2f s)" % (wall, 100 * used / wall, used))
        print("Resident memory: carousel.scr %.1f MB, the plain framework saver %.1f MB, "
              "%.1f MB more" % (carousel_mb, plain_mb, carousel_mb - plain_mb))
    finally:
        subprocess.run([SESSION_SCRIPT, "stop", build], timeout=120)
        shutil.rmtree(scratch, ignore_errors=True)
    return 0


if __name__ == "__main__":
    sys.exit(main())
