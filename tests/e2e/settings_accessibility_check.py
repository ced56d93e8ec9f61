#!/usr/bin/python3
"""Drives the running program through the keyboard and AT-SPI alone: reads
every text of the settings window; with keys sets the threshold, adds an
application in the picker and removes it; through AT-SPI sets the threshold
by the slider's value, adds two applications in the picker and stops tracking
one. Exits non-zero on the first difference."""
import subprocess
import sys
import time

import pyatspi

settings_file = sys.argv[1]


def fail(message):
    print("FAIL: " + message, file=sys.stderr)
    sys.exit(1)


def wait_until(what, predicate, seconds=10.0):
    end = time.time() + seconds
    while time.time() < end:
        try:
            result = predicate()
        except Exception:  # objects come and go while the window rebuilds
            result = None
        if result:
            return result
        time.sleep(0.1)
    fail("timed out waiting for " + what)


def descendants(node):
    found = []
    stack = [node]
    while stack:
        current = stack.pop()
        found.append(current)
        try:
            children = [current.getChildAtIndex(i) for i in range(current.childCount)]
        except Exception:
            children = []
        stack.extend(reversed([c for c in children if c is not None]))
    return found


def showing(node):
    return node.getState().contains(pyatspi.STATE_SHOWING)


def find_all(root, role, name=None):
    return [n for n in descendants(root)
            if n.getRole() == role and (name is None or n.name == name) and showing(n)]


def find_one(root, role, name):
    nodes = find_all(root, role, name)
    return nodes[0] if nodes else None


def labels(root):
    return [n.name for n in find_all(root, pyatspi.ROLE_LABEL)]


def press(node):
    action = node.queryAction()
    names = [action.getName(i) for i in range(action.nActions)]
    for wanted in ("Press", "press", "click", "Toggle", "toggle"):
        if wanted in names:
            action.doAction(names.index(wanted))
            return
    fail("no press action on %s (%s)" % (node.name, names))


def application():
    desktop = pyatspi.Registry.getDesktop(0)
    for app in desktop:
        if app is not None and app.name.lower() == "nudgewatch":
            return app
    return None


def settings_window(app):
    for window in app:
        if window is not None and window.name == "Nudgewatch" and showing(window):
            return window
    return None


def picker_window():
    for w in app:
        if w is not None and w.name == "Add Application" and showing(w):
            return w
    return None


app = wait_until("the program on the accessibility bus", application, 20)
window = wait_until("the settings window", lambda: settings_window(app))

expected = ["Nudgewatch", "Not Tracking", "0/5 apps", "Idle Threshold", "1m",
            "No apps tracked yet", "Notch monitoring active"]
missing = [text for text in expected if text not in labels(window)]
if missing:
    fail("labels missing: %s (shown: %s)" % (missing, labels(window)))
print("texts: all %d labels present" % len(expected))

# Keyboard alone, through the X server: the window opens with the slider
# focused; Tab reaches the add action; the picker is searched, chosen from and
# confirmed with keys; the new row is removed again with Shift+Tab and Space.
def keys(*names):
    subprocess.run(["xdotool", "key", "--clearmodifiers", "--delay", "80"] + list(names),
                   check=True)


subprocess.run(["xdotool", "search", "--onlyvisible", "--name", "^Nudgewatch$",
                "windowactivate", "--sync"], check=True)
keys("Right")
wait_until("75 s in the settings file (Right on the slider)",
           lambda: "Nudgewatch.idleThreshold=75\n" in open(settings_file).read())
keys("Tab", "space")
wait_until("the picker (Tab, Space)", lambda: picker_window())
subprocess.run(["xdotool", "type", "--delay", "50", "charlie"], check=True)
keys("Down", "space", "Return")
wait_until("Charlie added from the keyboard", lambda: "Charlie Fixture" in labels(window))
keys("shift+Tab", "space")
wait_until("Charlie removed from the keyboard",
           lambda: "No apps tracked yet" in labels(window))
print("keyboard: slider, add action, picker search and choice, remove")

slider = find_one(window, pyatspi.ROLE_SLIDER, "Idle Threshold")
if slider is None:
    fail("no slider named Idle Threshold")
value = slider.queryValue()
if value.currentValue != 75:
    fail("slider value %s, not 75" % value.currentValue)
value.currentValue = 90
wait_until("the badge to read 1m 30s", lambda: "1m 30s" in labels(window))
wait_until("90 s in the settings file",
           lambda: "Nudgewatch.idleThreshold=90\n" in open(settings_file).read())
print("slider: value in seconds, set to 90 through AT-SPI")

add = find_one(window, pyatspi.ROLE_PUSH_BUTTON, "Add Application")
if add is None:
    fail("no Add Application button")
press(add)


dialog = wait_until("the picker", picker_window)
if "You can add up to 5 more applications." not in labels(dialog):
    fail("the picker does not say how many can be added: %s" % labels(dialog))
items = {n.name: n for n in descendants(dialog)
         if n.getRole() in (pyatspi.ROLE_LIST_ITEM, pyatspi.ROLE_TABLE_CELL,
                            pyatspi.ROLE_CHECK_BOX) and n.name}
for name in ("Bravo Fixture", "Alpha Fixture"):
    if name not in items:
        fail("picker lacks %s: %s" % (name, sorted(items)))
    press(items[name])
confirm = wait_until("the confirm button",
                     lambda: find_one(dialog, pyatspi.ROLE_PUSH_BUTTON, "Add 2 Applications"))
press(confirm)

wait_until("two rows", lambda: "2 of 5" in labels(window))
rows = [text for text in labels(window) if text.endswith("Fixture")]
if rows != ["Bravo Fixture", "Alpha Fixture"]:
    fail("rows in the wrong order: %s" % rows)
opens = find_all(window, pyatspi.ROLE_PUSH_BUTTON, "Open this app")
removes = find_all(window, pyatspi.ROLE_PUSH_BUTTON, "Stop tracking")
if len(opens) != 2 or len(removes) != 2:
    fail("row buttons: %d open, %d remove" % (len(opens), len(removes)))
print("picker: two applications added in the order chosen")

press(removes[0])
wait_until("one row left", lambda: "1 of 5" in labels(window))
rows = [text for text in labels(window) if text.endswith("Fixture")]
if rows != ["Alpha Fixture"]:
    fail("after removing Bravo: %s" % rows)
content = open(settings_file).read()
if "fixture-bravo" in content or "fixture-alpha" not in content:
    fail("settings file after removal: %s" % content)
print("remove: Stop tracking removed the first row")
print("PASS")
