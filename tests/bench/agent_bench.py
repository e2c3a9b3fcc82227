"""The hot-corner agent's cost and speed under the build's Wine session (prints figures, no test):

    agent_bench.py BUILD_DIR [SECONDS]
    agent_bench.py BUILD_DIR SECONDS gamepads

1. Idle: the agent running with the pointer away from every corner for SECONDS (60 by default):
   its processor time and working set as Windows counts them (agent_meter.exe inside Wine), and,
   as Linux counts them, the processor time of the agent's process and of the Wine server.
2. Latency: from the pointer entering a "now" corner to the configured saver's first tick, five
   times.
With "gamepads", instead: the processor time (Linux view) of the agent and of a full-screen run of
the test saver for SECONDS each, with no pad connected and with one connected at rest, through the
stand-in xinput1_4.dll (tests/framework/standins/xinput_pad.c); the agent also with gamepads off.
Needs a running session (tools/wine-session.sh start BUILD_DIR) and the agent_e2e_programs
target built."""
import os
import statistics
import subprocess
import sys
import time

sys.dont_write_bytecode = True  # no __pycache__ in the source tree
sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "e2e"))
from saverrun import Program, Scratch, copy_program, windows_path  # noqa: E402
from winesession import Session, poll  # noqa: E402

AGENT = os.path.join("agent", "morvanecorners.exe")
SETTINGS_KEY = r"HKCU\Software\Microsoft\Windows\CurrentVersion\Screen Savers"
DESKTOP_KEY = r"HKCU\Control Panel\Desktop"
TICKS = os.sysconf("SC_CLK_TCK")


def linux_cpu_seconds(pid):
    """User plus system time of the process, or None when it has gone."""
    try:
        with open("/proc/%d/stat" % pid) as f:
            fields = f.read().rsplit(")", 1)[1].split()
    except OSError:
        return None
    return (int(fields[11]) + int(fields[12])) / TICKS


def pids_named(fragment):
    found = []
    for entry in os.listdir("/proc"):
        if not entry.isdigit():
            continue
        try:
            with open("/proc/%s/cmdline" % entry, "rb") as f:
                command = f.read().replace(b"\0", b" ").decode(errors="replace")
        except OSError:
            continue
        if fragment in command:
            found.append(int(entry))
    return found


def cpu_while(pid_fragment, seconds):
    """Processor seconds per second of wall time of the Wine processes named so, over seconds."""
    pids = pids_named(pid_fragment)
    before = {p: linux_cpu_seconds(p) for p in pids}
    started = time.monotonic()
    time.sleep(seconds)
    wall = time.monotonic() - started
    used = sum(linux_cpu_seconds(p) - before[p] for p in pids
               if before[p] is not None and linux_cpu_seconds(p) is not None)
    return used / wall


def gamepad_figures(session, scratch, seconds):
    pad_file = scratch.path("pads.txt")
    pads = {"MORVANE_STANDIN_PAD": windows_path(pad_file),
            "WINE_EXTRA_DLLOVERRIDES": "xinput1_4=n"}

    def set_pad(connected):
        with open(pad_file + ".new", "w") as f:
            f.write("0 0 0 0 100 -100 0 0 rest\n" if connected else "")
        os.replace(pad_file + ".new", pad_file)

    saver = copy_program(session, "test_saver_plain.exe", scratch.dir)
    for connected in (False, True):
        set_pad(connected)
        run = Program(session, scratch, saver, "/s", threshold=999999, env=pads)
        scratch.wait_lines("tick 10", timeout=30)
        cpu = cpu_while(saver, seconds)
        run.kill()
        print("saver run (test saver, a tick per display refresh), pad %s: %.3f s per s"
              % ("connected" if connected else "absent   ", cpu))
    agent = Program(session, scratch, AGENT, threshold=200, env=pads)
    try:
        scratch.wait_lines("Morvane corners: running", timeout=30)
        for connected, choice in ((False, "on"), (True, "on"), (True, "off")):
            Program(session, scratch, AGENT, "/gamepads:" + choice).wait_exit()
            set_pad(connected)
            time.sleep(3.5)  # a look at the pads has seen the change
            cpu = cpu_while("morvanecorners.exe", seconds)
            print("agent, gamepads %-3s, pad %s: %.4f s per s = %.2f%% of one core"
                  % (choice, "connected" if connected else "absent   ", cpu, cpu * 100))
    finally:
        Program(session, scratch, AGENT, "/gamepads:on").wait_exit()
        Program(session, scratch, AGENT, "/quit").wait_exit()
        agent.kill()


