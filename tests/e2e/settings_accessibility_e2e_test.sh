#!/usr/bin/env bash
# The settings window and the picker operated with the keyboard and through the
# accessibility bus (AT-SPI) alone, as a keyboard user, a screen reader or a UI
# test tool would, under a real X server, window manager and private session
# bus, in a temporary HOME.
set -uo pipefail

program=${1:?usage: settings_accessibility_e2e_test.sh path/to/nudgewatch}
here=$(cd "$(dirname "$0")" && pwd)
. "$here/../../scripts/xvfb-session"
out="${NUDGEWATCH_BUILD_DIR:-$(dirname "$program")}/e2e-output/settings_accessibility"
rm -rf "$out" && mkdir -p "$out"
work=$(mktemp -d /tmp/nudgewatch-a11y.XXXXXX)
# The session stops the programs started in it, then its servers.
trap 'xvfb_session_stop; rm -rf "$work"' EXIT

export HOME="$work/home" XDG_CONFIG_HOME="$work/home/.config" XDG_DATA_HOME="$work/home/.local/share"
export XDG_CACHE_HOME="$work/home/.cache" XDG_RUNTIME_DIR="$work/run" XDG_DATA_DIRS="$work/share"
mkdir -p "$XDG_DATA_HOME/applications" "$XDG_RUNTIME_DIR" "$work/share"
chmod 700 "$XDG_RUNTIME_DIR"
unset SESSION_MANAGER
for name in Alpha Bravo Charlie; do
    printf '[Desktop Entry]\nType=Application\nName=%s Fixture\nExec=xterm -class %sFixture\n' \
        "$name" "$name" >"$XDG_DATA_HOME/applications/fixture-${name,,}.desktop"
done

xvfb_session_start --displays 60-69 --dbus --logs "$out" || exit 1
XDG_DATA_DIRS=/usr/local/share:/usr/share /usr/libexec/at-spi-bus-launcher --launch-immediately \
    >/dev/null 2>&1 &
xvfb_session_adopt $!
gdbus wait --session --timeout 5 org.a11y.Bus || { echo "the accessibility bus did not start" >&2; exit 1; }

QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1 "$program" >"$work/nudgewatch.log" 2>&1 &
xvfb_session_adopt $!
/usr/bin/python3 "$here/settings_accessibility_check.py" "$XDG_CONFIG_HOME/Nudgewatch/Nudgewatch.conf"
rc=$?
import -window root "$out/final.png" 2>/dev/null
[ "$rc" -eq 0 ] || sed 's/^/  nudgewatch: /' "$work/nudgewatch.log" >&2
exit "$rc"
