"""Frames per second of glimmerbox.scr on each monitor, with one and with two monitors (a scene per
monitor), and the CPU it takes: prints figures, it is not a test.

    python3 tests/bench/multimon_bench.py BUILD_DIR [SECONDS]

For each layout it starts the multi-monitor session of BUILD_DIR (tools/multimon-session.sh; the
same dummy-driver X server both times), sets glimmerbox.scr to a scene per monitor and runs
saver_bench.exe with "saver": the saver's very code with a counting window procedure in front,
which counts each window's ticks (one drawn and swapped frame each) over SECONDS (default 5) after a
second of warming up. The saver's CPU comes from inside (its process times); the X server's and the
Wine server's from /proc over the same run. It stops the session at the end."""
import os
import subprocess
import sys
import time

sys.dont_write_bytecode = True  # no __pycache__ in the source tree
sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "e2e"))
from winesession import Session  # noqa: E402

SESSION_SCRIPT = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "tools",
                              "multimon-session.sh")
SETTINGS_KEY = r"HKCU\Software\Glimmerbox\Screen Saver"


def cpu_seconds(pid):
    """User and system time of a process so far, or 0 when it is gone."""
    try:
        with open("/proc/%d/stat" % pid) as f:
            fields = f.read().rsplit(")", 1)[1].split()
    except OSError:
        return 0.0
    return (int(fields[11]) + int(fields[12])) / os.sysconf("SC_CLK_TCK")


def server_pids(session, xorg_pid):
    """The X server and this session's Wine server."""
    pids = [xorg_pid]
    prefix = session.env["WINEPREFIX"].encode()
    for entry in os.listdir("/proc"):
        if not entry.isdigit():
            continue
        try:
            with open("/proc/%s/comm" % entry, "rb") as f:
                name = f.read().strip()
            with open("/proc/%s/environ" % entry, "rb") as f:
                env = f.read().split(b"\0")
        except OSError:
            continue
        if name.startswith(b"wineserver") and b"WINEPREFIX=" + prefix in env:
            pids.append(int(entry))
    return pids


def measure(build, layout, seconds):
    subprocess.run([SESSION_SCRIPT, "start", build, layout], check=True, timeout=180)
    session = Session(build, state_dir="wine-mm")
    with open(os.path.join(build, "wine-mm", "session.env")) as f:
        xorg_pid = int([line for line in f if line.startswith("XORG_PID=")][0].split("=")[1])
    subprocess.run([session.wine_run, "reg", "add", SETTINGS_KEY, "/v", "Monitors", "/t",
                    "REG_DWORD", "/d", "1", "/f"], env=session.env, capture_output=True,
                   timeout=60, check=True)
    servers = server_pids(session, xorg_pid)
    before = [cpu_seconds(pid) for pid in servers]
    start = time.monotonic()
    result = session.run("saver_bench.exe", "saver", str(seconds), timeout=seconds + 90)
    wall = time.monotonic() - start
    used = [cpu_seconds(pid) - b for pid, b in zip(servers, before)]
    print("%s monitor(s):" % layout)
    print(result.stdout.rstrip())
    if result.returncode != 0:
        print("  saver_bench ended with %d" % result.returncode)
    # The servers' share is over the whole run (start and warm-up included), so it errs high.
    print("  X server %.2f s, Wine server %.2f s of CPU per s of wall time (whole run, %.1f s)"
          % (used[0] / wall, sum(used[1:]) / wall, wall))
    sys.stdout.flush()
    return result.returncode


def main():
    build = os.path.abspath(sys.argv[1])
    seconds = float(sys.argv[2]) if len(sys.argv) > 2 else 5.0
    try:
        codes = [measure(build, layout, seconds) for layout in ("one", "two")]
    finally:
        subprocess.run([SESSION_SCRIPT, "stop", build], timeout=120)
    return 0 if not any(codes) else 1


if __name__ == "__main__":
    sys.exit(main())
