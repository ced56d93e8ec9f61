#!/usr/bin/python3
"""The reminder through AT-SPI and the tray's D-Bus menu alone: reads the card
as a notification (role, name, message) and its buttons, ends a reminder with
the card's Snooze, then with the settings window's, then with the tray menu's;
each time the reminded application's idle clock starts again. Also checks the
tray's icon is the symbolic one, by name. Exits non-zero on the first
difference."""
import re
import sys
import time

import dbus
import pyatspi

APP = sys.argv[1]  # the tracked application's name


def fail(message):
    sys.exit("FAIL: " + message)


def wait_until(what, predicate, seconds=30.0):
    end = time.time() + seconds
    while time.time() < end:
        try:
            result = predicate()
        except Exception:  # objects come and go as the windows change
            result = None
        if result:
            return result
        time.sleep(0.1)
    fail("timed out waiting for " + what)


def showing(node):
    return node.getState().contains(pyatspi.STATE_SHOWING)


def descendants(node):
    yield node
    for child in filter(None, (node.getChildAtIndex(i) for i in range(node.childCount))):
        yield from descendants(child)


def program():
    return next(a for a in pyatspi.Registry.getDesktop(0) if a and a.name.lower() == "nudgewatch")


def card():
    cards = [n for n in descendants(program())
             if n.getRole() == pyatspi.ROLE_NOTIFICATION and showing(n) and n.name]
    return cards[0] if cards else None


def press(node):
    action = node.queryAction()
    names = [action.getName(i) for i in range(action.nActions)]
    action.doAction(names.index("Press") if "Press" in names else 0)


def idle_seconds():
    """The reminded application's idle time as its row in the settings window shows it."""
    window = next(w for w in program() if w and w.name == "Nudgewatch" and showing(w))
    for node in descendants(window):
        if node.getRole() == pyatspi.ROLE_LABEL and node.name == APP:
            row = node.parent
            for label in descendants(row):
                match = re.fullmatch(r"(\d+)s idle", label.name or "")
                if match:
                    return int(match.group(1))
    return None


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
buttons = sorted(n.name for n in descendants(shown) if n.getRole() == pyatspi.ROLE_PUSH_BUTTON)
if buttons != sorted(["Open " + APP, "Snooze"]):
    fail("the card's buttons are %s" % buttons)
print("card: a notification named %r saying %r, buttons %s" % (shown.name, shown.description, buttons))


def card_snooze(node):
    press(next(n for n in descendants(node)
               if n.getRole() == pyatspi.ROLE_PUSH_BUTTON and n.name == "Snooze"))


def window_snooze(_):
    window = next(w for w in program() if w and w.name == "Nudgewatch" and showing(w))
    press(wait_until("the window's Snooze", lambda: next(
        n for n in descendants(window)
        if n.getRole() == pyatspi.ROLE_PUSH_BUTTON and n.name == "Snooze" and showing(n))))


# The tray over the StatusNotifierItem protocol: its icon and menu.
bus = dbus.SessionBus()
watcher = bus.get_object("org.kde.StatusNotifierWatcher", "/StatusNotifierWatcher")
item_address = wait_until("the tray icon", lambda: watcher.Get(
    "org.kde.StatusNotifierWatcher", "RegisteredStatusNotifierItems",
    dbus_interface=dbus.PROPERTIES_IFACE)[0])
service, _, path = item_address.partition("/")
item = bus.get_object(service, "/" + (path or "StatusNotifierItem"))
icon_name = item.Get("org.kde.StatusNotifierItem", "IconName", dbus_interface=dbus.PROPERTIES_IFACE)
if icon_name != "nudgewatch-symbolic":
    fail("the tray icon is %r, not the symbolic one" % icon_name)
print("tray: icon %s" % icon_name)
menu = bus.get_object(service, item.Get("org.kde.StatusNotifierItem", "Menu",
                                        dbus_interface=dbus.PROPERTIES_IFACE))


def menu_entries():
    _, layout = menu.GetLayout(0, -1, dbus.Array([], signature="s"),
                               dbus_interface="com.canonical.dbusmenu")
    return [(int(c[0]), str(c[1].get("label", "")), bool(c[1].get("visible", True)))
            for c in layout[2]]


def tray_snooze(_):
    entries = wait_until("Snooze in the tray menu", lambda: [
        e for e in menu_entries() if e[2] and e[1] in ("Snooze", "&Snooze")] and menu_entries())
    visible = [e for e in entries if e[2] and e[1]]
    if [e[1].replace("&", "") for e in visible[:2]] != ["Open " + APP, "Snooze"]:
        fail("the tray menu starts %s" % [e[1] for e in visible[:3]])
    snooze = next(e[0] for e in visible if e[1].replace("&", "") == "Snooze")
    menu.Event(snooze, "clicked", dbus.Int32(0, variant_level=1), dbus.UInt32(0),
               dbus_interface="com.canonical.dbusmenu")


ends_reminder("the card's Snooze", card_snooze)
ends_reminder("the window's Snooze", window_snooze)
ends_reminder("the tray's Snooze", tray_snooze)
if any(e[2] and e[1].replace("&", "") == "Snooze" for e in menu_entries()):
    fail("the tray still offers Snooze with no reminder showing")
print("PASS")
