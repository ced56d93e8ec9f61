#!/usr/bin/env bash
# The program's comings and goings under a real X server, window manager and
# session bus, in a temporary HOME, tracking an idle xterm with a 2-second threshold:
#  - started by its autostart entry's command line it shows no window, yet
#    reminds; restored by a session manager ("-session ID") neither; the
#    time it was stopped (SIGSTOP) is not counted as idle; a launch by the user then shows the window and ends with status 0;
#  - with every window minimised nothing is in front, and Alpha, in front
#    before, is reminded of once idle;
#  - two close requests for the settings window while the program is busy
#    close it once, and the program goes on; a window destroyed under the
#    program (xdotool windowclose) counts as closed, and comes back at the
#    next launch;
#  - SIGTERM, SIGINT and SIGHUP each end it as Quit does: exit status 0, its
#    bus name released, so the next start is a first instance again.
set -uo pipefail

program=${1:?usage: app_lifecycle_e2e_test.sh path/to/nudgewatch}
. "$(dirname "$0")/../../scripts/xvfb-session"
. "$(dirname "$0")/e2e_helper.sh"
e2e_home
fixture Alpha && track 2 Alpha

xvfb_session_start --displays 80-89 --dbus || exit 1
window_of alpha AlphaFixture xterm -class AlphaFixture -geometry 60x10+0+300
# Another program in front (not xterm: its windows would be Alpha's by executable).
window_of other OtherWindow xev -name OtherWindow -geometry 300x200+600+300
activate "$other"

name_owned() { gdbus call -e -d org.freedesktop.DBus -o /org/freedesktop/DBus \
    -m org.freedesktop.DBus.NameHasOwner org.nudgewatch.Nudgewatch | grep -q true; }
started() { start_program "$@" && wait_for 10 name_owned || fail "the program did not take its bus name"; }

# As at login: the command line of the autostart entry the tray writes.
started --autostart
wait_for 6 card_down || fail "started at login, it did not remind of idle Alpha"
settings_shown && fail "started at login, it opened its window"
[ "$(xdotool getactivewindow)" = "$other" ] || fail "started at login, it took the focus"
# Nothing in front: with every window minimised, Alpha, in front before, is idle.
activate "$alpha"
wait_for 5 eval '! card_down' || fail "activating Alpha did not end its reminder"
sleep 3 # past the threshold
card_down && fail "Alpha in front was reminded of"
xdotool windowminimize "$other"
xdotool windowminimize "$alpha"
wait_for 10 eval '[ "$(x_active)" = 0x0 ]' || fail "something is still in front: $(x_active)"
wait_for 6 card_down || fail "with every window minimised Alpha stayed in use"

"$program" >"$work/user.log" 2>&1 &
ended $! && [ "$status" = 0 ] || fail "the second launch kept running or failed"
wait_for 5 settings_shown || fail "a launch by the user did not show the window"

# Two close requests while the program cannot answer, then both at once.
window=$(settings_window)
kill -STOP "$main_pid"
wmctrl -i -c "$window"
sleep 0.15
wmctrl -i -c "$window"
kill -CONT "$main_pid"
wait_for 5 eval '! settings_shown' || fail "the settings window did not close"
sleep 1
has_exited "$main_pid" && fail "two close requests ended the program"
"$program" >"$work/again.log" 2>&1 &
wait_for 5 settings_shown || fail "the window did not come back after the double close"
xdotool windowclose "$(settings_window)"
wait_for 5 eval '! settings_shown' || fail "the destroyed settings window is still listed"
"$program" >"$work/destroyed.log" 2>&1 &
wait_for 5 settings_shown || fail "the window did not come back after it was destroyed"

for signal in TERM INT HUP; do
    kill "-$signal" "$main_pid"
    quits "SIG$signal"
    name_owned && fail "the bus name outlived the program after SIG$signal"
    [ "$signal" = HUP ] && break
    started
    wait_for 5 settings_shown || fail "the program started after SIG$signal is not the first instance"
done
# Restored by a session manager at login: as quiet as from the autostart entry.
started -session 10b7e0c2a5f1d4000168000000000001
sleep 2
settings_shown && fail "restored by the session manager, it opened its window"
# Stopped for 35 s (a debugger, a paused machine) with a 10-second threshold:
# the stop does not count as idle time, so no card comes at once.
kill "$main_pid" && quits SIGTERM
track 10 Alpha && started --autostart
sleep 3 && kill -STOP "$main_pid" && sleep 35 && kill -CONT "$main_pid"
sleep 3
card_down && fail "the 35 s the program was stopped counted as idle"
wait_for 10 card_down || fail "no reminder once Alpha was idle for 10 s after the stop"
echo "PASS: quiet at login and when restored, shown for the user; double close and destroyed window survived; SIGTERM, SIGINT, SIGHUP end as Quit"
