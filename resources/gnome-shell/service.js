// The extension's service, the same for every shell: each form of the
// extension (legacy/, modules/) has it written between its own imports and
// entry point when the program is built. It uses Clutter, Cogl, Gio, GLib,
// GObject, Graphene, Meta, Shell and the shell's Main.
const VERSION = 4;
const BUS_NAME = 'io.github.nudgewatch.Focus';
const OBJECT_PATH = '/io/github/nudgewatch/Focus';
// Only the process that owns the program's name on the session bus is answered:
// the app in front, raising windows and blurring behind them are nobody
// else's business.
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
    <method name="SetBlurRegion">
      <arg type="u" name="window" direction="in"/>
      <arg type="a(iiii)" name="rectangles" direction="in"/>
      <arg type="d" name="strength" direction="in"/>
      <arg type="b" name="blurred" direction="out"/>
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

// How far the blur behind a window spreads, in logical pixels.
const BLUR_SIGMA = 12;
// A blur is made anew from what lies below only when a window there changed,
// and at most this often: blurring on every frame the window above draws (the
// card's glow) costs a software renderer as much again as all the rest.
const BLUR_REFRESH_MS = 250;
// A window's outline is a few dozen rectangles; more is no outline of the program's.
const MOST_RECTANGLES = 512;
const LARGEST_COORDINATE = 16384;

