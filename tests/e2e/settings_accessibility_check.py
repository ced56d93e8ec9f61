#!/usr/bin/python3
"""Drives the running program through the keyboard and AT-SPI alone: reads
every text of the settings window; with keys sets the threshold, adds an
application in the picker and removes it; through AT-SPI sets the threshold
by the slider's value, adds two applications in the picker and stops tracking
one. Exits non-zero on the first difference."""
import subprocess
import sys

import pyatspi
from atspi_helper import BUTTON, button, fail, find_all, labels, press, program, wait_until, window

settings_file = sys.argv[1]


def saved(text):
    return lambda: text in open(settings_file).read()


def keys(*names):
    subprocess.run(["xdotool", "key", "--clearmodifiers", "--delay", "80", *names], check=True)


wait_until("the program on the accessibility bus", program, 20)
settings = wait_until("the settings window", lambda: window("Nudgewatch"))
expected = ["Nudgewatch", "Not Tracking", "0/5 apps", "Idle Threshold", "1m",
            "No apps tracked yet", "Notch monitoring active"]
missing = [text for text in expected if text not in labels(settings)]
if missing:
    fail("labels missing: %s (shown: %s)" % (missing, labels(settings)))
print("texts: all %d labels present" % len(expected))

# Keyboard alone, through the X server: the window opens with the slider
# focused; Tab reaches the add action; the picker is searched, chosen from and
# confirmed with keys; the new row is removed again with Shift+Tab and Space.
subprocess.run(["xdotool", "search", "--onlyvisible", "--name", "^Nudgewatch$",
                "windowactivate", "--sync"], check=True)
keys("Right")
wait_until("75 s in the settings file (Right on the slider)", saved("idleThreshold=75\n"))
keys("Tab", "space")
wait_until("the picker (Tab, Space)", lambda: window("Add Application"))
subprocess.run(["xdotool", "type", "--delay", "50", "charlie"], check=True)
keys("Down", "space", "Return")
wait_until("Charlie added from the keyboard", lambda: "Charlie Fixture" in labels(settings))
keys("shift+Tab", "space")
wait_until("Charlie removed from the keyboard", lambda: "No apps tracked yet" in labels(settings))
print("keyboard: slider, add action, picker search and choice, remove")

slider = find_all(settings, [pyatspi.ROLE_SLIDER], "Idle Threshold")[0].queryValue()
if slider.currentValue != 75:
    fail("slider value %s, not 75" % slider.currentValue)
slider.currentValue = 90
wait_until("the badge to read 1m 30s", lambda: "1m 30s" in labels(settings))
wait_until("90 s in the settings file", saved("idleThreshold=90\n"))
print("slider: value in seconds, set to 90 through AT-SPI")

press(button(settings, "Add Application"))
dialog = wait_until("the picker", lambda: window("Add Application"))
if "You can add up to 5 more applications." not in labels(dialog):
    fail("the picker does not say how many can be added: %s" % labels(dialog))
items = {n.name: n for n in find_all(dialog, [pyatspi.ROLE_LIST_ITEM, pyatspi.ROLE_TABLE_CELL,
                                              pyatspi.ROLE_CHECK_BOX]) if n.name}
for name in ("Bravo Fixture", "Alpha Fixture"):
    if name not in items:
        fail("picker lacks %s: %s" % (name, sorted(items)))
    press(items[name])
press(wait_until("the confirm button", lambda: button(dialog, "Add 2 Applications")))
wait_until("two rows", lambda: "2 of 5" in labels(settings))
rows = [text for text in labels(settings) if text.endswith("Fixture")]
removes = [button(settings, "Stop tracking " + name) for name in rows]
if rows != ["Bravo Fixture", "Alpha Fixture"] or None in removes + [button(settings, "Open " + name) for name in rows]:
    fail("rows %s, without their open and remove buttons" % rows)
print("picker: two applications added in the order chosen")

press(removes[0])
wait_until("one row left", lambda: "1 of 5" in labels(settings))
rows = [text for text in labels(settings) if text.endswith("Fixture")]
if rows != ["Alpha Fixture"] or saved("fixture-bravo")() or not saved("fixture-alpha")():
    fail("after removing Bravo: %s; settings: %s" % (rows, open(settings_file).read()))
print("remove: Stop tracking Bravo Fixture removed the first row\nPASS")