def main():
    build = os.path.abspath(sys.argv[1])
    seconds = int(sys.argv[2]) if len(sys.argv) > 2 else 60
    session = Session(build)
    scratch = Scratch()
    if sys.argv[3:] == ["gamepads"]:
        try:
            gamepad_figures(session, scratch, seconds)
        finally:
            scratch.remove()
        return

    def reg(*args):
        subprocess.run([session.wine_run, "reg", *args], env=session.env, capture_output=True,
                       timeout=60)

    scr = os.path.join(scratch.dir, "bench.scr")
    os.rename(copy_program(session, "test_saver_plain.exe", scratch.dir), scr)
    reg("add", DESKTOP_KEY, "/v", "SCRNSAVE.EXE", "/t", "REG_SZ", "/d", windows_path(scr), "/f")
    reg("add", SETTINGS_KEY, "/v", "Mouse Corners", "/t", "REG_SZ", "/d", "Y---", "/f")
    session.xdotool("mousemove", "500", "400")
    agent = Program(session, scratch, AGENT, threshold=200)
    try:
        scratch.wait_lines("Morvane corners: running", timeout=30)
        # Idle.
        agent_pids = [p for p in pids_named("morvanecorners.exe") if p != agent.proc.pid] or \
            [agent.proc.pid]
        servers = pids_named("wineserver")
        before = {p: linux_cpu_seconds(p) for p in agent_pids + servers}
        meter = session.run("agent_meter.exe", str(seconds), timeout=seconds + 60)
        after = {p: linux_cpu_seconds(p) for p in before}

        def spent(pids):
            return sum(after[p] - before[p] for p in pids
                       if before[p] is not None and after[p] is not None)
        agent_cpu = spent(agent_pids)
        server_cpu = spent(servers)
        fields = dict(part.split("=") for part in meter.stdout.split())
        print("idle %d s (Windows view): processor %s ms = %.3f%% of one core, working set %s KB "
              "(peak %s KB; an empty console program's under the same Wine: %s KB)"
              % (seconds, fields["cpu_ms"], int(fields["cpu_ms"]) / seconds / 10,
                 fields["working_set_kb"], fields["peak_working_set_kb"], fields["baseline_kb"]))
        print("idle %d s (Linux view): agent process %.2f s = %.3f%% of one core; all Wine "
              "servers of the machine together %.2f s (shared with every Wine program running)"
              % (seconds, agent_cpu, agent_cpu / seconds * 100, server_cpu))
        # Latency.
        latencies = []
        for run in range(1, 6):
            session.xdotool("mousemove", "0", "0")
            entered = time.monotonic()
            found = poll(lambda: len(scratch.matching("tick 0")) >= run, 30, interval=0.005)
            assert found, "the saver did not tick"
            latencies.append((time.monotonic() - entered) * 1000)
            scratch.wait_lines("tick 1", run)  # it takes input once it ticks
            session.xdotool("click", "1")
            scratch.wait_lines("run 1 result=2", run)
            session.xdotool("mousemove", "500", "400")
            scratch.wait_lines("Morvane corners: corner 0 left", run)
        print("corner to the saver's first tick (dwell 300 ms included): median %.0f ms, "
              "min %.0f, max %.0f over %d" % (statistics.median(latencies), min(latencies),
                                              max(latencies), len(latencies)))
    finally:
        Program(session, scratch, AGENT, "/quit").wait_exit()
        agent.kill()
        reg("delete", DESKTOP_KEY, "/v", "SCRNSAVE.EXE", "/f")
        scratch.remove()


if __name__ == "__main__":
    main()
