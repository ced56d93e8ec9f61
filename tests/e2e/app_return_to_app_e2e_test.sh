#!/usr/bin/env bash
# Coming back to the application in front before the settings window was used:
# with Alpha in front the program starts, its settings window takes the focus
# (an activation of the program itself, so Alpha idles and is reminded about),
# Bravo is removed with the keyboard (the list is rebuilt), and Alpha is
# activated again. Alpha must then read "Active" and no card may drop for it.
set -uo pipefail

program=${1:?usage: app_return_to_app_e2e_test.sh path/to/nudgewatch}
here=$(cd "$(dirname "$0")" && pwd)
. "$here/../../scripts/xvfb-session"
work=$(mktemp -d /tmp/nudgewatch-return.XXXXXX)
cleanup() {
    xvfb_session_stop
    rm -rf "$work"
}
trap cleanup EXIT
fail() {
    echo "FAIL: $*" >&2
    sed 's/^/  nudgewatch: /' "$work/nudgewatch.log" >&2
    exit 1
}

export HOME="$work/home" XDG_CONFIG_HOME="$work/home/.config" XDG_DATA_HOME="$work/home/.local/share"
export XDG_RUNTIME_DIR="$work/run" XDG_DATA_DIRS="$work/share"
apps="$XDG_DATA_HOME/applications"
mkdir -p "$XDG_CONFIG_HOME/Nudgewatch" "$apps" "$XDG_RUNTIME_DIR" "$work/share"
chmod 700 "$XDG_RUNTIME_DIR"
unset SESSION_MANAGER
for name in Alpha Bravo; do
    printf '[Desktop Entry]\nType=Application\nName=%s Fixture\nExec=xterm -class %sFixture\nStartupWMClass=%sFixture\n' \
        "$name" "$name" "$name" >"$apps/fixture-${name,,}.desktop"
done
settings="$XDG_CONFIG_HOME/Nudgewatch/Nudgewatch.conf"
printf '[General]\nNudgewatch.trackedAppPaths=%s, %s\nNudgewatch.idleThreshold=2\n' \
    "$apps/fixture-alpha.desktop" "$apps/fixture-bravo.desktop" >"$settings"

xvfb_session_start --displays 70-79 --dbus || exit 1
XDG_DATA_DIRS=/usr/share /usr/libexec/at-spi-bus-launcher --launch-immediately >/dev/null 2>&1 &
xvfb_session_adopt $!
for name in Alpha Bravo; do
    xterm -class "${name}Fixture" -geometry 60x10 &
    xvfb_session_adopt $!
done
alpha=$(timeout 10 xdotool search --sync --onlyvisible --class AlphaFixture | head -n1)
[ -n "$alpha" ] || fail "no Alpha window"
timeout 10 xdotool windowactivate --sync "$alpha"

QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1 "$program" >"$work/nudgewatch.log" 2>&1 &
xvfb_session_adopt $!
settings_window() { xdotool search --onlyvisible --name '^Nudgewatch$' 2>/dev/null | head -n1; }
settings_in_front() { [ -n "$(settings_window)" ] && [ "$(xdotool getactivewindow)" = "$(settings_window)" ]; }
card_down() { xwininfo -name "Nudgewatch reminder" 2>/dev/null | grep -q IsViewable; }
wait_for 10 settings_in_front || fail "the settings window did not come to the front"
wait_for 6 card_down || fail "Alpha was not reminded about while the settings window was in front"

# Slider, Alpha's open and remove buttons, Bravo's open and remove buttons.
xdotool key --clearmodifiers Tab Tab Tab Tab space
bravo_gone() { ! grep -q fixture-bravo "$settings"; }
wait_for 5 bravo_gone || fail "Bravo was not removed: $(cat "$settings")"

timeout 10 xdotool windowactivate --sync "$alpha"
card_gone() { ! card_down; }
wait_for 3 card_gone || fail "activating Alpha did not dismiss its reminder"
sleep 4 # twice the threshold
card_down && fail "a card dropped for Alpha while it was in front"
/usr/bin/python3 - <<'PY' || fail "Alpha's row does not read \"Active\""
import sys, pyatspi
def walk(node):
    yield node
    for i in range(node.childCount):
        child = node.getChildAtIndex(i)
        if child is not None:
            yield from walk(child)
app = next(a for a in pyatspi.Registry.getDesktop(0) if a is not None and a.name.lower() == "nudgewatch")
texts = [n.name for n in walk(app) if n.getRole() == pyatspi.ROLE_LABEL
         and n.getState().contains(pyatspi.STATE_SHOWING)]
sys.exit(0 if "Alpha Fixture" in texts and "Active" in texts else 1)
PY
echo "PASS"
