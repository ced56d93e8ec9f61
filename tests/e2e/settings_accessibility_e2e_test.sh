#!/usr/bin/env bash
# The settings window and the picker operated with the keyboard and through the
# accessibility bus (AT-SPI) alone, as a keyboard user, a screen reader or a UI
# test tool would, under a real X server, window manager and private session
# bus, in a temporary HOME.
set -uo pipefail

program=${1:?usage: settings_accessibility_e2e_test.sh path/to/nudgewatch}
here=$(cd "$(dirname "$0")" && pwd)
. "$here/../../scripts/xvfb-session"
build_dir=${NUDGEWATCH_BUILD_DIR:-$(dirname "$program")}
out="$build_dir/e2e-output/settings_accessibility"
rm -rf "$out" && mkdir -p "$out"
work=$(mktemp -d /tmp/nudgewatch-a11y.XXXXXX)

# The session stops the programs started in it, then its servers.
cleanup() {
    xvfb_session_stop
    rm -rf "$work"
}
trap cleanup EXIT

/usr/bin/python3 -c "import pyatspi" 2>/dev/null || { echo "python3-pyatspi missing" >&2; exit 1; }
launcher=/usr/libexec/at-spi-bus-launcher
[ -x "$launcher" ] || { echo "at-spi2-core missing" >&2; exit 1; }

export HOME="$work/home" XDG_CONFIG_HOME="$work/home/.config" XDG_DATA_HOME="$work/home/.local/share"
export XDG_CACHE_HOME="$work/home/.cache" XDG_RUNTIME_DIR="$work/run" XDG_DATA_DIRS="$work/share"
mkdir -p "$XDG_DATA_HOME/applications" "$XDG_RUNTIME_DIR" "$work/share"
chmod 700 "$XDG_RUNTIME_DIR"
unset SESSION_MANAGER
for name in Alpha Bravo Charlie; do
    cat >"$XDG_DATA_HOME/applications/fixture-${name,,}.desktop" <<ENTRY
[Desktop Entry]
Type=Application
Name=$name Fixture
Exec=xterm -class ${name}Fixture
ENTRY
done

xvfb_session_start --displays 60-69 --dbus --logs "$out" || exit 1
XDG_DATA_DIRS=/usr/local/share:/usr/share "$launcher" --launch-immediately >/dev/null 2>&1 &
xvfb_session_adopt $!
a11y_bus_up() {
    [[ $(dbus-send --session --print-reply --dest=org.freedesktop.DBus /org/freedesktop/DBus \
        org.freedesktop.DBus.NameHasOwner string:org.a11y.Bus 2>/dev/null) == *"boolean true"* ]]
}
wait_for 5 a11y_bus_up || { echo "the accessibility bus did not start" >&2; exit 1; }

export QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1
"$program" >"$work/nudgewatch.log" 2>&1 &
xvfb_session_adopt $!

/usr/bin/python3 "$here/settings_accessibility_check.py" "$XDG_CONFIG_HOME/Nudgewatch/Nudgewatch.conf" "$out"
rc=$?
import -window root "$out/final.png" 2>/dev/null
if [ "$rc" -ne 0 ]; then
    sed 's/^/  nudgewatch: /' "$work/nudgewatch.log" >&2
fi
exit "$rc"
