#!/usr/bin/env bash
# The whole program and a locked screen: Xvfb and openbox, python3-dbusmock's
# logind on a private system bus, two tracked xterms, a 2-second threshold and
# Alpha in front. Bravo is reminded of; locking the session hides the card, no
# card comes for three thresholds, the window says the screen is locked and
# Bravo's idle clock stands still. Unlocking leaves the time away out of that
# clock: the idle time from before the lock still counts, so one card, for
# Bravo, comes back at once, not a backlog of it. Everything is stopped by PID.
set -uo pipefail

program=${1:?usage: app_presence_e2e_test.sh path/to/nudgewatch}
. "$(dirname "$0")/../../scripts/xvfb-session"
. "$(dirname "$0")/e2e_helper.sh"
e2e_home
export XDG_SESSION_TYPE=x11
unset XDG_CURRENT_DESKTOP WAYLAND_DISPLAY
fixture Alpha && fixture Bravo && track 2 Alpha Bravo

xvfb_session_start --displays 80-89 --dbus || exit 1
private_bus system
mock_logind
start_atspi
window_of bravo BravoFixture xterm -class BravoFixture -geometry 60x10
activate "$bravo"
window_of alpha AlphaFixture xterm -class AlphaFixture -geometry 60x10
activate "$alpha"
start_program
# showing PATTERN: the texts the program shows, once one matches (it may take a while under load).
showing() { atspi texts "$1" || fail "nothing shown matches \"$1\""; }
bravo_idle() { showing '^[0-9]+s idle$' | sed -n 's/^\([0-9]*\)s idle$/\1/p' | head -n1; }

wait_for 20 settings_shown || fail "no settings window"
activate "$alpha"
grep -q "^nudgewatch: presence sources: .*logind" "$work/nudgewatch.log" || fail "logind is not a presence source"
wait_for 20 card_down || fail "no card for Bravo"
showing '^card: Bravo Fixture$' >/dev/null

lock_hint true
wait_for 10 eval '! card_down' || fail "the card stayed down after the lock"
showing "locked" | grep -x "Reminders are paused while the screen is locked" >/dev/null ||
    fail "the window does not say reminders are held for the lock"
for ((i = 0; i < 35; i++)); do # 7 s, more than three thresholds
    card_down && fail "a card came while the screen was locked"
    ((i == 10)) && held=$(bravo_idle) # read once a tick has counted with the lock
    sleep 0.2
done
[ -n "$held" ] && [ "$(bravo_idle)" = "$held" ] || fail "Bravo's idle clock moved on while locked from ${held}s"

unlocked=$(date +%s%3N)
lock_hint false
idle=$(bravo_idle)
((${idle:-999} * 1000 <= (held + 1) * 1000 + $(date +%s%3N) - unlocked)) ||
    fail "Bravo reads ${idle}s idle after unlocking, ${held}s at the lock"
wait_for 10 card_down || fail "no card after unlocking"
showing '^card: Bravo Fixture$' >/dev/null
for ((i = 0; i < 20; i++)); do # one card, left down: not several one after another
    wait_for 1 card_down || fail "the card after unlocking went away within 4 s" # xwininfo may miss once
    sleep 0.2
done
echo "PASS: held ${held}s idle while locked, ${idle}s right after unlocking, then one card"
