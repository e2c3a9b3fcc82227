"""What glimmerbox.scr "/s" costs while it draws, while the display is off and while the session is
locked, how soon it draws again, and what its frame-rate overlay costs (prints figures; not a test).

    python3 tests/bench/power_bench.py BUILD_DIR [SECONDS]

inside a running Wine session of that build (tools/wine-session.sh start BUILD_DIR). Each state is
measured over SECONDS (default 5) of wall time, after half a second of settling:
- CPU seconds per second of wall time of the saver's process (all its threads, from
  /proc/PID/stat) and of the session's wineserver (which does part of every Wine call's work),
  and, apart, of the virtual display's X server (which shows each frame);
- from sending "display on" (SC_MONITORPOWER -1) or "unlock" to the start of the first tick after
  it, read from glimmer_probe.exe's log (the saver's own code; both sides stamp
  QueryPerformanceCounter), over several rounds;
- then tests/bench/overlay_bench.cpp's figures: the overlay's cost per frame.
The notices go to the saver window from another process, as the system sends them."""
import os
import re
import statistics
import subprocess
import sys
import tempfile
import time

sys.dont_write_bytecode = True
sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "e2e"))
from winesession import Session, poll  # noqa: E402

WINDOW = ("KoScreenSaverClass", "SaverWindow")
WM_SYSCOMMAND, SC_MONITORPOWER = 0x112, 0xF170
WM_WTSSESSION_CHANGE = 0x2B1
# What pauses the saver, what resumes it, and what the resuming is called.
PAUSES = {"display off": ((WM_SYSCOMMAND, SC_MONITORPOWER, 2), (WM_SYSCOMMAND, SC_MONITORPOWER, -1),
                          "display on"),
          "locked": ((WM_WTSSESSION_CHANGE, 7, 0), (WM_WTSSESSION_CHANGE, 8, 0), "unlock")}
QPC_PER_MS = 10000.0  # QueryPerformanceFrequency under Wine: 10 MHz
TICK = os.sysconf("SC_CLK_TCK")
ROUNDS = 5


def cpu_seconds(pid):
    """User and system time of a process and all its threads."""
    with open("/proc/%d/stat" % pid) as f:
        fields = f.read().rsplit(")", 1)[1].split()
    return (int(fields[11]) + int(fields[12])) / TICK


def session_wineserver(prefix):
    """The pid of the wineserver that serves this Wine prefix."""
    for entry in os.listdir("/proc"):
        if not entry.isdigit():
            continue
        try:
            with open("/proc/%s/comm" % entry) as f:
                if not f.read().startswith("wineserver"):
                    continue
            with open("/proc/%s/environ" % entry, "rb") as f:
                env = f.read().split(b"\0")
        except OSError:
            continue
        if ("WINEPREFIX=" + prefix).encode() in env:
            return int(entry)
    return None


