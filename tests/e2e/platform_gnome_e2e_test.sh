#!/usr/bin/env bash
# The whole program on GNOME Shell (headless, Wayland, Xwayland for the
# program's windows), in a temporary HOME, tracking foot (a Wayland window) and
# xterm (an X11 one) with a 3-second threshold:
#  - the program's setup installs and enables its Shell extension, which the
#    user had turned off, then says tracking starts at the next login; the
#    shell started afterwards loads it;
#  - the extension answers only the owner of the program's bus name: another
#    process is refused and does not hear focus changes;
#  - started as at login (no window), with foot in front (through the
#    extension's Activate, called as the program), foot gets no card and
#    xterm, idle, is reminded of at the top centre of foot's monitor by an
#    override-redirect card;
#  - the extension blurs what lies behind a window of the process that holds
#    the program's bus name, inside the window's outline only, and not once the
#    outline is empty or the window gone; nobody else's window;
#  - the card has what lies behind it blurred (a fine checkerboard looks flat
#    through it), and the blur goes with the card;
#  - xterm, moved to the second monitor and brought to the front with xdotool,
#    ends that reminder; foot, idle now, gets one at the top of that monitor,
#    held while xterm is fullscreen.
# The shell runs with a private system bus, as a login would give it.
set -uo pipefail

program=${1:?usage: platform_gnome_e2e_test.sh path/to/nudgewatch path/to/platform_gnome_setup}
setup=${2:?usage: platform_gnome_e2e_test.sh path/to/nudgewatch path/to/platform_gnome_setup}
# No X session: its wait_for, and its list of processes to stop.
. "$(dirname "$0")/../../scripts/xvfb-session"
. "$(dirname "$0")/e2e_helper.sh"
e2e_logs+=("$work/shell.log")
e2e_home # for the session below, whose environment is set in full
track 3 /usr/share/applications/foot.desktop /usr/share/applications/debian-xterm.desktop
private_bus system
# Everything runs in one clean environment; the session bus passes it (HOME
# above all) to the services it starts, such as the settings store.
session=(env -i PATH=/usr/bin:/bin HOME="$HOME" XDG_RUNTIME_DIR="$XDG_RUNTIME_DIR" LANG=C.UTF-8
    SHELL=/bin/sh DBUS_SESSION_BUS_ADDRESS="unix:path=$work/bus"
    DBUS_SYSTEM_BUS_ADDRESS="$DBUS_SYSTEM_BUS_ADDRESS" XDG_SESSION_TYPE=wayland
    XDG_CURRENT_DESKTOP=GNOME WAYLAND_DISPLAY=gnome-wl
    ASAN_OPTIONS="${ASAN_OPTIONS:+$ASAN_OPTIONS:}detect_leaks=0")
start() { # start LOG COMMAND...: in the background, in the session, PID recorded
    "${session[@]}" "${@:2}" >>"$work/$1.log" 2>&1 &
    adopt $!
}
in_session() { "${session[@]}" "$@"; }
extension() { # extension METHOD [ARGUMENTS...]: a method of the extension, or one named in full
    in_session gdbus call -e -d io.github.nudgewatch.Focus -o /io/github/nudgewatch/Focus \
        -m "$([[ $1 == *.* ]] || echo io.github.nudgewatch.Focus.)$1" "${@:2}"
}
as_program() { # as_program APP-ID: Activate, called while holding the program's bus name
    in_session /usr/bin/python3 - "$1" <<'PY'
import dbus, sys
bus = dbus.SessionBus()
if bus.request_name("org.nudgewatch.Nudgewatch", dbus.bus.NAME_FLAG_DO_NOT_QUEUE) != 1:
    sys.exit("the program's bus name is taken")
print(bool(bus.call_blocking("io.github.nudgewatch.Focus", "/io/github/nudgewatch/Focus",
                             "io.github.nudgewatch.Focus", "Activate", "s", [sys.argv[1]], timeout=5)))
PY
}
# refused METHOD [ARGUMENTS...]: the extension turns a stranger away.
refused() { [[ $(extension "$@" 2>&1) == *AccessDenied* ]]; }
# blur_check COMMAND [ARGUMENTS...]: screenshots and X11 windows of shell_blur_check.py.
blur_check() { in_session GDK_BACKEND=x11 /usr/bin/python3 "$e2e_dir/shell_blur_check.py" "$@"; }
# The card's glass on the first monitor, away from its content: a strip
# between the text and the card's lower edge, left of the buttons.
card_glass=(520 89 180 8)

# The session bus starts GNOME's settings store and nothing else of the machine.
mkdir -p "$work/services" && cp /usr/share/dbus-1/services/ca.desrt.dconf.service "$work/services/"
bus_config "$work/session.conf" session "$work/services"
start session-bus dbus-daemon --config-file="$work/session.conf" --address="unix:path=$work/bus" --nofork --nopidfile
wait_for 10 test -S "$work/bus" || fail "the session bus did not start"

