#!/usr/bin/env bash
# The tray icon at login, when the panel comes after the program: started with
# no tray at all, the icon goes to an XEmbed tray (trayer) that appears later
# and comes back when that tray restarts; in a second session it registers
# with a StatusNotifierWatcher that appears later, and again with the watcher
# of a restarted panel.
set -uo pipefail

program=${1:?usage: app_tray_e2e_test.sh path/to/nudgewatch}
. "$(dirname "$0")/../../scripts/xvfb-session"
. "$(dirname "$0")/e2e_helper.sh"
e2e_home

xvfb_session_start --displays 80-89 --dbus || exit 1
start_program --autostart
sleep 2 # the program settled with no tray anywhere
# The icon's window inside the tray's: trayer reparents the icons it embeds.
embedded() { xwininfo -tree -id "$1" 2>/dev/null | grep -qi '"nudgewatch"'; }
for round in first restarted; do
    window_of tray trayer trayer --edge bottom --SetDockType true --height 24
    wait_for 10 embedded "$tray" || fail "no icon in the $round XEmbed tray: $(xwininfo -root -tree)"
    kill "$(xprop -id "$tray" _NET_WM_PID | awk '{print $NF}')"
    wait_for 10 eval '! xwininfo -id "$tray" >/dev/null 2>&1' || fail "trayer did not end"
done
kill "$main_pid" && quits SIGTERM

start_program --autostart
sleep 2
for round in first restarted; do
    /usr/bin/python3 "$(dirname "$0")/sni_watcher.py" >"$work/watcher.log" 2>&1 &
    watcher=$!
    adopt "$watcher"
    wait_for 10 grep -q '^item' "$work/watcher.log" || fail "the icon did not register with the $round watcher"
    kill "$watcher"
done
grep -q 'D-Bus error' "$work/nudgewatch.log" && fail "the tray met D-Bus errors"
echo "PASS: the icon went to a late XEmbed tray and a late StatusNotifierWatcher, and came back after their restarts"
