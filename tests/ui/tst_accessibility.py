"""The window as a screen reader sees it over AT-SPI.

tst_accessibility.py PROGRAM CATALOGUE, on a session bus of its own (CMake
runs it under dbus-run-session). Starts a display and the program with one
clip, prints the tree, finds the controls by role and name under one frame,
then converts the clip through the controls' own actions and hears the row
announce its new status.
"""
import os
import shutil
import subprocess
import sys
import tempfile
import time

import pyatspi
from gi.repository import GLib

program, catalogue = sys.argv[1:3]
passed, failed = [], []


def check(ok, what):
    print(("ok   " if ok else "FAIL ") + what)
    (passed if ok else failed).append(what)


def nodes(acc, depth=0, show=False):
    if show:
        print("  " * depth + "%s '%s'" % (acc.getRoleName(), acc.name))
    yield acc
    for child in (acc.getChildAtIndex(i) for i in range(acc.childCount)):
        if child is not None:
            yield from nodes(child, depth + 1, show)


def find(root, role, name=None):
    return next((n for n in nodes(root) if n.getRoleName() == role and name in (None, n.name)), None)


def wait_for(what, seconds=30):
    end = time.time() + seconds
    while time.time() < end and not what():
        time.sleep(0.2)
    return what()


def press(acc):
    actions = acc.queryAction()
    actions.doAction([actions.getName(i) for i in range(actions.nActions)].index("Press"))


work = tempfile.mkdtemp()
os.makedirs(os.path.join(work, "MediaForgeStudio"))
shutil.copy(catalogue, os.path.join(work, "MediaForgeStudio", "data.db"))
clip = os.path.join(work, "city clip.mp4")
subprocess.run(["ffmpeg", "-v", "error", "-f", "lavfi", "-i", "sine=duration=2", "-c:a", "aac", clip], check=True)
# Xvfb picks a free display itself, so displays started alongside can't collide.
read_end, write_end = os.pipe()
xvfb = subprocess.Popen(["Xvfb", "-displayfd", str(write_end), "-screen", "0", "1280x800x24", "-nolisten", "tcp"],
                        pass_fds=[write_end], stderr=subprocess.DEVNULL)
os.close(write_end)
env = dict(os.environ, DISPLAY=":" + os.read(read_end, 16).decode().strip(), QT_QPA_PLATFORM="xcb",
           appdata=work, HOME=work, QT_LINUX_ACCESSIBILITY_ALWAYS_ON="1", QT_QUICK_BACKEND="software",
           MEDIAFORGESTUDIO_SITE="http://127.0.0.1:1")
window = subprocess.Popen([program, clip], env=env)
try:
    desktop = pyatspi.Registry.getDesktop(0)
    app = wait_for(lambda: next((a for a in desktop if a is not None and a.name == "MediaForgeStudio"), None))
    row_name = "city clip.mp4, 00:00:02, waiting"
    check(app is not None and wait_for(lambda: find(app, "list item", row_name)), "the program and its row")
    list(nodes(app, show=True))
    frames = [(w.getRoleName(), w.name) for w in (app.getChildAtIndex(i) for i in range(app.childCount))]
    check(frames == [("frame", "MediaForgeStudio")], "one frame window, no second one of the same title")
    frame = app.getChildAtIndex(0)

    def in_frame(acc):
        while acc is not None and acc != frame:
            acc = acc.parent
        return acc == frame

    for role, name in [("page tab", "Add"), ("page tab", "Format"), ("page tab", "Convert"), ("push button", "Audio"),
                       ("push button", "DVD"), ("push button", "MP4"), ("push button", "Convert"),
                       ("list item", row_name)]:
        check(in_frame(find(frame, role, name)), "%s '%s' in the frame" % (role, name))
    check(find(frame, "page tab", "Add").getState().contains(pyatspi.STATE_SELECTED), "the Add tab selected")
    check(find(frame, "check box", "Output file to same folder as input").getState().contains(pyatspi.STATE_CHECKED),
          "the same-folder box checked")
    bar = find(frame, "progress bar", "Overall progress").queryValue()
    check((bar.currentValue, bar.maximumValue) == (0, 100), "the progress bar at 0 of 100")

    # A run by the controls' own actions; each new name of the row is heard.
    heard = []
    loop = GLib.MainLoop()

    def listen(event):
        if event.source.getRoleName() == "list item":
            heard.append(event.source.name)
            if event.source.name.endswith("complete"):
                loop.quit()

    pyatspi.Registry.registerEventListener(listen, "object:property-change:accessible-name")
    press(find(frame, "page tab", "Format"))
    press(find(frame, "push button", "MP3"))
    press(find(wait_for(lambda: find(frame, "list", "MP3 Quality"), 10), "push button"))
    press(find(frame, "push button", "Convert"))
    GLib.timeout_add_seconds(60, loop.quit)
    loop.run()
    check("city clip.mp4, 00:00:02, complete" in heard, "the row announced %s" % heard[-1:])
finally:
    window.terminate()
    window.wait(30)
    xvfb.terminate()
    xvfb.wait(30)
    shutil.rmtree(work, ignore_errors=True)

print("%d passed, %d failed" % (len(passed), len(failed)))
sys.exit(1 if failed else 0)