# Turned off in the Extensions app earlier: listed both as enabled and as disabled.
uuid=nudgewatch@nudgewatch.github.io
in_session gsettings set org.gnome.shell enabled-extensions "['$uuid']"
in_session gsettings set org.gnome.shell disabled-extensions "['other@example.org', '$uuid']"
status=$(in_session "$setup") || fail "the setup helper failed"
[ "$(in_session gsettings get org.gnome.shell disabled-extensions)" = "['other@example.org']" ] ||
    fail "still disabled: $(in_session gsettings get org.gnome.shell disabled-extensions)"
[[ $status == "0 |"*"log out"* ]] || fail "after setup the status reads: $status"
[ -f "$XDG_DATA_HOME/gnome-shell/extensions/$uuid/extension.js" ] ||
    fail "the extension was not installed"

start shell gnome-shell --headless --wayland --wayland-display=gnome-wl --virtual-monitor 1280x800 \
    --virtual-monitor 1024x768
version() { extension org.freedesktop.DBus.Properties.Get io.github.nudgewatch.Focus Version; }
wait_for 60 version || fail "the shell did not load the extension"
[ "$(version)" = "(<uint32 4>,)" ] || fail "the extension answers version $(version)"
refused GetFocus || fail "a stranger was told the app in front"
refused SetBlurRegion 1 "@a(iiii) [(0, 0, 10, 10)]" 1.0 || fail "a stranger had a window blurred"
start stranger gdbus monitor -e -d io.github.nudgewatch.Focus
wait_for 20 grep -q 'Using public X11 display' "$work/shell.log" || fail "no Xwayland"
session+=(DISPLAY="$(grep -o 'Using public X11 display :[0-9]*' "$work/shell.log" | grep -o ':[0-9]*$')"
    XAUTHORITY="$(ls "$work/run"/.mutter-Xwaylandauth.* | head -n 1)")
e2e_as=("${session[@]}") # not a function: what starts in the background is then the process itself

start foot foot
start atspi /usr/libexec/at-spi-bus-launcher --launch-immediately
window_of xterm XTerm "${e2e_as[@]}" xterm -geometry 60x10
# Once xterm is up, which takes the focus as it maps, perhaps a moment later:
# foot is raised again until xterm does not have the focus a second on.
wait_for 20 eval 'as_program foot.desktop | grep -q True' || fail "foot did not show"
sleep 1
wait_for 5 eval '[ "$(x_active)" != "$(printf 0x%x "$xterm")" ] || ! as_program foot.desktop' ||
    fail "foot did not stay in front: $(x_active)"

blur_check extension "$xterm" || fail "the extension's blur behind a window"
# Behind where the card drops: an override-redirect window, which takes no focus.
start pattern env GDK_BACKEND=x11 /usr/bin/python3 "$e2e_dir/shell_blur_check.py" pattern 380 0 520 160
sleep 2
glass() { blur_check sharpness "${card_glass[@]}"; }
sharp=$(glass) && ((${sharp%.*} > 100)) || fail "no checkerboard behind the card's place: $sharp"

# As at login: no window takes the focus from foot.
start_program --autostart
cards() { atspi --wait 0 cards 2>/dev/null; } # the applications with a card showing

wait_for 15 card_down || fail "idle xterm was not reminded of while foot was in front"
wait_for 10 eval '[ "$(cards)" = XTerm ]' || fail "the card is not (only) for xterm: $(cards)"
card_centred 0 1280
sleep 1 # the card settled
blurred=$(glass) && ((${blurred%.*} < 5)) || fail "what lies behind the card is not blurred: $blurred"
refused Activate foot.desktop || fail "a stranger raised a window"
sleep 3 # the threshold again: foot, in front all along, gets no card
[ "$(cards)" = XTerm ] || fail "foot in front was reminded of: $(cards)"
grep -q "tracking is unavailable" "$work/nudgewatch.log" && fail "tracking reported unavailable"

# xterm to the front on the other monitor: its card goes, and foot, now idle, gets one there.
in_session wmctrl -i -r "$xterm" -e 0,1400,200,-1,-1
in_session xdotool windowactivate "$xterm"
wait_for 15 eval '[ "$(cards)" = Foot ]' || fail "with xterm in front the card is for: $(cards)"
card_centred 1280 1024
after=$(glass) && ((${after%.*} > 100)) || fail "a blur stayed where the card was: $after"
fullscreen_holds Foot "in_session wmctrl -i -r $xterm -b add,fullscreen" "in_session wmctrl -i -r $xterm -b remove,fullscreen"
kill -0 "$main_pid" || fail "the program ended"
refused GetFocus || fail "a stranger was told the app in front while the program ran"
grep -q FocusChanged "$work/stranger.log" && fail "a stranger heard focus changes"
grep -E "extensions/$uuid|meta_window is undefined" "$work/shell.log" && fail "the shell logged errors of the extension"
echo "PASS: extension set up by the program and for it alone; foot and xterm followed on GNOME Shell; card at top centre, blurred behind (checkerboard sharpness $sharp, through the card $blurred)"
