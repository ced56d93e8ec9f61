#!/usr/bin/python3
"""The reminder through AT-SPI and the tray's D-Bus menu alone: reads the card
as a notification (role, name, message) and its buttons, ends a reminder with
the card's Snooze, then with the settings window's, then with the tray menu's;
each time the reminded application's idle clock starts again. Also checks the
tray's icon is the symbolic one, by name. Exits non-zero on the first
difference."""
import re
import sys

import dbus
from atspi_helper import BUTTON, CARD, button, fail, find_all, press, program, row, wait_until, window

APP = sys.argv[1]  # the tracked application's name


def card():
    return next((n for n in find_all(program(), [CARD]) if n.name), None)


def idle_seconds():
    """The reminded application's idle time as its row in the settings window shows it."""
    matches = (re.fullmatch(r"(\d+)s idle", text or "") for text in row(window("Nudgewatch"), APP) or ())
    return next((int(match[1]) for match in matches if match), None)


def ends_reminder(how, act):
    reminded = wait_until("a card for " + APP, card)
    if reminded.name != APP:
        fail("the card is named %r, not %r" % (reminded.name, APP))
    before = wait_until("the idle time", idle_seconds)
    act(reminded)
    wait_until("the card to go after %s" % how, lambda: card() is None, 10)
    # The row follows the store at its next once-a-second tick.
    after = wait_until("%s to restart the idle clock from %ss" % (how, before),
                       lambda: [s for s in [idle_seconds()] if s is not None and s < before], 5)[0]
    print("%s ended the reminder; idle %ss before, %ss after" % (how, before, after))


# The card as assistive technologies see it.
shown = wait_until("a card for " + APP, card)
if APP not in shown.description:
    fail("the card's description %r does not mention %s" % (shown.description, APP))
buttons = sorted(n.name for n in find_all(shown, [BUTTON]))
if buttons != sorted(["Open " + APP, "Snooze"]):
    fail("the card's buttons are %s" % buttons)
print("card: a notification named %r saying %r, buttons %s" % (shown.name, shown.description, buttons))


# The tray over the StatusNotifierItem protocol: its icon and menu.
bus = dbus.SessionBus()
watcher = bus.get_object("org.kde.StatusNotifierWatcher", "/StatusNotifierWatcher")
item_address = wait_until("the tray icon", lambda: watcher.Get(
    "org.kde.StatusNotifierWatcher", "RegisteredStatusNotifierItems",
    dbus_interface=dbus.PROPERTIES_IFACE)[0])
item = bus.get_object(item_address, "/StatusNotifierItem")  # registered by its bus name
icon_name = item.Get("org.kde.StatusNotifierItem", "IconName", dbus_interface=dbus.PROPERTIES_IFACE)
if icon_name != "nudgewatch-symbolic":
    fail("the tray icon is %r, not the symbolic one" % icon_name)
print("tray: icon %s" % icon_name)
menu = bus.get_object(item_address, item.Get("org.kde.StatusNotifierItem", "Menu",
                                        dbus_interface=dbus.PROPERTIES_IFACE))


def menu_entries():
    """The visible entries with a label, as (id, label without its mnemonic)."""
    _, layout = menu.GetLayout(0, -1, dbus.Array([], signature="s"),
                               dbus_interface="com.canonical.dbusmenu")
    return [(int(c[0]), str(c[1]["label"]).replace("&", ""))
            for c in layout[2] if c[1].get("label") and c[1].get("visible", True)]


def tray_snooze(_):
    entries = wait_until("Snooze in the tray menu",
                         lambda: ("Snooze" in [e[1] for e in menu_entries()]) and menu_entries())
    if [e[1] for e in entries[:2]] != ["Open " + APP, "Snooze"]:
        fail("the tray menu starts %s" % [e[1] for e in entries[:3]])
    menu.Event(entries[1][0], "clicked", dbus.Int32(0, variant_level=1), dbus.UInt32(0),
               dbus_interface="com.canonical.dbusmenu")


ends_reminder("the card's Snooze", lambda reminded: press(button(reminded, "Snooze")))
ends_reminder("the window's Snooze",
              lambda _: press(wait_until("the window's Snooze", lambda: button(window("Nudgewatch"), "Snooze"))))
ends_reminder("the tray's Snooze", tray_snooze)
if "Snooze" in [e[1] for e in menu_entries()]:
    fail("the tray still offers Snooze with no reminder showing")
print("PASS")