// What lies below its actor on screen, blurred (softer as the strength given
// goes from 1 to 0), drawn only inside the rectangles it is given (the
// actor's coordinates): a rounded outline given as rectangles keeps its
// corners clear. Shell.BlurEffect blurs its actor's whole box, square corners
// included, and cannot be masked (it copies what lies below from the
// framebuffer it paints into, which a mask's layer would make its own), which
// is why the blur is put together here from Clutter's blit and blur nodes.
const BlurBehindEffect = GObject.registerClass(
class BlurBehindEffect extends Clutter.Effect {
    _init() {
        super._init();
        this._rectangles = [];
        this._strength = 1;
        this._cache = null; // {key, framebuffer, pipeline, time}
        this._stale = true; // what lies below changed since the cache was made
        this._refresh = 0;
    }

    // What lies below changed: the blur is made anew, at most every
    // BLUR_REFRESH_MS, so a video below costs a few blurs a second.
    refresh() {
        if (this._stale)
            return;
        this._stale = true;
        const since = GLib.get_monotonic_time() / 1000 - (this._cache?.time ?? 0);
        if (since >= BLUR_REFRESH_MS) {
            this.queue_repaint();
        } else if (!this._refresh) {
            this._refresh = GLib.timeout_add(GLib.PRIORITY_DEFAULT,
                Math.ceil(BLUR_REFRESH_MS - since), () => {
                    this._refresh = 0;
                    this.queue_repaint();
                    return GLib.SOURCE_REMOVE;
                });
        }
    }

    setBlur(rectangles, strength) {
        this._rectangles = rectangles;
        this._strength = strength;
        // The blurred box is kept: other rectangles are drawn from it.
        this.queue_repaint();
    }

    vfunc_set_actor(actor) {
        super.vfunc_set_actor(actor);
        this._cache = null;
        if (!actor && this._refresh) {
            GLib.source_remove(this._refresh);
            this._refresh = 0;
        }
    }

    // A framebuffer of its own for the blurred box: kept and shown again
    // while the box stays where it is.
    static _cacheOf(width, height) {
        const context = Clutter.get_default_backend().get_cogl_context();
        let texture;
        // The bindings of later shells make the texture; those of Shell 43 only
        // through Clutter.Image, which later shells no longer have.
        if (Cogl.Texture2D.new_with_size) {
            texture = Cogl.Texture2D.new_with_size(context, width, height);
        } else {
            const image = new Clutter.Image();
            image.set_data(new Uint8Array(width * height * 4), Cogl.PixelFormat.RGBA_8888_PRE,
                width, height, width * 4);
            texture = image.get_texture();
        }
        const framebuffer = Cogl.Offscreen.new_with_texture(texture);
        framebuffer.orthographic(0, 0, width, height, -1, 1);
        const pipeline = Cogl.Pipeline.new(context);
        pipeline.set_layer_texture(0, texture);
        return {framebuffer, pipeline};
    }

    // Where the actor's point (x, y) is in the framebuffer painted, in its
    // pixels from the top left: a monitor's view, or a screenshot's.
    static _pixelOf(framebuffer, x, y) {
        const modelview = framebuffer.get_modelview_matrix();
        const projection = framebuffer.get_projection_matrix();
        const viewX = framebuffer.get_viewport_x(), viewY = framebuffer.get_viewport_y();
        const viewWidth = framebuffer.get_viewport_width();
        const viewHeight = framebuffer.get_viewport_height();
        const point = projection.transform_vec4(
            modelview.transform_vec4(new Graphene.Vec4().init(x, y, 0, 1)));
        const w = point.get_w();
        return [viewX + (point.get_x() / w + 1) / 2 * viewWidth,
            viewY + (1 - point.get_y() / w) / 2 * viewHeight];
    }

    vfunc_paint_node(node, paintContext, flags) {
        if (this._rectangles.length === 0)
            return;
        let left = Infinity, top = Infinity, right = -Infinity, bottom = -Infinity;
        for (const [x, y, width, height] of this._rectangles) {
            left = Math.min(left, x);
            top = Math.min(top, y);
            right = Math.max(right, x + width);
            bottom = Math.max(bottom, y + height);
        }
        const framebuffer = paintContext.get_framebuffer();
        const [x1, y1] = BlurBehindEffect._pixelOf(framebuffer, left, top);
        const [x2, y2] = BlurBehindEffect._pixelOf(framebuffer, right, bottom);
        const scale = (x2 - x1) / (right - left);
        const sigma = BLUR_SIGMA * this._strength * scale;
        // What lies around the box is blurred in too, as far as the blur
        // reaches, and as far as the framebuffer goes (a screenshot's may be
        // smaller than the box): edges blurred with nothing beyond go dark.
        const margin = Math.ceil(2 * BLUR_SIGMA * scale);
        const sourceX = Math.max(0, Math.round(x1) - margin);
        const sourceY = Math.max(0, Math.round(y1) - margin);
        const width = Math.min(framebuffer.get_width(), Math.round(x2) + margin) - sourceX;
        const height = Math.min(framebuffer.get_height(), Math.round(y2) + margin) - sourceY;
        // Too faint a blur to see is none.
        if (!(sigma >= 0.5) || width <= 0 || height <= 0)
            return;
        // The texture's coordinates of the actor's point (x, y).
        const u = x => (x1 + (x - left) * scale - sourceX) / width;
        const v = y => (y1 + (y - top) * scale - sourceY) / height;
        // The blurred box, drawn rectangle by rectangle.
        const drawBack = target => {
            for (const [x, y, w, h] of this._rectangles) {
                target.add_texture_rectangle(
                    new Clutter.ActorBox({x1: x, y1: y, x2: x + w, y2: y + h}),
                    u(x), v(y), u(x + w), v(y + h));
            }
        };
        const key = [sourceX, sourceY, width, height, sigma].join();
        const now = GLib.get_monotonic_time() / 1000;
        const cache = this._cache;
        // While what lies below changes, the blur kept is shown until it is
        // BLUR_REFRESH_MS old (a timer then asks for the paint that renews it).
        const renew = this._stale && now - cache?.time >= BLUR_REFRESH_MS - 1;
        if (cache && cache.key === key && cache.source === framebuffer && !renew) {
            const shown = Clutter.PipelineNode.new(cache.pipeline);
            node.add_child(shown);
            drawBack(shown);
            return;
        }
        if (!cache || cache.width !== width || cache.height !== height)
            this._cache = {...BlurBehindEffect._cacheOf(width, height), width, height};
        Object.assign(this._cache, {key, source: framebuffer, time: now});
        this._stale = false;
        // What is on screen below and around the box, copied and blurred into
        // the cache, and drawn from there.
        const layer = Clutter.LayerNode.new_to_framebuffer(this._cache.framebuffer,
            this._cache.pipeline);
        node.add_child(layer);
        drawBack(layer);
        const blur = Clutter.BlurNode.new(width, height, sigma);
        layer.add_child(blur);
        blur.add_rectangle(new Clutter.ActorBox({x1: 0, y1: 0, x2: width, y2: height}));
        const blit = Clutter.BlitNode.new(framebuffer);
        blur.add_child(blit);
        blit.add_blit_rectangle(sourceX, sourceY, 0, 0, width, height);
    }
});

