#!/usr/bin/env bash
# The card on the monitor the user works on, below the panel at its top: an
# X screen split by xrandr into two monitors side by side, a 64-pixel dock with
# a strut along the top (trayer). The card drops at the top centre of the
# monitor holding the window in front, its drawn part (38 pixels below its
# top) under the dock; with that window moved to the other monitor the next
# card drops there; with the monitors joined into one, on the whole screen.
set -uo pipefail

program=${1:?usage: app_monitor_e2e_test.sh path/to/nudgewatch}
. "$(dirname "$0")/../../scripts/xvfb-session"
. "$(dirname "$0")/e2e_helper.sh"
e2e_home
fixture Alpha && track 2 Alpha

xvfb_session_start --displays 80-89 --screen 2560x800x24 --dbus || exit 1
# The left monitor takes the screen's one output; the right one has none.
xrandr --setmonitor M0 1280/338x800/211+0+0 screen && xrandr --setmonitor M1 1280/338x800/211+1280+0 none || exit 1
window_of dock trayer trayer --edge top --height 64 --widthtype request --SetDockType true --SetPartialStrut true
wait_for 10 eval 'xprop -root _NET_WORKAREA | grep -q "= 0, 64,"' || fail "no work area below the dock: $(xprop -root _NET_WORKAREA)"
window_of alpha AlphaFixture xterm -class AlphaFixture -geometry 60x10+0+300
window_of other OtherWindow xev -name OtherWindow -geometry 300x200+1700+300
activate "$other"
start_program --autostart

# card_at X Y: the card drops with its top-left corner there.
card_at() {
    wait_for 10 card_down || fail "no card for idle Alpha (expected at $1,$2)"
    local at
    at=$(xwininfo -name "Nudgewatch reminder" | awk '/upper-left X/ {x = $4} /upper-left Y/ {y = $4} END {print x "," y}')
    [ "$at" = "$1,$2" ] || fail "the card is at $at, not $1,$2"
    activate "$alpha" && wait_for 10 eval '! card_down' || fail "Alpha in front left its card"
    activate "$other"
}
card_at 1760 26
xdotool windowmove --sync "$other" 200 300
card_at 480 26
xrandr --delmonitor M1 && xrandr --delmonitor M0
card_at 1120 26
echo "PASS: the card dropped on the monitor in front, below the dock, and on the screen left when monitors went"