class Bench:
    def __init__(self, build, seconds):
        self.session = Session(build)
        self.seconds = seconds
        self.server = session_wineserver(self.session.env["WINEPREFIX"])
        xvfb = re.search(r"XVFB_PID=(\d+)", open(os.path.join(build, "wine", "session.env")).read())
        self.xvfb = int(xvfb.group(1)) if xvfb else None
        if not self.server:
            sys.exit("no wineserver for %s: start the session first"
                     % self.session.env["WINEPREFIX"])

    def send(self, message, wparam, lparam):
        result = self.session.run("uiprobe.exe", "send", *WINDOW, hex(message), hex(wparam),
                                  str(lparam))
        if result.returncode != 0:
            sys.exit("the saver window took no message %#x" % message)
        return {k: int(v) for k, v in (part.split("=") for part in result.stdout.split())}

    def start(self, exe, log=None):
        env = {"GLIMMER_PROBE_LOG": "Z:" + log.replace("/", "\\")} if log else {}
        self.session.xdotool("mousemove", "300", "300")
        saver = self.session.start(exe, "/s", env=env)
        if not self.session.window(*WINDOW):
            saver.kill()
            sys.exit("no saver window")
        return saver

    def stop(self, saver):
        self.session.key("a")
        try:
            saver.wait(30)
        except subprocess.TimeoutExpired:
            saver.kill()
            saver.wait()
        return saver.returncode

    def measure(self, saver, what):
        time.sleep(0.5)
        pids = [("saver", saver.pid), ("wineserver", self.server)]
        if self.xvfb:
            pids.append(("X server", self.xvfb))
        before = {name: cpu_seconds(pid) for name, pid in pids}
        t0 = time.monotonic()
        time.sleep(self.seconds)
        wall = time.monotonic() - t0
        used = {name: (cpu_seconds(pid) - before[name]) / wall for name, pid in pids}
        both = used["saver"] + used["wineserver"]
        print("  %-13s saver %.4f + wineserver %.4f = %.4f CPU s per s (%.2f%% of a core)%s"
              % (what, used["saver"], used["wineserver"], both, 100 * both,
                 "; X server %.4f" % used["X server"] if "X server" in used else ""))
        sys.stdout.flush()

    def cpu_figures(self):
        print("CPU of glimmerbox.scr /s, %g s each (/proc counts in 1/%d s: %.2f%% of a core is "
              "the least seen per process):" % (self.seconds, TICK, 100.0 / TICK / self.seconds))
        saver = self.start("glimmerbox.scr")
        time.sleep(2)  # the first frames load the textures
        self.measure(saver, "drawing")
        for name, (pause, resume, _) in PAUSES.items():
            self.send(*pause)
            self.measure(saver, name)
            self.send(*resume)
            self.measure(saver, "drawing again")
        print("  exit code %d" % self.stop(saver))

    def wake_figures(self):
        print("From the resuming notice to the first tick's start (glimmer_probe.exe, %d rounds):"
              % ROUNDS)
        with tempfile.TemporaryDirectory(prefix="power-bench-") as scratch:
            log = os.path.join(scratch, "log.txt")
            saver = self.start("glimmer_probe.exe", log)

            def tick_starts():
                try:
                    with open(log) as f:
                        return [int(m.group(1)) for m in re.finditer(r"^tick .* qpc=(\d+)$",
                                                                      f.read(), re.M)]
                except OSError:
                    return []
            poll(lambda: len(tick_starts()) > 30, 30)
            for pause, resume, name in PAUSES.values():
                waits, paused_ticks = [], []
                for _ in range(ROUNDS):
                    self.send(*pause)
                    # The tick under way when the notice came may still end: count from a moment on.
                    time.sleep(0.2)
                    before = len(tick_starts())
                    time.sleep(0.8)
                    paused_ticks.append(len(tick_starts()) - before)
                    sent = self.send(*resume)
                    def after():
                        return [t for t in tick_starts() if t > sent["qpc_before"]]
                    poll(after, 5, interval=0.01)
                    first = min(after() or [0])
                    if first:
                        waits.append((first - sent["qpc_before"]) / QPC_PER_MS)
                    time.sleep(0.3)
                print("  %-10s %s ms (median %.2f); ticks while paused: %s"
                      % (name, " ".join("%.2f" % w for w in waits),
                         statistics.median(waits) if waits else float("nan"), paused_ticks))
            print("  exit code %d" % self.stop(saver))
        sys.stdout.flush()

    def overlay_figures(self):
        print("The frame-rate overlay (overlay_bench.exe):")
        sys.stdout.flush()
        result = self.session.run("overlay_bench.exe", timeout=300)
        print(result.stdout.rstrip())


def main():
    if len(sys.argv) < 2:
        sys.exit(__doc__)
    bench = Bench(sys.argv[1], float(sys.argv[2]) if len(sys.argv) > 2 else 5.0)
    bench.cpu_figures()
    bench.wake_figures()
    bench.overlay_figures()


if __name__ == "__main__":
    main()