// The actor of a blur behind `window`, among the window actors. The shell
// takes every actor among override-redirect windows for a window's: this one
// stands for the window it blurs behind.
const BlurActor = GObject.registerClass(
class BlurActor extends Clutter.Actor {
    _init(window) {
        super._init({reactive: false});
        this._window = window;
    }

    get meta_window() {
        return this._window;
    }
});

// The X window id of a window under Xwayland: its description starts with it.
function xWindowOf(metaWindow) {
    if (metaWindow.get_client_type() !== Meta.WindowClientType.X11)
        return null;
    const match = /^0x([0-9a-f]{1,8})\b/i.exec(metaWindow.get_description() ?? '');
    return match ? parseInt(match[1], 16) : null;
}

// Rectangles from the bus, or null when they are not a window's outline.
function rectanglesFrom(list) {
    if (!Array.isArray(list) || list.length > MOST_RECTANGLES)
        return null;
    const inside = value => Number.isInteger(value) && Math.abs(value) <= LARGEST_COORDINATE;
    const rectangles = [];
    for (const rectangle of list) {
        if (!Array.isArray(rectangle) || rectangle.length !== 4 || !rectangle.every(inside))
            return null;
        if (rectangle[2] > 0 && rectangle[3] > 0)
            rectangles.push(rectangle);
    }
    return rectangles;
}

// Blurs behind the program's own windows: for each X window id the program
// asked for, an actor that blurs what lies behind it, kept just below the
// window's actor, at its place and size. A request outlives the window's
// actor (an unmapped window comes back with its blur) but not the program:
// they all go when it leaves the bus.
class BlurredWindows {
    constructor() {
        this._requests = new Map(); // X window id → {pid, rectangles, strength}
        this._blurs = new Map(); // X window id → {window, windowActor, actor, effect, signals}
        this._signals = [];
        this._followed = new Set(); // the window actors whose changes are followed
    }

    enable() {
        this._signals = [
            [global.display, global.display.connect('window-created',
                (display, window) => {
                    this._follow(window.get_compositor_private());
                    this._attach(window);
                })],
            [global.display, global.display.connect('restacked', () => {
                // A window's actor may come after the window: every restack
                // follows those not followed yet.
                for (const actor of global.get_window_actors())
                    this._follow(actor);
                this._restack();
                this._changed(null);
            })],
        ];
        for (const actor of global.get_window_actors())
            this._follow(actor);
    }

    // Every window's drawing, place and size: what lies below a blur changes
    // with them, and only then is the blur made anew.
    _follow(windowActor) {
        if (!windowActor || this._followed.has(windowActor))
            return;
        this._followed.add(windowActor);
        for (const signal of ['damaged', 'notify::allocation']) {
            const id = windowActor.connect(signal, () => this._changed(windowActor));
            this._signals.push([windowActor, id]);
        }
        const gone = windowActor.connect('destroy', () => {
            this._followed.delete(windowActor);
            this._signals = this._signals.filter(([object]) => object !== windowActor);
        });
        this._signals.push([windowActor, gone]);
    }

    // The blurs that `windowActor` (any, for null) overlaps are made anew.
    _changed(windowActor) {
        for (const blur of this._blurs.values()) {
            if (windowActor === blur.windowActor)
                continue;
            if (windowActor) {
                const [x, y] = windowActor.get_transformed_position();
                const [width, height] = windowActor.get_transformed_size();
                const [bx, by] = blur.actor.get_transformed_position();
                const [bw, bh] = blur.actor.get_transformed_size();
                // The blur reaches 2 sigma beyond its box.
                const reach = 2 * BLUR_SIGMA;
                if (x >= bx + bw + reach || bx >= x + width + reach ||
                    y >= by + bh + reach || by >= y + height + reach)
                    continue;
            }
            blur.effect.refresh();
        }
    }

    disable() {
        for (const [object, id] of this._signals)
            object.disconnect(id);
        this._signals = [];
        this._followed.clear();
        this.clear();
    }

    clear() {
        this._requests.clear();
        for (const id of [...this._blurs.keys()])
            this._detach(id);
    }

    // Sets the blur of window `id` (X window id, of process `pid`); no
    // rectangles remove it. True when a blur is behind the window now.
    set(id, pid, rectangles, strength) {
        if (rectangles.length === 0) {
            this._requests.delete(id);
            this._detach(id);
            return false;
        }
        this._requests.set(id, {pid, rectangles, strength});
        // The outline changes every frame while a window moves: the blur stays.
        const blur = this._blurs.get(id);
        if (blur && blur.window.get_pid() === pid) {
            blur.effect.setBlur(rectangles, strength);
            return true;
        }
        this._detach(id);
        const window = global.get_window_actors().map(actor => actor.meta_window)
            .find(candidate => xWindowOf(candidate) === id);
        return window ? this._attach(window) : false;
    }

