#!/usr/bin/env bash
# The program on a desktop that says how it should look: Xvfb and openbox, a
# private session bus with a mock of the desktop portal's Settings and a
# StatusNotifierItem host, one tracked xterm and a 10-second threshold. The
# portal's colour scheme is switched while the settings window is open: its
# pixels turn dark and back; a larger font makes a larger window. Then,
# through AT-SPI and the tray's D-Bus menu, the reminder is read and ended
# three ways. Everything is stopped by PID.
set -uo pipefail

program=${1:?usage: settings_appearance_e2e_test.sh path/to/nudgewatch}
. "$(dirname "$0")/../../scripts/xvfb-session"
. "$(dirname "$0")/e2e_helper.sh"
out="${NUDGEWATCH_BUILD_DIR:-$(dirname "$program")}/e2e-output/settings_appearance"
rm -rf "$out" && mkdir -p "$out"
e2e_home
export XDG_DATA_DIRS=$work/share:/usr/share XDG_SESSION_TYPE=x11
unset XDG_CURRENT_DESKTOP WAYLAND_DISPLAY QT_QPA_PLATFORMTHEME
mkdir -p "$work/share/icons/hicolor/symbolic/apps"
cp "$e2e_dir/../../resources/icons/hicolor/symbolic/apps/nudgewatch-symbolic.svg" \
    "$work/share/icons/hicolor/symbolic/apps/"
fixture Bravo && track 10 Bravo

xvfb_session_start --displays 110-119 --dbus --logs "$out" || exit 1
# Light to begin with, and GNOME's font name as the portal passes it on: 1.3
# times the default size (10 points where the desktop is not known).
/usr/bin/python3 -u "$e2e_dir/desktop_services_mock.py" 2 "DejaVu Sans 13" >"$work/mock.log" 2>&1 &
adopt $!
wait_for 10 grep -q ready "$work/mock.log" || fail "the desktop services mock did not start"
start_atspi
gdbus wait --session --timeout 5 org.a11y.Bus || fail "the accessibility bus did not start"
xterm -class BravoFixture -geometry 40x5+0+0 &
adopt $!

start_program
wait_for 20 settings_shown || fail "no settings window"
window=$(settings_window)
width=$(xwininfo -id "$window" | sed -n 's/.*Width: *//p')
((width >= 676)) || fail "the window is ${width} pixels wide for a 1.3 times larger font, not 676"

# The mean brightness (0-255) of a 6-pixel square in the window's right margin,
# below the add action: background only, in either appearance.
brightness() {
    local square
    square=$(xwininfo -id "$window" | awk '/Absolute upper-left X/ {x = $NF} /Absolute upper-left Y/ {y = $NF}
        /Width:/ {w = $NF} /Height:/ {h = $NF} END {printf "6x6+%d+%d", x + w - 12, y + int(h * 6 / 10)}') || return 1
    import -window root -crop "$square" -colorspace Gray -format '%[fx:int(255*mean)]' info: 2>/dev/null
}
set_scheme() {
    gdbus call --session --dest org.freedesktop.portal.Desktop --object-path /org/freedesktop/portal/desktop \
        --method org.nudgewatch.TestControl.SetColorScheme "$1" >/dev/null || fail "could not set the scheme"
}
is_light() { (($(brightness) > 200)); }
is_dark() { (($(brightness) < 70)); }

wait_for 10 is_light || fail "the window is not light for a light desktop (brightness $(brightness))"
light=$(brightness)
import -window root "$out/light.png"
set_scheme 1
wait_for 10 is_dark || fail "the window did not turn dark (brightness $(brightness))"
dark=$(brightness)
import -window root "$out/dark.png"
set_scheme 2
wait_for 10 is_light || fail "the window did not turn light again (brightness $(brightness))"
echo "appearance: brightness $light light, $dark dark, $(brightness) light again"

# Bravo's terminal in the background: it idles towards a reminder.
activate "$window" || fail "could not activate the settings window"
/usr/bin/python3 "$e2e_dir/settings_appearance_check.py" "Bravo Fixture" || fail "the reminder check failed"
