#!/usr/bin/python3
"""The desktop services the appearance test needs, on the session bus given in
the environment: the portal's Settings (colour scheme and GNOME's font name,
the scheme changed through SetColorScheme on org.nudgewatch.TestControl) and a
StatusNotifierWatcher with a host, so the program's tray icon and menu are
exported over D-Bus. Prints "ready" once both names are owned."""
import sys

import dbus
import dbus.service
from dbus.mainloop.glib import DBusGMainLoop
from gi.repository import GLib

SETTINGS = "org.freedesktop.portal.Settings"
APPEARANCE = "org.freedesktop.appearance"
GNOME = "org.gnome.desktop.interface"


class Portal(dbus.service.Object):
    def __init__(self, bus, scheme, font):
        super().__init__(bus, "/org/freedesktop/portal/desktop")
        self.values = {(APPEARANCE, "color-scheme"): dbus.UInt32(scheme),
                       (GNOME, "font-name"): dbus.String(font)}

    @dbus.service.method(SETTINGS, in_signature="ss", out_signature="v")
    def Read(self, group, key):
        # The first version of the interface wraps the value in a second variant.
        value = self._value(group, key)
        return type(value)(value, variant_level=2)

    @dbus.service.method(SETTINGS, in_signature="ss", out_signature="v")
    def ReadOne(self, group, key):
        return self._value(group, key)

    @dbus.service.signal(SETTINGS, signature="ssv")
    def SettingChanged(self, group, key, value):
        pass

    @dbus.service.method("org.nudgewatch.TestControl", in_signature="u")
    def SetColorScheme(self, scheme):
        self.values[(APPEARANCE, "color-scheme")] = dbus.UInt32(scheme)
        self.SettingChanged(APPEARANCE, "color-scheme", dbus.UInt32(scheme))

    def _value(self, group, key):
        if (group, key) not in self.values:
            raise dbus.exceptions.DBusException(
                "Requested setting not found", name="org.freedesktop.portal.Error.NotFound")
        return self.values[(group, key)]


class Watcher(dbus.service.Object):
    WATCHER = "org.kde.StatusNotifierWatcher"

    def __init__(self, bus):
        super().__init__(bus, "/StatusNotifierWatcher")
        self.items = []

    @dbus.service.method(WATCHER, in_signature="s", sender_keyword="sender")
    def RegisterStatusNotifierItem(self, service, sender=None):
        item = sender + service if service.startswith("/") else service
        self.items.append(item)
        self.StatusNotifierItemRegistered(item)

    @dbus.service.method(WATCHER, in_signature="s")
    def RegisterStatusNotifierHost(self, service):
        pass

    @dbus.service.signal(WATCHER, signature="s")
    def StatusNotifierItemRegistered(self, item):
        pass

    # Written out: clients read the properties from the introspection data.
    @dbus.service.method(dbus.INTROSPECTABLE_IFACE, out_signature="s")
    def Introspect(self):
        return """<node><interface name="org.kde.StatusNotifierWatcher">
<method name="RegisterStatusNotifierItem"><arg name="service" type="s" direction="in"/></method>
<method name="RegisterStatusNotifierHost"><arg name="service" type="s" direction="in"/></method>
<signal name="StatusNotifierItemRegistered"><arg type="s"/></signal>
<property name="RegisteredStatusNotifierItems" type="as" access="read"/>
<property name="IsStatusNotifierHostRegistered" type="b" access="read"/>
<property name="ProtocolVersion" type="i" access="read"/>
</interface><interface name="org.freedesktop.DBus.Properties">
<method name="Get"><arg type="s" direction="in"/><arg type="s" direction="in"/><arg type="v" direction="out"/></method>
<method name="GetAll"><arg type="s" direction="in"/><arg type="a{sv}" direction="out"/></method>
</interface></node>"""

    @dbus.service.method(dbus.PROPERTIES_IFACE, in_signature="ss", out_signature="v")
    def Get(self, interface, name):
        return self.GetAll(interface)[name]

    @dbus.service.method(dbus.PROPERTIES_IFACE, in_signature="s", out_signature="a{sv}")
    def GetAll(self, interface):
        return {"RegisteredStatusNotifierItems": dbus.Array(self.items, signature="s"),
                "IsStatusNotifierHostRegistered": True, "ProtocolVersion": dbus.Int32(0)}


def main():
    DBusGMainLoop(set_as_default=True)
    bus = dbus.SessionBus()
    portal = Portal(bus, int(sys.argv[1]), sys.argv[2])
    watcher = Watcher(bus)
    names = [dbus.service.BusName("org.freedesktop.portal.Desktop", bus),
             dbus.service.BusName(Watcher.WATCHER, bus)]
    print("ready", flush=True)
    GLib.MainLoop().run()
    del portal, watcher, names


if __name__ == "__main__":
    main()
