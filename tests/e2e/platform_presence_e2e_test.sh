#!/usr/bin/env bash
# The presence sources an X11 session gets, against real and mock services:
#  - Xvfb and openbox: no input for the (2-second) threshold, input, and no
#    input again; an xterm put in and out of fullscreen with wmctrl;
#  - python3-dbusmock's logind on a private system bus: LockedHint set and
#    cleared, PrepareForSleep true and false, and one with a bad argument type;
#  - a mock org.freedesktop.ScreenSaver on a private session bus: ActiveChanged.
# Then, as a GNOME Wayland session would: a mock Mutter idle monitor's watches
# firing, GNOME's show-banners setting (keyfile back-end), and a mock
# notification server's Inhibited property.
# Everything started here is stopped by PID.
set -uo pipefail

probe=${1:?usage: platform_presence_e2e_test.sh path/to/platform_presence_probe}
. "$(dirname "$0")/../../scripts/xvfb-session"
work=$(mktemp -d /tmp/nudgewatch-presence.XXXXXX)
trap 'xvfb_session_stop; rm -rf "$work"' EXIT
log=$work/probe.log
fail() {
    echo "FAIL: $*" >&2
    sed 's/^/  probe: /' "$log" >&2
    exit 1
}

# A private bus of the given type, open to everyone on it; exports its address.
start_bus() {
    cat >"$work/$1.conf" <<CONF
<!DOCTYPE busconfig PUBLIC "-//freedesktop//DTD D-Bus Bus Configuration 1.0//EN"
 "http://www.freedesktop.org/standards/dbus/1.0/busconfig.dtd">
<busconfig><type>$1</type><listen>unix:dir=$work</listen>
<policy context="default"><allow send_destination="*"/><allow receive_sender="*"/><allow own="*"/>
</policy></busconfig>
CONF
    dbus-daemon --nofork --config-file="$work/$1.conf" --print-address=3 3>"$work/$1.address" \
        >"$work/$1.log" 2>&1 &
    xvfb_session_adopt $!
    wait_for 10 test -s "$work/$1.address" || fail "the $1 bus did not start"
    export "DBUS_${1^^}_BUS_ADDRESS=$(head -n 1 "$work/$1.address")"
}

# python3-dbusmock with the system's Python, which has the dbus module.
mock() { /usr/bin/python3 -m dbusmock "$@" >>"$work/mocks.log" 2>&1 & xvfb_session_adopt $!; }
has_name() { dbus-send --"$1" --reply-timeout=2000 --print-reply --dest=org.freedesktop.DBus /org/freedesktop/DBus \
    org.freedesktop.DBus.NameHasOwner "string:$2" | grep -q 'boolean true'; }
# mock_call BUS NAME PATH METHOD PYTHON-ARGUMENTS: one of the mock's own methods; prints its answer.
mock_call() {
    /usr/bin/python3 - "$@" <<'PY' || fail "mock call $4 $5 failed"
import sys, dbus
bus_kind, name, path, method, arguments = sys.argv[1:]
bus = dbus.SystemBus() if bus_kind == 'system' else dbus.SessionBus()
answer = getattr(bus.get_object(name, path), method)(*eval('[' + arguments + ']'),
                                                     dbus_interface='org.freedesktop.DBus.Mock')
if answer is not None:
    print(answer)
PY
}
# emit BUS NAME PATH INTERFACE SIGNAL SIGNATURE PYTHON-ARGUMENTS
emit() { mock_call "$1" "$2" "$3" EmitSignal "'$4', '$5', '$6', $7"; }
lock_hint() { dbus-send --system --print-reply --dest=org.freedesktop.login1 \
    /org/freedesktop/login1/session/c1 org.freedesktop.login1.Session.SetLockedHint "boolean:$1" \
    >/dev/null || fail "SetLockedHint($1) failed"; }
# lines PATTERN: how many lines of the probe match; heard N PATTERN: waits for N of them.
lines() { grep -c -- "$1" "$log"; }
heard() {
    local count=$1 pattern=$2
    wait_for 15 eval '[ "$(lines "$pattern")" -ge "$count" ]' || fail "no $count × \"$pattern\""
}

export HOME=$work XDG_RUNTIME_DIR=$work XDG_SESSION_ID=c1 XDG_SESSION_TYPE=x11
unset XDG_CURRENT_DESKTOP WAYLAND_DISPLAY
xvfb_session_start --displays 70-79 || exit 1
start_bus system
start_bus session

mock --system --template logind
wait_for 20 has_name system org.freedesktop.login1 || fail "mock logind did not start"
dbus-send --system --print-reply --dest=org.freedesktop.login1 /org/freedesktop/login1 \
    org.freedesktop.DBus.Mock.AddSession string:c1 string:seat0 "uint32:$(id -u)" string:user \
    boolean:true >/dev/null || fail "no session in mock logind"
mock org.freedesktop.ScreenSaver /ScreenSaver org.freedesktop.ScreenSaver
wait_for 20 has_name session org.freedesktop.ScreenSaver || fail "mock screen saver did not start"
xterm -geometry 60x10 -title presence-fixture &
xvfb_session_adopt $!
window=$(timeout 10 xdotool search --sync --onlyvisible --name presence-fixture | head -n1)
[ -n "$window" ] || fail "no xterm window"
timeout 10 xdotool windowactivate --sync "$window"

