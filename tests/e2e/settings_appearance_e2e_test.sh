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
# The program's icons where an installation puts them.
export XDG_DATA_DIRS=$work/share:$e2e_dir/../../resources:/usr/share XDG_SESSION_TYPE=x11
unset XDG_CURRENT_DESKTOP WAYLAND_DISPLAY QT_QPA_PLATFORMTHEME
fixture Bravo && track 10 Bravo

xvfb_session_start --displays 110-119 --dbus --logs "$out" || exit 1
# The desktop portal's Settings and a panel's StatusNotifierWatcher with its
# host, so the tray's icon and menu are exported over D-Bus.
P=org.freedesktop.portal A=org.freedesktop.appearance
portal() { mock_call session $P.Desktop /org/freedesktop/portal/desktop "$@" >/dev/null; }
mock_object $P.Desktop /org/freedesktop/portal/desktop $P.Settings
/usr/bin/python3 "$e2e_dir/sni_watcher.py" >"$work/watcher.log" 2>&1 &
adopt $!
gdbus wait --session --timeout 20 org.kde.StatusNotifierWatcher || fail "no StatusNotifierWatcher"
# Light to begin with, and GNOME's font name as the portal passes it on: 1.3
# times the default size (10 points where the desktop is not known). The values
# are kept as properties named by their group; Read answers as the first version
# of the interface does, with the value in a second variant.
portal AddProperty $A color-scheme "<uint32 2>"
portal AddProperty org.gnome.desktop.interface font-name "<'DejaVu Sans 13'>"
portal AddMethod $P.Settings Read ss v 'v = self.props[args[0]][args[1]]; ret = type(v)(v, variant_level=2)'
set_scheme() {
    portal UpdateProperties $A "{'color-scheme': <uint32 $1>}"
    portal EmitSignal $P.Settings SettingChanged ssv "[<'$A'>, <'color-scheme'>, <uint32 $1>]"
}
start_atspi
window_of bravo BravoFixture xterm -class BravoFixture -geometry 40x5+0+0

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

# The portal's scheme (light to begin with), and the brightness the window follows it with.
for step in "2 >200 light" "1 <70 dark" "2 >200 light-again"; do
    read -r scheme bound name <<<"$step"
    set_scheme "$scheme"
    wait_for 10 eval '(($(brightness) $bound))' || fail "the window is not $name (brightness $(brightness))"
    import -window root "$out/$name.png"
    seen+="$name $(brightness), "
done
echo "appearance: brightness ${seen%, }"

# Bravo's terminal in the background: it idles towards a reminder.
activate "$window" || fail "could not activate the settings window"
/usr/bin/python3 "$e2e_dir/settings_appearance_check.py" "Bravo Fixture" || fail "the reminder check failed"
