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
work=$(mktemp -d /tmp/nudgewatch-lock.XXXXXX)
trap 'xvfb_session_stop; rm -rf "$work"' EXIT
fail() { echo "FAIL: $*" >&2; sed 's/^/  nudgewatch: /' "$work/nudgewatch.log" >&2; exit 1; }

export HOME=$work XDG_CONFIG_HOME=$work/config XDG_DATA_HOME=$work/data XDG_RUNTIME_DIR=$work/run
export XDG_DATA_DIRS=$work/share XDG_SESSION_ID=c1 XDG_SESSION_TYPE=x11
unset XDG_CURRENT_DESKTOP WAYLAND_DISPLAY SESSION_MANAGER
mkdir -p -m 700 "$XDG_CONFIG_HOME/Nudgewatch" "$XDG_DATA_HOME/applications" "$work/share" "$XDG_RUNTIME_DIR"
for name in Alpha Bravo; do
    printf '[Desktop Entry]\nType=Application\nName=%s Fixture\nExec=xterm\nStartupWMClass=%sFixture\n' \
        "$name" "$name" >"$XDG_DATA_HOME/applications/${name,,}.desktop"
done
printf '[General]\nNudgewatch.trackedAppPaths=%s/applications/alpha.desktop, %s/applications/bravo.desktop
Nudgewatch.idleThreshold=2\n' "$XDG_DATA_HOME" "$XDG_DATA_HOME" >"$XDG_CONFIG_HOME/Nudgewatch/Nudgewatch.conf"

xvfb_session_start --displays 80-89 --dbus || exit 1
printf '<busconfig><type>system</type><listen>unix:dir=%s</listen><policy context="default">%s</policy></busconfig>' \
    "$work" '<allow send_destination="*"/><allow receive_sender="*"/><allow own="*"/>' >"$work/system.conf"
dbus-daemon --nofork --config-file="$work/system.conf" --print-address=3 3>"$work/system.address" \
    >"$work/system.log" 2>&1 & xvfb_session_adopt $!
wait_for 10 test -s "$work/system.address" || fail "the system bus did not start"
export DBUS_SYSTEM_BUS_ADDRESS=$(head -n 1 "$work/system.address")
/usr/bin/python3 -m dbusmock --system --template logind >"$work/logind.log" 2>&1 & xvfb_session_adopt $!
login1() { dbus-send --system --reply-timeout=5000 --print-reply --dest=org.freedesktop.login1 "$@"; }
wait_for 20 login1 /org/freedesktop/login1 org.freedesktop.DBus.Mock.AddSession string:c1 string:seat0 \
    "uint32:$(id -u)" string:user boolean:true || fail "no session in mock logind"
lock() { login1 /org/freedesktop/login1/session/c1 org.freedesktop.login1.Session.SetLockedHint \
    "boolean:$1" >/dev/null || fail "SetLockedHint($1) failed"; }

XDG_DATA_DIRS=/usr/share /usr/libexec/at-spi-bus-launcher --launch-immediately &>/dev/null & xvfb_session_adopt $!
for name in Bravo Alpha; do
    xterm -class "${name}Fixture" -geometry 60x10 & xvfb_session_adopt $!
    window=$(timeout 10 xdotool search --sync --onlyvisible --class "${name}Fixture" | head -n1)
    timeout 10 xdotool windowactivate --sync "$window" || fail "no $name window"
done
alpha=$window
QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1 "$program" >"$work/nudgewatch.log" 2>&1 & xvfb_session_adopt $!
card_down() { xwininfo -name "Nudgewatch reminder" 2>/dev/null | grep -q IsViewable; }
# showing PATTERN: the texts the program shows, once one matches (it may take a while under load).
showing() { /usr/bin/python3 "$(dirname "$0")/atspi_helper.py" texts "$1" || fail "nothing shown matches \"$1\""; }
bravo_idle() { showing '^[0-9]+s idle$' | sed -n 's/^\([0-9]*\)s idle$/\1/p' | head -n1; }

wait_for 20 eval '[ -n "$(xdotool search --onlyvisible --name "^Nudgewatch$")" ]' || fail "no settings window"
timeout 10 xdotool windowactivate --sync "$alpha"
grep -q "^nudgewatch: presence sources: .*logind" "$work/nudgewatch.log" || fail "logind is not a presence source"
wait_for 20 card_down || fail "no card for Bravo"
showing '^card: Bravo Fixture$' >/dev/null

lock true
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
lock false
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
