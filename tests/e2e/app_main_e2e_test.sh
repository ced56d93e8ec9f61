#!/usr/bin/env bash
# The whole program under a real X server and window manager, in a temporary
# HOME, with two tracked xterms and a 2-second threshold:
#  - with Bravo in front (Alpha used before it) the program starts and its
#    settings window takes the focus: the program itself is in front, so Alpha,
#    idle the longest, is reminded of, and activating it ends the reminder;
#  - back in the settings window Bravo is removed with the keyboard, which
#    rebuilds the list; returning to Alpha makes it "Active" and no card drops;
#  - when the X server goes away the program quits by itself, without a crash
#    and without touching the settings file.
set -uo pipefail

program=${1:?usage: app_main_e2e_test.sh path/to/nudgewatch}
. "$(dirname "$0")/../../scripts/xvfb-session"
. "$(dirname "$0")/e2e_helper.sh"
e2e_home
fixture Alpha && fixture Bravo && track 2 Alpha Bravo

xvfb_session_start --displays 60-69 --dbus || exit 1
start_atspi
window_of alpha AlphaFixture xterm -class AlphaFixture -geometry 60x10
window_of bravo BravoFixture xterm -class BravoFixture -geometry 60x10
activate "$alpha" && activate "$bravo"

start_program
settings_in_front() { settings_shown && [ "$(xdotool getactivewindow)" = "$(settings_window)" ]; }
wait_for 10 settings_in_front || fail "the settings window did not come to the front"
grep -q "tracking is unavailable" "$work/nudgewatch.log" && fail "X11 tracking reported unavailable"
wait_for 6 card_down || fail "Alpha was not reminded of while the settings window was in front"

activate "$alpha"
wait_for 5 eval "! card_down" || fail "activating Alpha did not dismiss its reminder"

# Slider, Alpha's open and remove buttons, Bravo's open and remove buttons. Alpha
# may be reminded of again meanwhile: the return to it ends that reminder too.
activate "$(settings_window)"
xdotool key --clearmodifiers Tab Tab Tab Tab space
wait_for 5 eval '! grep -q fixture-bravo "$settings"' || fail "Bravo was not removed: $(cat "$settings")"
activate "$alpha"
wait_for 5 eval "! card_down" || fail "returning to Alpha after the rebuild left a reminder showing"
sleep 4 # twice the threshold
card_down && fail "a card dropped for Alpha while it was in front"
atspi --wait 10 row "Alpha Fixture" Active ||
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
    activate "$bravo" && activate "$alpha"
    sleep 0.5
    has_exited "$main_pid" && fail "a window's WM_CLASS of $size bytes ended the program"
done

before=$(sha256sum "$settings")
xvfb_session_kill_server
quits "the loss of its X server" 128 # not killed by a signal
[ "$(sha256sum "$settings")" = "$before" ] || fail "the settings file changed"
echo "PASS: back to Alpha after the settings window; hostile window properties; exit $status without X"
