#!/usr/bin/env bash
# The program's comings and goings under a real X server, window manager and
# session bus, in a temporary HOME, tracking an idle xterm with a 2-second threshold:
#  - started by its autostart entry's command line it shows no window, yet
#    reminds; a launch by the user then shows the window;
#  - with every window minimised nothing is in front, and Alpha, in front
#    before, is reminded of once idle;
#  - two close requests for the settings window while the program is busy
#    close it once, and the program goes on;
#  - SIGTERM, SIGINT and SIGHUP each end it as Quit does: exit status 0, its
#    bus name released, so the next start is a first instance again.
set -uo pipefail

program=${1:?usage: app_lifecycle_e2e_test.sh path/to/nudgewatch}
. "$(dirname "$0")/../../scripts/xvfb-session"
work=$(mktemp -d /tmp/nudgewatch-lifecycle.XXXXXX)
trap 'xvfb_session_stop; rm -rf "$work"' EXIT
fail() {
    echo "FAIL: $*" >&2
    for log in "$work"/*.log; do sed "s|^|  $(basename "$log"): |" "$log" >&2; done
    exit 1
}

export HOME="$work/home" XDG_CONFIG_HOME="$work/home/.config" XDG_DATA_HOME="$work/home/.local/share"
export XDG_CACHE_HOME="$work/home/.cache" XDG_RUNTIME_DIR="$work/run" XDG_DATA_DIRS="$work/share"
apps="$XDG_DATA_HOME/applications"
mkdir -p "$XDG_CONFIG_HOME/Nudgewatch" "$apps" "$XDG_RUNTIME_DIR" "$work/share"
chmod 700 "$XDG_RUNTIME_DIR"
unset SESSION_MANAGER QT_QPA_PLATFORM
printf '[Desktop Entry]\nType=Application\nName=Alpha Fixture\nExec=xterm -class AlphaFixture\nStartupWMClass=AlphaFixture\n' \
    >"$apps/fixture-alpha.desktop"
printf '[General]\nNudgewatch.trackedAppPaths=%s\nNudgewatch.idleThreshold=2\n' \
    "$apps/fixture-alpha.desktop" >"$XDG_CONFIG_HOME/Nudgewatch/Nudgewatch.conf"
export ASAN_OPTIONS="${ASAN_OPTIONS:+$ASAN_OPTIONS:}detect_leaks=0"

xvfb_session_start --displays 80-89 --dbus || exit 1
xterm -class AlphaFixture -geometry 60x10+0+300 &
xvfb_session_adopt $!
# Another program in front (not xterm: its windows would be Alpha's by executable).
xev -name OtherWindow -geometry 300x200+600+300 >/dev/null &
xvfb_session_adopt $!
other=$(timeout 10 xdotool search --sync --onlyvisible --name OtherWindow | head -n1)
alpha=$(timeout 10 xdotool search --sync --onlyvisible --class AlphaFixture | head -n1)
[ -n "$other" ] && [ -n "$alpha" ] || fail "fixture windows missing"
timeout 10 xdotool windowactivate --sync "$other"

settings_window() { xdotool search --onlyvisible --name '^Nudgewatch$' 2>/dev/null | head -n1; }
settings_shown() { [ -n "$(settings_window)" ]; }
card_down() { xwininfo -name "Nudgewatch reminder" 2>/dev/null | grep -q IsViewable; }
has_exited() { ! kill -0 "$1" 2>/dev/null; }
name_owned() {
    dbus-send --session --print-reply --dest=org.freedesktop.DBus /org/freedesktop/DBus \
        org.freedesktop.DBus.NameHasOwner string:org.nudgewatch.Nudgewatch | grep -q "boolean true"
}
start_program() { # start_program LOG [ARGUMENTS...]: sets pid
    local log=$1
    shift
    "$program" "$@" >"$work/$log.log" 2>&1 &
    pid=$!
    xvfb_session_adopt "$pid"
    wait_for 10 name_owned || fail "the program did not take its bus name"
}

# As at login: the command line of the autostart entry the tray writes.
start_program login --autostart
wait_for 6 card_down || fail "started at login, it did not remind of idle Alpha"
settings_shown && fail "started at login, it opened its window"
[ "$(xdotool getactivewindow)" = "$other" ] || fail "started at login, it took the focus"
# Nothing in front: with every window minimised, Alpha, in front before, is idle.
timeout 10 xdotool windowactivate --sync "$alpha"
wait_for 5 eval '! card_down' || fail "activating Alpha did not end its reminder"
sleep 3 # past the threshold
card_down && fail "Alpha in front was reminded of"
xdotool windowminimize "$other"
xdotool windowminimize "$alpha"
wait_for 10 eval '[ "$(xprop -root _NET_ACTIVE_WINDOW)" = "_NET_ACTIVE_WINDOW(WINDOW): window id # 0x0" ]' ||
    fail "something is still in front: $(xprop -root _NET_ACTIVE_WINDOW)"
wait_for 6 card_down || fail "with every window minimised Alpha stayed in use"

"$program" >"$work/user.log" 2>&1 &
second=$!
wait_for 5 has_exited "$second" || fail "the second launch kept running"
wait_for 5 settings_shown || fail "a launch by the user did not show the window"

# Two close requests while the program cannot answer, then both at once.
window=$(settings_window)
kill -STOP "$pid"
wmctrl -i -c "$window"
sleep 0.15
wmctrl -i -c "$window"
kill -CONT "$pid"
wait_for 5 eval '! settings_shown' || fail "the settings window did not close"
sleep 1
has_exited "$pid" && fail "two close requests ended the program"
"$program" >"$work/again.log" 2>&1 &
wait_for 5 settings_shown || fail "the window did not come back after the double close"

for signal in TERM INT HUP; do
    kill "-$signal" "$pid"
    wait_for 10 has_exited "$pid" || fail "SIG$signal did not end the program"
    wait "$pid"
    status=$?
    [ "$status" = 0 ] || fail "after SIG$signal the program exited with $status"
    name_owned && fail "the bus name outlived the program after SIG$signal"
    [ "$signal" = HUP ] && break
    start_program "after-$signal"
    wait_for 5 settings_shown || fail "the program started after SIG$signal is not the first instance"
done
echo "PASS: quiet at login, shown for the user; double close survived; SIGTERM, SIGINT, SIGHUP end as Quit"
