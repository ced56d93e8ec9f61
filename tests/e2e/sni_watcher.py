#!/usr/bin/python3
"""A panel's StatusNotifierWatcher with its host, ready before it takes its bus
name (as real ones are); prints the bus name of each item registered with it."""
from gi.repository import Gio, GLib

W = "org.kde.StatusNotifierWatcher"
XML = """<node><interface name="%s">
<method name="RegisterStatusNotifierItem"><arg type="s" direction="in"/></method>
<method name="RegisterStatusNotifierHost"><arg type="s" direction="in"/></method>
<property name="RegisteredStatusNotifierItems" type="as" access="read"/>
<property name="IsStatusNotifierHostRegistered" type="b" access="read"/>
<property name="ProtocolVersion" type="i" access="read"/>
<signal name="StatusNotifierHostRegistered"/></interface></node>""" % W
items = []


def call(_bus, sender, _path, _iface, method, args, invocation):
    if method == "RegisterStatusNotifierItem":
        items.append(args[0])
        print("item", args[0], flush=True)
    invocation.return_value(None)


def get(_bus, _sender, _path, _iface, name):
    return {"RegisteredStatusNotifierItems": GLib.Variant("as", items),
            "IsStatusNotifierHostRegistered": GLib.Variant("b", True),
            "ProtocolVersion": GLib.Variant("i", 0)}[name]


bus = Gio.bus_get_sync(Gio.BusType.SESSION)
bus.register_object("/StatusNotifierWatcher", Gio.DBusNodeInfo.new_for_xml(XML).interfaces[0], call, get, None)
Gio.bus_own_name_on_connection(bus, W, Gio.BusNameOwnerFlags.NONE, None, None)
GLib.MainLoop().run()
