#!/usr/bin/env bash
# The settings window and the picker operated with the keyboard and through the
# accessibility bus (AT-SPI) alone, as a keyboard user, a screen reader or a UI
# test tool would, under a real X server, window manager and private session
# bus, in a temporary HOME.
set -uo pipefail

program=${1:?usage: settings_accessibility_e2e_test.sh path/to/nudgewatch}
. "$(dirname "$0")/../../scripts/xvfb-session"
. "$(dirname "$0")/e2e_helper.sh"
out="${NUDGEWATCH_BUILD_DIR:-$(dirname "$program")}/e2e-output/settings_accessibility"
rm -rf "$out" && mkdir -p "$out"
e2e_home
fixture Alpha && fixture Bravo && fixture Charlie

xvfb_session_start --displays 60-69 --dbus --logs "$out" || exit 1
start_atspi
start_program
/usr/bin/python3 "$e2e_dir/settings_accessibility_check.py" "$settings" || fail "the keyboard and AT-SPI check failed"
import -window root "$out/final.png"
