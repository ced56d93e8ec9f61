#!/usr/bin/env bash
# The whole program in a headless sway session when the compositor breaks its
# connection: sway 1.7 gives up on a client it cannot send a window title of
# over 4 KiB to, and drops it at its next request. Tracking foot and xterm:
#  - foot in front reads "Active";
#  - an xterm titled with 6,000 bytes opens: the program notices the broken
#    connection at once, says so in its window and keeps running;
#  - while that window is open each new connection breaks the same way; once
#    it is closed the program connects again by itself, foot in front reads
#    "Active" again, and the card's Open button brings the xterm forward.
set -uo pipefail

program=${1:?usage: platform_wlroots_broken_e2e_test.sh path/to/nudgewatch}
here=$(cd "$(dirname "$0")" && pwd)
. "$here/../../scripts/sway-session"
work=$(mktemp -d /tmp/nudgewatch-wlr-broken.XXXXXX)
trap 'sway_session_stop; rm -rf "$work"' EXIT
fail() {
    echo "FAIL: $*" >&2
    sed 's/^/  nudgewatch: /' "$work/nudgewatch.log" >&2
    exit 1
}

mkdir -p "$work/home/.config/Nudgewatch"
printf '[General]\nNudgewatch.trackedAppPaths=%s, %s\nNudgewatch.idleThreshold=3\n' \
    /usr/share/applications/foot.desktop /usr/share/applications/debian-xterm.desktop \
    >"$work/home/.config/Nudgewatch/Nudgewatch.conf"
cp "$program" "$work/nudgewatch" && cp "$here/atspi_helper.py" "$work" && program=$work/nudgewatch
sway_session_start --logs "$work/logs" || exit 1
sway_session_own "$work"
export HOME="$work/home" XDG_CONFIG_HOME="$work/home/.config" XDG_DATA_DIRS=/usr/share
export XDG_DATA_HOME="$work/home/.local/share" XDG_CACHE_HOME="$work/home/.cache" SHELL=/bin/sh
export ASAN_OPTIONS="${ASAN_OPTIONS:+$ASAN_OPTIONS:}detect_leaks=0"
unset QT_QPA_PLATFORM SESSION_MANAGER
start() { sway_session_as "$@" >>"$work/logs/clients.log" 2>&1 & sway_session_adopt $!; }
start /usr/libexec/at-spi-bus-launcher --launch-immediately
start foot
start xterm

# focused: the app id (or X11 class) of the window sway has focused; windows CLASS: how many.
tree() {
    sway_session_as swaymsg -t get_tree | python3 -c 'import json, sys
def walk(n):
    yield n
    for c in n.get("nodes", []) + n.get("floating_nodes", []): yield from walk(c)
ids = [(n.get("app_id") or (n.get("window_properties") or {}).get("class"), n.get("focused"))
       for n in walk(json.load(sys.stdin)) if n.get("pid")]
print(sum(i == sys.argv[2] for i, _ in ids) if sys.argv[1] == "windows" else
      next((i for i, f in ids if f), ""))' "$@"
}
focused_is() { [ "$(tree focused)" = "$1" ]; }
wait_for 10 eval '[ "$(tree windows foot)" = 1 ] && [ "$(tree windows XTerm)" = 1 ]' ||
    fail "foot and xterm did not open"

# atspi CHECK ARGS...: a check of atspi_helper.py, e.g. "atspi row Foot Active".
atspi() { sway_session_as /usr/bin/python3 "$work/atspi_helper.py" --wait 20 "$@"; }

QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1 sway_session_as "$program" >"$work/nudgewatch.log" 2>&1 &
nudgewatch=$!
sway_session_adopt $nudgewatch
alive() { kill -0 "$nudgewatch" 2>/dev/null || fail "the program ended"; }
wait_for 10 focused_is Nudgewatch || fail "the settings window did not come to the front"
sway_session_as swaymsg '[app_id=^foot$] focus' >/dev/null
atspi row Foot Active || fail "foot in front does not read \"Active\""

# A title sway cannot send: 6,000 bytes in one event.
title=$(head -c 6000 /dev/zero | tr '\0' x)
sway_session_as xterm -class LongTitle -T "$title" >>"$work/logs/clients.log" 2>&1 &
long=$!
sway_session_adopt $long
wait_for 10 focused_is LongTitle || fail "the long-titled xterm did not come to the front"
wait_for 10 grep -q "connection to the Wayland compositor broke" "$work/nudgewatch.log" ||
    fail "the broken connection went unnoticed"
atspi says "connection to the compositor broke" || fail "the window does not say so"
alive

# Closed, the window no longer breaks the next connection.
sway_session_as swaymsg '[class=^LongTitle$] kill' >/dev/null
wait_for 10 eval '! kill -0 $long' || kill "$long"
wait_for 10 eval '[ "$(tree windows LongTitle)" = 0 ]' || fail "the long-titled xterm stayed"
wait_for 40 grep -q "connected to the Wayland compositor again" "$work/nudgewatch.log" ||
    fail "the program did not connect again"
sway_session_as swaymsg '[app_id=^foot$] focus' >/dev/null
atspi row Foot Active || fail "after connecting again, foot in front does not read \"Active\""
atspi card XTerm || fail "after connecting again, no card for the idle xterm"
atspi press XTerm || fail "could not press the card's Open button"
wait_for 10 focused_is XTerm || fail "Open did not bring xterm to the front: $(tree focused)"
atspi row XTerm Active || fail "xterm in front does not read \"Active\""
alive
echo "PASS: the broken connection was noticed, said, and mended; tracking and Open work again"
