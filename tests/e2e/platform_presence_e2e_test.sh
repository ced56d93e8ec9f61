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
. "$(dirname "$0")/e2e_helper.sh"
log=$work/probe.log e2e_logs=("$work/probe.log" "$work/probe-gnome.log")

# emit BUS NAME PATH INTERFACE SIGNAL SIGNATURE ARGUMENTS
emit() { mock_call "$1" "$2" "$3" EmitSignal "$4" "$5" "$6" "$7" >/dev/null; }
# both "SOURCE: CONDITION" ON OFF: each command is heard as the change it makes.
both() { eval "$2" && heard 1 "$1 on" && eval "$3" && heard 1 "$1 off"; }

export HOME=$work XDG_RUNTIME_DIR=$work XDG_SESSION_TYPE=x11
unset XDG_CURRENT_DESKTOP WAYLAND_DISPLAY
xvfb_session_start --displays 70-79 || exit 1
private_bus system
private_bus session
mock_logind
mock_object org.freedesktop.ScreenSaver /ScreenSaver org.freedesktop.ScreenSaver
window_of window presence-fixture xterm -geometry 60x10 -title presence-fixture
activate "$window"

start_probe "X11 idle, X11 fullscreen, logind, screen saver, notification server DND"
# No input: away within the threshold (plus a loaded machine's delay), counted
# from the last input; back at the next input; away again.
both "X11 idle: NoInput" true 'xdotool mousemove 200 200 mousemove 220 220'
heard 2 "X11 idle: NoInput on"
began "X11 idle: NoInput on" 1900 10000
both "X11 fullscreen: Fullscreen" 'wmctrl -r :ACTIVE: -b add,fullscreen' 'wmctrl -r :ACTIVE: -b remove,fullscreen'
both "logind: ScreenLocked" 'lock_hint true' 'lock_hint false'

sleep_signal() { emit system org.freedesktop.login1 /org/freedesktop/login1 org.freedesktop.login1.Manager PrepareForSleep "$@"; }
sleep_signal b "[<true>]"
heard 1 "logind: Asleep on"
# A resume with the wrong type is ignored; the lock that follows from the same
# sender arrives after it, so by then it would have been heard.
sleep_signal i "[<int32 0>]"
lock_hint true
heard 2 "logind: ScreenLocked on"
[ "$(lines "logind: Asleep off")" -eq 0 ] || fail "a PrepareForSleep(i) was taken for a resume"
sleep_signal b "[<false>]"
heard 1 "logind: Asleep off"
S=org.freedesktop.ScreenSaver
both "screen saver: ScreenLocked" "emit session $S /ScreenSaver $S ActiveChanged b '[<true>]'" \
    "emit session $S /ScreenSaver $S ActiveChanged b '[<false>]'"
probe_quiet

I=org.gnome.Mutter.IdleMonitor N=org.freedesktop.Notifications
core=/org/gnome/Mutter/IdleMonitor/Core notifications=/org/freedesktop/Notifications
mock_object $I $core $I
mock_object $N $notifications $N
mock_call session $I $core AddMethods $I "[('GetIdletime', '', 't', 'ret = 5000'),
    ('AddIdleWatch', 't', 'u', 'ret = 7'), ('AddUserActiveWatch', '', 'u', 'ret = 8'),
    ('RemoveWatch', 'u', '', '')]" >/dev/null
mock_call session $N $notifications AddProperty $N Inhibited "<false>" >/dev/null
# GNOME's switch counts while GNOME Shell runs.
mock_object org.gnome.Shell /org/gnome/Shell org.gnome.Shell
export XDG_SESSION_TYPE=wayland XDG_CURRENT_DESKTOP=GNOME GSETTINGS_BACKEND=keyfile XDG_CONFIG_HOME=$work/config
log=$work/probe-gnome.log
start_probe "GNOME idle, GNOME DND, logind, screen saver, notification server DND, desktop fullscreen"
heard 1 "logind: ScreenLocked on" # the lock left on above, read at start

# The idle watch says away (since 5 s, as Mutter's idle time tells), the
# user-active watch back; then away again, which re-added the second watch.
wait_for 10 eval 'mock_call session $I $core GetCalls | grep -q AddIdleWatch' || fail "no idle watch was added"
watch_fired() { emit session $I $core $I WatchFired u "[<uint32 $1>]"; }
both "GNOME idle: NoInput" 'watch_fired 7' 'watch_fired 8'
began "GNOME idle: NoInput on" 5000 15000
watch_fired 7
heard 2 "GNOME idle: NoInput on"
banners="gsettings set org.gnome.desktop.notifications show-banners"
both "GNOME DND: DoNotDisturb" "$banners false" "$banners true"
inhibited="mock_call session $N $notifications UpdateProperties $N"
both "notification server DND: DoNotDisturb" "$inhibited \"{'Inhibited': <true>}\"" "$inhibited \"{'Inhibited': <false>}\""
# This GNOME Shell runs without the program's extension, which the wing says once.
unfollowed="tracking is unavailable until GNOME Shell runs the Nudgewatch extension"
probe_quiet "$unfollowed"

# GNOME on Xorg: the X11 session's own sources, and GNOME's switch all the same.
export XDG_SESSION_TYPE=x11
log=$work/probe-gnome-xorg.log
start_probe "X11 idle, X11 fullscreen, GNOME DND, logind, screen saver, notification server DND"
both "GNOME DND: DoNotDisturb" "$banners false" "$banners true"
probe_quiet "$unfollowed"
echo "PASS"
