/* Nudgewatch: tells Nudgewatch which application is in front (GNOME Shell 45 and later).
 * It exports the focused application on the session bus and can bring an
 * application's most recent window to the front, for Nudgewatch alone; it does
 * nothing else. */
import Gio from 'gi://Gio';
import GLib from 'gi://GLib';
import Meta from 'gi://Meta';
import Shell from 'gi://Shell';
import * as Main from 'resource:///org/gnome/shell/ui/main.js';
import {Extension} from 'resource:///org/gnome/shell/extensions/extension.js';

const VERSION = 3;
const BUS_NAME = 'io.github.nudgewatch.Focus';
const OBJECT_PATH = '/io/github/nudgewatch/Focus';
// Only the process that owns the program's name on the session bus is answered:
// the app in front and raising windows are nobody else's business.
const PROGRAM_NAME = 'org.nudgewatch.Nudgewatch';
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
    <method name="GetMonitor">
      <arg type="as" name="connectors" direction="in"/>
      <arg type="s" name="connector" direction="out"/>
      <arg type="(iiii)" name="geometry" direction="out"/>
    </method>
    <method name="GetFullscreen">
      <arg type="b" name="fullscreen" direction="out"/>
    </method>
    <signal name="FullscreenChanged">
      <arg type="b" name="fullscreen"/>
    </signal>
    <signal name="MonitorChanged"/>
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
        this._program = null;
        this._lastFullscreen = null;
        this._lastMonitor = null;
    }

    get Version() {
        return VERSION;
    }

    _focus() {
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

    // The window in front fills its monitor: it is fullscreen itself, or the
    // shell counts its monitor as in fullscreen.
    _fullscreen() {
        const window = global.display.focus_window;
        if (!window)
            return false;
        const monitor = window.get_monitor();
        return window.is_fullscreen() ||
            (monitor >= 0 && global.display.get_monitor_in_fullscreen(monitor));
    }

    // The monitor that shows the focused window: the one of the program's
    // screens named by its connector, and its geometry in the shell's logical
    // coordinates, which Xwayland gives its outputs too. Xwayland may name its
    // outputs otherwise ("XWAYLAND0"), so the program needs both.
    _monitor(connectors) {
        const window = global.display.focus_window;
        const index = window ? window.get_monitor() : -1;
        if (index < 0)
            return ['', [0, 0, 0, 0]];
        const manager = global.backend.get_monitor_manager();
        const connector = connectors.find(name => name.length <= LONGEST_ID &&
            manager.get_monitor_for_connector(name) === index) ?? '';
        const area = global.display.get_monitor_geometry(index);
        return [connector, [area.x, area.y, area.width, area.height]];
    }

    _activate(appId) {
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

    // Runs answer() for the program and refuses everyone else. The bus is asked
    // when the sender is not the owner last seen, in case the program has just
    // taken its name and the news is still on its way.
    _forProgramOnly(invocation, answer) {
        const sender = invocation.get_sender();
        const refuse = () => invocation.return_dbus_error('org.freedesktop.DBus.Error.AccessDenied',
            `Only ${PROGRAM_NAME} may use this interface`);
        const reply = () => {
            try {
                invocation.return_value(answer());
            } catch (e) {
                invocation.return_dbus_error('org.freedesktop.DBus.Error.Failed', String(e));
            }
        };
        if (sender && sender === this._program) {
            reply();
            return;
        }
        Gio.DBus.session.call('org.freedesktop.DBus', '/org/freedesktop/DBus',
            'org.freedesktop.DBus', 'GetNameOwner', new GLib.Variant('(s)', [PROGRAM_NAME]),
            new GLib.VariantType('(s)'), Gio.DBusCallFlags.NONE, -1, null, (bus, result) => {
                let owner = null;
                try {
                    [owner] = bus.call_finish(result).deepUnpack();
                } catch (e) {
                    owner = null;
                }
                if (sender && owner === sender)
                    reply();
                else
                    refuse();
            });
    }

    GetFocusAsync(parameters, invocation) {
        this._forProgramOnly(invocation, () => new GLib.Variant('(ssi)', this._focus()));
    }

    GetFullscreenAsync(parameters, invocation) {
        this._forProgramOnly(invocation, () => new GLib.Variant('(b)', [this._fullscreen()]));
    }

    GetMonitorAsync(parameters, invocation) {
        const [connectors] = parameters;
        this._forProgramOnly(invocation,
            () => new GLib.Variant('(s(iiii))', this._monitor(connectors)));
    }

    ActivateAsync(parameters, invocation) {
        const [appId] = parameters;
        this._forProgramOnly(invocation, () => new GLib.Variant('(b)', [this._activate(appId)]));
    }

    _focusMayHaveChanged() {
        if (!this._program)
            return;
        const focus = this._focus();
        const key = focus.join('\n');
        if (key === this._last)
            return;
        this._last = key;
        // Sent to the program alone, not broadcast to the session.
        Gio.DBus.session.emit_signal(this._program, OBJECT_PATH, BUS_NAME, 'FocusChanged',
            new GLib.Variant('(ssi)', focus));
    }

    _fullscreenMayHaveChanged() {
        if (!this._program)
            return;
        const fullscreen = this._fullscreen();
        if (fullscreen === this._lastFullscreen)
            return;
        this._lastFullscreen = fullscreen;
        Gio.DBus.session.emit_signal(this._program, OBJECT_PATH, BUS_NAME, 'FullscreenChanged',
            new GLib.Variant('(b)', [fullscreen]));
    }

    // Tells the program to ask again when the focused window is on another
    // monitor than before, or the monitors changed.
    _monitorMayHaveChanged(monitorsChanged = false) {
        if (!this._program)
            return;
        const window = global.display.focus_window;
        const monitor = window ? window.get_monitor() : -1;
        if (monitor === this._lastMonitor && !monitorsChanged)
            return;
        this._lastMonitor = monitor;
        Gio.DBus.session.emit_signal(this._program, OBJECT_PATH, BUS_NAME, 'MonitorChanged', null);
    }

    enable() {
        this._object = Gio.DBusExportedObject.wrapJSObject(INTERFACE, this);
        this._object.export(Gio.DBus.session, OBJECT_PATH);
        this._nameId = Gio.bus_own_name_on_connection(Gio.DBus.session, BUS_NAME,
            Gio.BusNameOwnerFlags.NONE, null, null);
        this._programId = Gio.bus_watch_name_on_connection(Gio.DBus.session, PROGRAM_NAME,
            Gio.BusNameWatcherFlags.NONE, (bus, name, owner) => {
                this._program = owner;
                this._last = null;
                this._lastFullscreen = null;
                this._lastMonitor = null;
            }, () => {
                this._program = null;
            });
        const changed = () => {
            this._focusMayHaveChanged();
            this._fullscreenMayHaveChanged();
            this._monitorMayHaveChanged();
        };
        const fullscreen = () => this._fullscreenMayHaveChanged();
        const entered = (display, index, window) => {
            if (window === global.display.focus_window)
                this._monitorMayHaveChanged();
        };
        this._signals = [
            [this._tracker, this._tracker.connect('notify::focus-app', changed)],
            [global.display, global.display.connect('notify::focus-window', changed)],
            [global.display, global.display.connect('in-fullscreen-changed', fullscreen)],
            [global.display, global.display.connect('window-entered-monitor', entered)],
            [Main.layoutManager, Main.layoutManager.connect('monitors-changed',
                () => this._monitorMayHaveChanged(true))],
        ];
    }

    disable() {
        for (const [object, id] of this._signals)
            object.disconnect(id);
        this._signals = [];
        Gio.bus_unwatch_name(this._programId);
        Gio.bus_unown_name(this._nameId);
        this._object.unexport();
        this._object = null;
        this._last = null;
        this._lastFullscreen = null;
        this._lastMonitor = null;
        this._program = null;
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
