"""The window as a screen reader sees it over AT-SPI.

Run on a session bus of its own (CMake runs it under dbus-run-session):
tst_accessibility.py PROGRAM CATALOGUE. Starts a display of its own and the
program with one clip on its command line, prints the tree, finds
the controls by role and name under one frame, then converts the clip by
the controls' own actions and hears the row announce its new status.
"""
import os
import shutil
import signal
import subprocess
import sys
import tempfile
import time

import pyatspi
from gi.repository import GLib

program, catalogue = sys.argv[1:3]
passed, failures = [], []


def check(ok, what):
    print(("ok   " if ok else "FAIL ") + what)
    (passed if ok else failures).append(what)


def nodes(acc):
    yield acc
    for i in range(acc.childCount):
        child = acc.getChildAtIndex(i)
        if child is not None:
            yield from nodes(child)


def find(root, role, name):
    return next((n for n in nodes(root) if n.getRoleName() == role and n.name == name), None)


def states(acc):
    return acc.getState()


def show(acc, depth=0):
    print("  " * depth + "%s '%s'" % (acc.getRoleName(), acc.name))
    for i in range(acc.childCount):
        child = acc.getChildAtIndex(i)
        if child is not None:
            show(child, depth + 1)


def wait_for(what, seconds=30):
    end = time.time() + seconds
    while time.time() < end:
        found = what()
        if found:
            return found
        time.sleep(0.2)
    return None


def press(acc):
    actions = acc.queryAction()
    names = [actions.getName(i) for i in range(actions.nActions)]
    actions.doAction(names.index("Press"))


work = tempfile.mkdtemp()
product = os.path.join(work, "MediaForgeStudio")
os.makedirs(product)
shutil.copy(catalogue, os.path.join(product, "data.db"))
clip = os.path.join(work, "city clip.mp4")
subprocess.run(["ffmpeg", "-v", "error", "-f", "lavfi", "-i", "sine=duration=2", "-c:a", "aac", clip], check=True)
# Xvfb picks a free display itself: no race with other displays starting.
display_read, display_write = os.pipe()
xvfb = subprocess.Popen(["Xvfb", "-displayfd", str(display_write), "-screen", "0", "1280x800x24", "-nolisten", "tcp"],
                        pass_fds=[display_write], stderr=subprocess.DEVNULL)
os.close(display_write)
display = ":" + os.read(display_read, 16).decode().strip()
env = dict(os.environ, DISPLAY=display, QT_QPA_PLATFORM="xcb", appdata=work, HOME=work,
           QT_LINUX_ACCESSIBILITY_ALWAYS_ON="1", QT_QUICK_BACKEND="software",
           MEDIAFORGESTUDIO_SITE="http://127.0.0.1:1")
app_process = subprocess.Popen([program, clip], env=env)
try:
    desktop = pyatspi.Registry.getDesktop(0)
    app = wait_for(lambda: next((a for a in desktop if a is not None and a.name == "MediaForgeStudio"), None))
    check(app is not None, "the program is on the accessibility bus")
    if app is None:
        sys.exit(1)
    row_name = "city clip.mp4, 00:00:02, waiting"
    row = wait_for(lambda: find(app, "list item", row_name))
    show(app)

    windows = [app.getChildAtIndex(i) for i in range(app.childCount)]
    check([(w.getRoleName(), w.name) for w in windows] == [("frame", "MediaForgeStudio")],
          "one frame window, no second one of the same title")
    frame = windows[0]

    def under_frame(acc):
        while acc is not None and acc != frame:
            acc = acc.parent
        return acc == frame

    wanted = [("page tab", t) for t in ("Add", "Format", "Convert")] + \
             [("push button", t) for t in ("Audio", "Video", "CD", "DVD", "MP4", "Convert")] + \
             [("progress bar", "Overall progress"), ("check box", "Output file to same folder as input"),
              ("list item", row_name)]
    for role, name in wanted:
        acc = find(frame, role, name)
        check(acc is not None and under_frame(acc), "%s '%s' in the frame" % (role, name))
    add_tab = find(frame, "page tab", "Add")
    check(add_tab is not None and states(add_tab).contains(pyatspi.STATE_SELECTED), "the Add tab is selected")
    same_folder = find(frame, "check box", "Output file to same folder as input")
    check(same_folder is not None and states(same_folder).contains(pyatspi.STATE_CHECKED), "the box is checked")
    bar = find(frame, "progress bar", "Overall progress")
    check(bar is not None and (bar.queryValue().currentValue, bar.queryValue().maximumValue) == (0, 100),
          "the progress bar says 0 of 100")

    # A run by the controls' own actions; the row's new name is announced.
    heard = []

    def listen(event):
        if event.source is not None and event.source.getRoleName() == "list item":
            heard.append(event.source.name)
            if event.source.name.endswith("complete"):
                loop.quit()

    loop = GLib.MainLoop()
    pyatspi.Registry.registerEventListener(listen, "object:property-change:accessible-name")
    press(find(frame, "page tab", "Format"))
    press(find(frame, "push button", "MP3"))
    presets = wait_for(lambda: find(frame, "list", "MP3 Quality"), 10)
    first_preset = next(n for n in nodes(presets) if n.getRoleName() == "push button")
    press(first_preset)
    press(find(frame, "push button", "Convert"))
    GLib.timeout_add_seconds(60, loop.quit)
    loop.run()
    check("city clip.mp4, 00:00:02, complete" in heard, "the row announced: %s" % heard[-1:])
finally:
    app_process.send_signal(signal.SIGTERM)
    app_process.wait(30)
    xvfb.terminate()
    xvfb.wait(30)
    shutil.rmtree(work, ignore_errors=True)

print("%d passed, %d failed" % (len(passed), len(failures)))
sys.exit(1 if failures else 0)
