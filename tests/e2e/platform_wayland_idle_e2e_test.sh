#!/usr/bin/env bash
# No input on a headless sway session (wlroots, which offers org_kde_kwin_idle)
# with a 2-second threshold: away after 2 s without input, counted from the last
# input; back at a key press through the virtual keyboard (wtype); away again.
set -uo pipefail

probe=${1:?usage: platform_wayland_idle_e2e_test.sh path/to/platform_presence_probe}
. "$(dirname "$0")/../../scripts/sway-session"
work=$(mktemp -d /tmp/nudgewatch-wlidle.XXXXXX)
trap 'sway_session_stop; rm -rf "$work"' EXIT
log=$work/probe.log
fail() {
    echo "FAIL: $*" >&2
    sed 's/^/  probe: /' "$log" >&2
    exit 1
}
lines() { grep -c -- "$1" "$log"; }
heard() {
    local count=$1 pattern=$2
    wait_for 15 eval '[ "$(lines "$pattern")" -ge "$count" ]' || fail "no $count × \"$pattern\""
}

# A copy the session's user can run, wherever the build folder is.
cp "$probe" "$work/probe" && probe=$work/probe
sway_session_start --logs "$work/logs" || exit 1
sway_session_own "$work"
export HOME=$work ASAN_OPTIONS="${ASAN_OPTIONS:+$ASAN_OPTIONS:}detect_leaks=0"
sway_session_as "$probe" 2000 >"$log" 2>"$work/probe.err" &
sway_session_adopt $!
heard 1 "presence sources:"
head -n 1 "$log" | grep -q "presence sources: Wayland idle" || fail "sources: $(head -n 1 "$log")"

heard 1 "Wayland idle: NoInput on"
ago=$(grep "Wayland idle: NoInput on" "$log" | awk '{print $NF}')
((ago >= 1900 && ago < 10000)) || fail "away counted from $ago ms ago, not from the last input"
[ "$(lines "Wayland idle: NoInput off")" -eq 0 ] || fail "back without input"
sway_session_as wtype a || fail "wtype failed"
heard 1 "Wayland idle: NoInput off"
heard 2 "Wayland idle: NoInput on"
[ -s "$work/probe.err" ] && fail "the probe wrote errors: $(cat "$work/probe.err")"
echo "PASS"
