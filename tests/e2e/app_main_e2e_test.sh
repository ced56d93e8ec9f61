#!/usr/bin/env bash
# The whole program under a real X server and window manager, in a temporary
# HOME: closing the settings window keeps it running, a second launch brings
# the window back and ends, and when the X server goes away the program quits
# by itself, without a crash and without touching the settings file.
set -uo pipefail

program=${1:?usage: app_main_e2e_test.sh path/to/nudgewatch}
. "$(dirname "$0")/../../scripts/xvfb-session"
work=$(mktemp -d /tmp/nudgewatch-e2e.XXXXXX)
cleanup() {
    xvfb_session_stop
    rm -rf "$work"
}
trap cleanup EXIT
fail() {
    echo "FAIL: $*" >&2
    sed 's/^/  nudgewatch: /' "$work/nudgewatch.log" >&2
    exit 1
}

export HOME="$work/home" XDG_CONFIG_HOME="$work/home/.config" XDG_DATA_HOME="$work/home/.local/share"
export XDG_CACHE_HOME="$work/home/.cache" XDG_RUNTIME_DIR="$work/run" QT_ACCESSIBILITY=0
mkdir -p "$XDG_CONFIG_HOME/Nudgewatch" "$XDG_DATA_HOME/applications" "$XDG_RUNTIME_DIR"
chmod 700 "$XDG_RUNTIME_DIR"
unset SESSION_MANAGER
settings="$XDG_CONFIG_HOME/Nudgewatch/Nudgewatch.conf"
printf '[General]\nNudgewatch.idleThreshold=45\n' >"$settings"

xvfb_session_start --displays 60-69 --dbus || exit 1
"$program" >"$work/nudgewatch.log" 2>&1 &
main_pid=$!
xvfb_session_adopt "$main_pid"
settings_window() { xdotool search --onlyvisible --name '^Nudgewatch$' 2>/dev/null | head -n1; }
settings_shown() { [ -n "$(settings_window)" ]; }
settings_hidden() { [ -z "$(settings_window)" ]; }
has_exited() { ! kill -0 "$1" 2>/dev/null; }
wait_for 10 settings_shown || fail "settings window not shown"
grep -q "tracking is unavailable" "$work/nudgewatch.log" && fail "X11 tracking reported unavailable"

timeout 10 xdotool windowactivate --sync "$(settings_window)"
xdotool key --clearmodifiers alt+F4
wait_for 3 settings_hidden || fail "the settings window did not close"
sleep 1
has_exited "$main_pid" && fail "closing the window ended the program"

"$program" >"$work/second.log" 2>&1 &
second=$!
wait_for 5 has_exited "$second" || fail "the second launch kept running"
wait "$second" || fail "the second launch exited with $?"
wait_for 5 settings_shown || fail "the second launch did not show the window"

before=$(sha256sum "$settings")
xvfb_session_kill_server
wait_for 10 has_exited "$main_pid" || fail "the program kept running without its X server"
wait "$main_pid"
status=$?
[ "$status" -lt 128 ] || fail "the program died from signal $((status - 128))"
[ "$(sha256sum "$settings")" = "$before" ] || fail "the settings file changed"
echo "PASS: window closed and brought back by a second launch; exit $status without X"