    _attach(window) {
        const id = xWindowOf(window);
        const request = id === null ? undefined : this._requests.get(id);
        // Only a window of the process that asked: nobody else's windows are blurred.
        if (!request || window.get_pid() !== request.pid)
            return false;
        const windowActor = window.get_compositor_private();
        if (!windowActor || !windowActor.get_parent())
            return false;
        this._detach(id);
        const effect = new BlurBehindEffect();
        effect.setBlur(request.rectangles, request.strength);
        const actor = new BlurActor(window);
        actor.add_effect(effect);
        actor.add_constraint(new Clutter.BindConstraint({
            source: windowActor, coordinate: Clutter.BindCoordinate.ALL,
        }));
        windowActor.get_parent().insert_child_below(actor, windowActor);
        const signals = [
            [window, window.connect('unmanaged', () => this._detach(id))],
            [windowActor, windowActor.connect('destroy', () => this._detach(id))],
        ];
        this._blurs.set(id, {window, windowActor, actor, effect, signals});
        return true;
    }

    _detach(id) {
        const blur = this._blurs.get(id);
        if (!blur)
            return;
        this._blurs.delete(id);
        for (const [object, signal] of blur.signals)
            object.disconnect(signal);
        blur.actor.destroy();
    }

    // The shell restacks window actors without minding the blurs among them.
    _restack() {
        for (const {windowActor, actor} of this._blurs.values()) {
            const parent = windowActor.get_parent();
            if (parent && actor.get_parent() === parent)
                parent.set_child_below_sibling(actor, windowActor);
        }
    }
}

class FocusService {
    constructor() {
        this._tracker = Shell.WindowTracker.get_default();
        this._last = null;
        this._signals = [];
        this._program = null;
        this._lastFullscreen = null;
        this._lastMonitor = null;
        this._focusedMonitor = -1;
        this._blurs = new BlurredWindows();
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
        const index = this._focusMonitor();
        if (index < 0)
            return ['', [0, 0, 0, 0]];
        // Shells 45 and later have the backend on `global` only.
        const manager = (global.backend ?? Meta.get_backend()).get_monitor_manager();
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

    // Blurs behind the program's window `id` (X window id) under the rectangles
    // (window pixels), as strongly as `strength` says (0 to 1); no rectangles
    // remove the blur. Only windows of the calling process.
    SetBlurRegionAsync(parameters, invocation) {
        const [id, list, strength] = parameters;
        const rectangles = rectanglesFrom(list);
        Gio.DBus.session.call('org.freedesktop.DBus', '/org/freedesktop/DBus',
            'org.freedesktop.DBus', 'GetConnectionUnixProcessID',
            new GLib.Variant('(s)', [invocation.get_sender() ?? '']), new GLib.VariantType('(u)'),
            Gio.DBusCallFlags.NONE, -1, null, (bus, result) => {
                let pid = -1;
                try {
                    [pid] = bus.call_finish(result).deepUnpack();
                } catch (e) {
                    pid = -1;
                }
                this._forProgramOnly(invocation, () => {
                    if (rectangles === null)
                        throw new Error('the rectangles are no window outline');
                    if (pid <= 0)
                        throw new Error("the caller's process is unknown");
                    const blurred = this._blurs.set(id, pid, rectangles,
                        Number.isFinite(strength) ? Math.min(Math.max(strength, 0), 1) : 1);
                    return new GLib.Variant('(b)', [blurred]);
                });
            });
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

    // The focused window's monitor; while none has the focus (the overview,
    // the desktop clicked), the one that had it last, where the user still is.
    _focusMonitor() {
        const window = global.display.focus_window;
        if (window && window.get_monitor() >= 0)
            this._focusedMonitor = window.get_monitor();
        return this._focusedMonitor < global.display.get_n_monitors() ? this._focusedMonitor : -1;
    }

    // Tells the program to ask again when the focused window is on another
    // monitor than before, or the monitors changed.
    _monitorMayHaveChanged(monitorsChanged = false) {
        if (!this._program)
            return;
        const monitor = this._focusMonitor();
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
                this._blurs.clear();
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
        this._blurs.enable();
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
        this._blurs.disable();
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
