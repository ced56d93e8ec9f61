#!/usr/bin/env bash
# The whole program under a real X server and window manager, in a temporary
# HOME, with two tracked xterms and a 2-second threshold:
#  - with Bravo in front (Alpha used before it) the program starts and its
#    settings window takes the focus: the program itself is in front, so Alpha,
#    idle the longest, is reminded of, and activating it ends the reminder;
#  - back in the settings window Bravo is removed with the keyboard, which
#    rebuilds the list; returning to Alpha makes it "Active" and no card drops;
#  - closing the settings window keeps the program running, a second launch
#    brings the window back and ends;
#  - when the X server goes away the program quits by itself, without a crash
#    and without touching the settings file.
set -uo pipefail

program=${1:?usage: app_main_e2e_test.sh path/to/nudgewatch}
. "$(dirname "$0")/../../scripts/xvfb-session"
work=$(mktemp -d /tmp/nudgewatch-e2e.XXXXXX)
trap 'xvfb_session_stop; rm -rf "$work"' EXIT
fail() {
    echo "FAIL: $*" >&2
    sed 's/^/  nudgewatch: /' "$work/nudgewatch.log" >&2
    exit 1
}

export HOME="$work/home" XDG_CONFIG_HOME="$work/home/.config" XDG_DATA_HOME="$work/home/.local/share"
export XDG_CACHE_HOME="$work/home/.cache" XDG_RUNTIME_DIR="$work/run" XDG_DATA_DIRS="$work/share"
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

# In the sanitizer build this run is for memory errors; leaks at the exit of the
# whole program are the desktop libraries' own (the unit tests check ours).
export ASAN_OPTIONS="${ASAN_OPTIONS:+$ASAN_OPTIONS:}detect_leaks=0"
xvfb_session_start --displays 60-69 --dbus || exit 1
XDG_DATA_DIRS=/usr/share /usr/libexec/at-spi-bus-launcher --launch-immediately >/dev/null 2>&1 &
xvfb_session_adopt $!
for name in Alpha Bravo; do
    xterm -class "${name}Fixture" -geometry 60x10 &
    xvfb_session_adopt $!
done
alpha=$(timeout 10 xdotool search --sync --onlyvisible --class AlphaFixture | head -n1)
bravo=$(timeout 10 xdotool search --sync --onlyvisible --class BravoFixture | head -n1)
[ -n "$alpha" ] && [ -n "$bravo" ] || fail "fixture windows missing"
timeout 10 xdotool windowactivate --sync "$alpha"
timeout 10 xdotool windowactivate --sync "$bravo"

QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1 "$program" >"$work/nudgewatch.log" 2>&1 &
main_pid=$!
xvfb_session_adopt "$main_pid"
settings_window() { xdotool search --onlyvisible --name '^Nudgewatch$' 2>/dev/null | head -n1; }
settings_shown() { [ -n "$(settings_window)" ]; }
settings_in_front() { settings_shown && [ "$(xdotool getactivewindow)" = "$(settings_window)" ]; }
card_down() { xwininfo -name "Nudgewatch reminder" 2>/dev/null | grep -q IsViewable; }
has_exited() { ! kill -0 "$1" 2>/dev/null; }
wait_for 10 settings_in_front || fail "the settings window did not come to the front"
grep -q "tracking is unavailable" "$work/nudgewatch.log" && fail "X11 tracking reported unavailable"
grep -q "^nudgewatch: presence sources: " "$work/nudgewatch.log" || fail "presence sources not listed"
wait_for 6 card_down || fail "Alpha was not reminded of while the settings window was in front"

timeout 10 xdotool windowactivate --sync "$alpha"
wait_for 5 eval "! card_down" || fail "activating Alpha did not dismiss its reminder"

# Slider, Alpha's open and remove buttons, Bravo's open and remove buttons. Alpha
# may be reminded of again meanwhile: the return to it ends that reminder too.
timeout 10 xdotool windowactivate --sync "$(settings_window)"
xdotool key --clearmodifiers Tab Tab Tab Tab space
wait_for 5 eval '! grep -q fixture-bravo "$settings"' || fail "Bravo was not removed: $(cat "$settings")"
timeout 10 xdotool windowactivate --sync "$alpha"
wait_for 5 eval "! card_down" || fail "returning to Alpha after the rebuild left a reminder showing"
sleep 4 # twice the threshold
card_down && fail "a card dropped for Alpha while it was in front"
/usr/bin/python3 "$(dirname "$0")/atspi_helper.py" --wait 10 row "Alpha Fixture" Active ||
    fail "Alpha's row does not read \"Active\""

# What any X client may set on its window: names longer than the program reads
# and without their NULs, process IDs that cannot be, an application ID of 1 MiB.
for size in 8191 1048576; do
    /usr/bin/python3 - "$bravo" "$size" <<'PY' || fail "could not set the properties"
import ctypes, sys
x = ctypes.cdll.LoadLibrary("libX11.so.6")
x.XOpenDisplay.restype = ctypes.c_void_p
x.XInternAtom.restype = ctypes.c_ulong
x.XInternAtom.argtypes = [ctypes.c_void_p, ctypes.c_char_p, ctypes.c_int]
x.XChangeProperty.argtypes = [ctypes.c_void_p, ctypes.c_ulong, ctypes.c_ulong, ctypes.c_ulong,
                              ctypes.c_int, ctypes.c_int, ctypes.c_void_p, ctypes.c_int]
display, window, size = x.XOpenDisplay(None), int(sys.argv[1]), int(sys.argv[2])
atom = lambda name: x.XInternAtom(display, name.encode(), 0)
def put(name, kind, data, format=8):
    x.XChangeProperty(display, window, atom(name), atom(kind), format, 0, data, len(data))
put("WM_CLASS", "STRING", b"x" * size)
put("_GTK_APPLICATION_ID", "UTF8_STRING", b"y" * size)
put("_NET_WM_PID", "CARDINAL", (ctypes.c_long * 1)(0xFFFFFFFF), 32)
x.XSync(display, 0)
PY
    timeout 10 xdotool windowactivate --sync "$bravo" && timeout 10 xdotool windowactivate --sync "$alpha"
    sleep 0.5
    has_exited "$main_pid" && fail "a window's WM_CLASS of $size bytes ended the program"
done

timeout 10 xdotool windowactivate --sync "$(settings_window)"
xdotool key --clearmodifiers alt+F4
wait_for 3 eval "! settings_shown" || fail "the settings window did not close"
sleep 1
has_exited "$main_pid" && fail "closing the window ended the program"
"$program" >"$work/second.log" 2>&1 &
second=$!
wait_for 5 has_exited "$second" && wait "$second" || fail "the second launch kept running or failed"
wait_for 5 settings_shown || fail "the second launch did not show the window"

before=$(sha256sum "$settings")
xvfb_session_kill_server
wait_for 10 has_exited "$main_pid" || fail "the program kept running without its X server"
wait "$main_pid"
status=$?
[ "$status" -lt 128 ] || fail "the program died from signal $((status - 128))"
[ "$(sha256sum "$settings")" = "$before" ] || fail "the settings file changed"
echo "PASS: back to Alpha after the settings window; window closed and brought back; exit $status without X"
