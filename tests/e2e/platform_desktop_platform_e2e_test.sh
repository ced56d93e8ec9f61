#!/usr/bin/env bash
# The program on the desktop layer. Under X11 it tracks without a word and, when
# the X server goes away, quits by itself, without a crash and without touching
# the settings file. Without X11 it says once that tracking is unavailable.
# Usage: platform_program.sh path/to/nudgewatch
set -u
program=$1
. "$(dirname "$0")/../../scripts/xvfb-session"

work=$(mktemp -d)
app_pid=
cleanup() {
  if [ -n "$app_pid" ]; then
    kill "$app_pid" 2>/dev/null
    wait "$app_pid" 2>/dev/null
  fi
  xvfb_session_stop
  rm -rf "$work"
}
trap cleanup EXIT
trap 'exit 130' INT TERM
fail() { echo "FAIL: $*" >&2; exit 1; }

export HOME=$work/home XDG_CONFIG_HOME=$work/config XDG_DATA_HOME=$work/data
export DBUS_SESSION_BUS_ADDRESS=unix:path=/nonexistent/nudgewatch-e2e-bus QT_ACCESSIBILITY=0
mkdir -p "$HOME" "$XDG_CONFIG_HOME" "$XDG_DATA_HOME/applications"
settings_file() { find "$XDG_CONFIG_HOME/Nudgewatch" -type f 2>/dev/null | head -n 1; }

# Offscreen: the null backend, one line on stderr.
XDG_CONFIG_HOME=$work/config-offscreen QT_QPA_PLATFORM=offscreen "$program" 2>"$work/offscreen.err" &
app_pid=$!
sleep 2
kill -0 "$app_pid" 2>/dev/null || fail "the program did not keep running offscreen"
kill "$app_pid"; wait "$app_pid" 2>/dev/null; app_pid=
lines=$(grep -c "frontmost application tracking is unavailable" "$work/offscreen.err")
[ "$lines" = 1 ] || fail "expected one notice offscreen, got: $(cat "$work/offscreen.err")"

# X11 with a window manager, then the server goes away.
xvfb_session_start --displays 40-49 || exit 1
QT_QPA_PLATFORM=xcb "$program" 2>"$work/x11.err" &
app_pid=$!
for _ in $(seq 50); do [ -n "$(settings_file)" ] && break; sleep 0.1; done
settings=$(settings_file)
[ -n "$settings" ] || fail "the program wrote no settings at start: $(cat "$work/x11.err")"
sleep 1
kill -0 "$app_pid" 2>/dev/null || fail "the program did not keep running under X11"
grep -q "tracking is unavailable" "$work/x11.err" && fail "X11 tracking reported unavailable"
before=$(sha256sum "$settings")

xvfb_session_kill_server
for _ in $(seq 100); do kill -0 "$app_pid" 2>/dev/null || break; sleep 0.1; done
kill -0 "$app_pid" 2>/dev/null && fail "the program kept running without its X server"
wait "$app_pid"; status=$?; app_pid=
[ "$status" -lt 128 ] || fail "the program died from signal $((status - 128))"
[ "$(sha256sum "$settings")" = "$before" ] || fail "the settings file changed"
echo "PASS: offscreen notice once; X11 silent; exit $status after losing the X server; settings untouched"
