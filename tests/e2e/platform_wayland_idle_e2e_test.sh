#!/usr/bin/env bash
# No input on a headless sway session (wlroots, which offers org_kde_kwin_idle)
# with a 2-second threshold: away after 2 s without input, counted from the last
# input; back at a key press through the virtual keyboard (wtype); away again.
set -uo pipefail

probe=${1:?usage: platform_wayland_idle_e2e_test.sh path/to/platform_presence_probe}
. "$(dirname "$0")/../../scripts/sway-session"
. "$(dirname "$0")/e2e_helper.sh"
log=$work/probe.log e2e_logs=("$log") e2e_as=(sway_session_as)

# A copy the session's user can run, wherever the build folder is.
cp "$probe" "$work/probe" && probe=$work/probe
sway_session_start --logs "$work/logs" || exit 1
sway_session_own "$work"
export HOME=$work ASAN_OPTIONS="${ASAN_OPTIONS:+$ASAN_OPTIONS:}detect_leaks=0"
start_probe "Wayland idle*"
heard 1 "Wayland idle: NoInput on"
began "Wayland idle: NoInput on" 1900 10000
[ "$(lines "Wayland idle: NoInput off")" -eq 0 ] || fail "back without input"
sway_session_as wtype a || fail "wtype failed"
heard 1 "Wayland idle: NoInput off"
heard 2 "Wayland idle: NoInput on"
probe_quiet
echo "PASS"