"$probe" 2000 >"$log" 2>"$work/probe.err" &
xvfb_session_adopt $!
heard 1 "presence sources:"
expected="presence sources: X11 idle, X11 fullscreen, logind, screen saver, notification server DND"
[ "$(head -n 1 "$log")" = "$expected" ] || fail "sources: $(head -n 1 "$log")"

# No input: away within the threshold (plus a loaded machine's delay), counted
# from the last input; back at the next input; away again.
heard 1 "X11 idle: NoInput on"
xdotool mousemove 200 200 mousemove 220 220
heard 1 "X11 idle: NoInput off"
heard 2 "X11 idle: NoInput on"
ago=$(grep "X11 idle: NoInput on" "$log" | tail -n 1 | awk '{print $NF}')
((ago >= 1900 && ago < 10000)) || fail "away counted from $ago ms ago, not from the last input"

wmctrl -r :ACTIVE: -b add,fullscreen
heard 1 "X11 fullscreen: Fullscreen on"
wmctrl -r :ACTIVE: -b remove,fullscreen
heard 1 "X11 fullscreen: Fullscreen off"

lock_hint true
heard 1 "logind: ScreenLocked on"
lock_hint false
heard 1 "logind: ScreenLocked off"

M=org.freedesktop.login1.Manager
emit system org.freedesktop.login1 /org/freedesktop/login1 $M PrepareForSleep b '[True]'
heard 1 "logind: Asleep on"
# A resume with the wrong type is ignored; the lock that follows from the same
# sender arrives after it, so by then it would have been heard.
emit system org.freedesktop.login1 /org/freedesktop/login1 $M PrepareForSleep i '[0]'
lock_hint true
heard 2 "logind: ScreenLocked on"
[ "$(lines "logind: Asleep off")" -eq 0 ] || fail "a PrepareForSleep(i) was taken for a resume"
emit system org.freedesktop.login1 /org/freedesktop/login1 $M PrepareForSleep b '[False]'
heard 1 "logind: Asleep off"

S=org.freedesktop.ScreenSaver
emit session $S /ScreenSaver $S ActiveChanged b '[True]'
heard 1 "screen saver: ScreenLocked on"
emit session $S /ScreenSaver $S ActiveChanged b '[False]'
heard 1 "screen saver: ScreenLocked off"
[ -s "$work/probe.err" ] && fail "the probe wrote errors: $(cat "$work/probe.err")"

I=org.gnome.Mutter.IdleMonitor N=org.freedesktop.Notifications
core=/org/gnome/Mutter/IdleMonitor/Core
mock $I $core $I
mock $N /org/freedesktop/Notifications $N
wait_for 20 has_name session $I && wait_for 20 has_name session $N || fail "mocks did not start"
mock_call session $I $core AddMethods "'$I', [('GetIdletime', '', 't', 'ret = 5000'),
    ('AddIdleWatch', 't', 'u', 'ret = 7'), ('AddUserActiveWatch', '', 'u', 'ret = 8'),
    ('RemoveWatch', 'u', '', '')]"
mock_call session $N /org/freedesktop/Notifications AddProperty "'$N', 'Inhibited', False"
export XDG_SESSION_TYPE=wayland XDG_CURRENT_DESKTOP=GNOME GSETTINGS_BACKEND=keyfile
export XDG_CONFIG_HOME=$work/config
log=$work/probe-gnome.log
"$probe" 2000 >"$log" 2>"$work/probe.err" &
xvfb_session_adopt $!
heard 1 "presence sources:"
expected="presence sources: GNOME idle, GNOME DND, logind, screen saver, notification server DND"
[ "$(head -n 1 "$log")" = "$expected" ] || fail "sources: $(head -n 1 "$log")"
heard 1 "logind: ScreenLocked on" # the lock left on above, read at start

# The idle watch says away (since 5 s, as Mutter's idle time tells), the
# user-active watch back; then away again, which re-added the second watch.
wait_for 10 eval 'mock_call session $I $core GetCalls "" | grep -q AddIdleWatch' ||
    fail "no idle watch was added"
emit session $I $core $I WatchFired u '[dbus.UInt32(7)]'
heard 1 "GNOME idle: NoInput on"
ago=$(grep "GNOME idle: NoInput on" "$log" | awk '{print $NF}')
((ago >= 5000 && ago < 15000)) || fail "GNOME idle counted from $ago ms ago, not from Mutter's idle time"
emit session $I $core $I WatchFired u '[dbus.UInt32(8)]'
heard 1 "GNOME idle: NoInput off"
emit session $I $core $I WatchFired u '[dbus.UInt32(7)]'
heard 2 "GNOME idle: NoInput on"

gsettings set org.gnome.desktop.notifications show-banners false
heard 1 "GNOME DND: DoNotDisturb on"
gsettings set org.gnome.desktop.notifications show-banners true
heard 1 "GNOME DND: DoNotDisturb off"

mock_call session $N /org/freedesktop/Notifications UpdateProperties "'$N', {'Inhibited': True}"
heard 1 "notification server DND: DoNotDisturb on"
mock_call session $N /org/freedesktop/Notifications UpdateProperties "'$N', {'Inhibited': False}"
heard 1 "notification server DND: DoNotDisturb off"
[ -s "$work/probe.err" ] && fail "the probe wrote errors: $(cat "$work/probe.err")"
echo "PASS"
