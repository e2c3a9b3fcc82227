"""Shows the demo on the virtual display: answers the start question "No", lets it run, saves a
screenshot of the scene and ends the demo with Escape."""
import os
import subprocess
import sys
import time

sys.path.insert(0, os.path.join(os.path.dirname(__file__), "..", "tests", "e2e"))
from winesession import Session, wait_exit  # noqa: E402

IDNO = 7


def main(build):
    session = Session(build)
    proc = session.start("glimmerbox.exe")
    box = session.wait_box("Start FullScreen?")
    if box is None:
        proc.kill()
        sys.exit("the start question did not appear")
    session.click(*box["buttons"][IDNO])
    window = session.window("OpenGL", "Glimmerbox")
    if window is None:
        proc.kill()
        sys.exit("the Glimmerbox window did not appear")
    time.sleep(4)  # a demo, not a test: let the scene run for a few seconds
    full = os.path.join(session.build, "demo-screen.png")
    shot = os.path.join(session.build, "demo-screenshot.png")
    session.screenshot(full)
    geometry = "%dx%d+%d+%d" % (window["w"], window["h"], window["x"], window["y"])
    subprocess.run(["/usr/bin/convert", full, "-crop", geometry, "+repage", shot], check=True)
    os.remove(full)
    session.hold_key("Escape")
    try:
        code = wait_exit(proc, 30)
    finally:
        session.release_key("Escape")
    print("Screenshot of the scene: %s" % shot)
    print("Glimmerbox ended with exit code %d" % code)
    return code


if __name__ == "__main__":
    sys.exit(main(sys.argv[1]))
