/* Nudgewatch: tells Nudgewatch which application is in front (GNOME Shell 45 and later).
 * It exports the focused application on the session bus and can bring an
 * application's most recent window to the front; it does nothing else. */
import Gio from 'gi://Gio';
import GLib from 'gi://GLib';
import Meta from 'gi://Meta';
import Shell from 'gi://Shell';
import * as Main from 'resource:///org/gnome/shell/ui/main.js';
import {Extension} from 'resource:///org/gnome/shell/extensions/extension.js';

const VERSION = 1;
const BUS_NAME = 'io.github.nudgewatch.Focus';
const OBJECT_PATH = '/io/github/nudgewatch/Focus';
const LONGEST_ID = 512;
const INTERFACE = `
<node>
  <interface name="io.github.nudgewatch.Focus">
    <method name="GetFocus">
      <arg type="s" name="appId" direction="out"/>
      <arg type="s" name="name" direction="out"/>
      <arg type="i" name="pid" direction="out"/>
    </method>
    <method name="Activate">
      <arg type="s" name="appId" direction="in"/>
      <arg type="b" name="activated" direction="out"/>
    </method>
    <signal name="FocusChanged">
      <arg type="s" name="appId"/>
      <arg type="s" name="name"/>
      <arg type="i" name="pid"/>
    </signal>
    <property name="Version" type="u" access="read"/>
  </interface>
</node>`;

class FocusService {
    constructor() {
        this._tracker = Shell.WindowTracker.get_default();
        this._last = null;
        this._signals = [];
    }

    get Version() {
        return VERSION;
    }

    GetFocus() {
        const app = this._tracker.focus_app;
        const window = global.display.focus_window;
        // The focused window's process: the program knows its own windows by it.
        let pid = window ? window.get_pid() : -1;
        if (pid <= 0 && app) {
            const pids = app.get_pids();
            pid = pids.length > 0 ? pids[0] : -1;
        }
        return [app ? app.get_id() : '', app ? app.get_name() || '' : '', pid];
    }

    Activate(appId) {
        if (typeof appId !== 'string' || appId.length === 0 || appId.length > LONGEST_ID)
            return false;
        // Most recently used first: the window the user saw last comes to the front.
        for (const window of global.display.get_tab_list(Meta.TabList.NORMAL_ALL, null)) {
            const app = this._tracker.get_window_app(window);
            if (app && app.get_id() === appId) {
                Main.activateWindow(window);
                return true;
            }
        }
        return false;
    }

    _focusMayHaveChanged() {
        const focus = this.GetFocus();
        const key = focus.join('\n');
        if (key === this._last)
            return;
        this._last = key;
        this._object.emit_signal('FocusChanged', new GLib.Variant('(ssi)', focus));
    }

    enable() {
        this._object = Gio.DBusExportedObject.wrapJSObject(INTERFACE, this);
        this._object.export(Gio.DBus.session, OBJECT_PATH);
        this._nameId = Gio.bus_own_name_on_connection(Gio.DBus.session, BUS_NAME,
            Gio.BusNameOwnerFlags.NONE, null, null);
        const changed = () => this._focusMayHaveChanged();
        this._signals = [
            [this._tracker, this._tracker.connect('notify::focus-app', changed)],
            [global.display, global.display.connect('notify::focus-window', changed)],
        ];
    }

    disable() {
        for (const [object, id] of this._signals)
            object.disconnect(id);
        this._signals = [];
        Gio.bus_unown_name(this._nameId);
        this._object.unexport();
        this._object = null;
        this._last = null;
    }
}

export default class NudgewatchExtension extends Extension {
    enable() {
        this._service = new FocusService();
        this._service.enable();
    }

    disable() {
        this._service.disable();
        this._service = null;
    }
}
