#!/usr/bin/env bash
# The whole program in a headless wlroots session (sway, or labwc with
# --labwc) started from a console, its windows on Xwayland whatever
# QT_QPA_PLATFORM says, in a temporary HOME, tracking foot (a native Wayland
# client) and xterm (an X11 one) with a 3-second threshold. Focus is moved
# through the compositor (swaymsg, or wlrctl on labwc).
#  - foot in front reads "Active" and gets no card; xterm, idle, gets one, at
#    the top centre, override-redirect, and foot keeps the focus;
#  - the card's Open button brings the xterm already there to the front;
#  - then xterm reads "Active" and foot, idle, gets the card;
#  - on sway, xterm fullscreen holds foot's card until it leaves fullscreen, and
#    an empty workspace leaves nothing in front: xterm is not "Active".
# labwc names an Xwayland window by WM_CLASS's instance ("xterm"), sway by its
# class ("XTerm"): the program matches the desktop entry's StartupWMClass either way.
# With --broken, on sway, the compositor breaks the program's connection first:
# sway 1.7 gives up on a client it cannot send a window title of over 4 KiB to,
# and drops it at its next request. An xterm titled with 6,000 bytes opens: the
# program notices at once, says so in its window and keeps running; once that
# window is closed it connects again by itself, and the above follows.
set -uo pipefail

compositor=sway broken=
[ "${1:-}" = --labwc ] && compositor=labwc
[ "${1:-}" = --broken ] && broken=1
program=${*: -1}
: "${program:?usage: platform_wlroots_e2e_test.sh [--labwc | --broken] path/to/nudgewatch}"
if [ $compositor = labwc ] && ! { command -v labwc && command -v wlrctl; } >/dev/null; then
    echo "SKIP: labwc and wlrctl are not installed (Debian 13 has them; scripts/install-deps)"
    exit 77
fi
# As root, the session script starts this script again in namespaces of its own,
# with the arguments it has now: hence no shift above.
. "$(dirname "$0")/../../scripts/$compositor-session"
. "$(dirname "$0")/e2e_helper.sh"
e2e_sway ${compositor}_session_start
track 3 /usr/share/applications/foot.desktop /usr/share/applications/debian-xterm.desktop
sway_client /usr/libexec/at-spi-bus-launcher --launch-immediately
sway_client foot
sway_client xterm

if [ $compositor = sway ]; then
    xterm_id=XTerm settings_id=Nudgewatch
    # focused: the app id (or X11 class) of the window sway has focused; windows ID: how many.
    tree() { if [ "$1" = windows ]; then sway_windows | grep -c "^$2 "; else sway_windows | sed -n 's/ \*$//p'; fi; }
    focus() { sway_session_as swaymsg "[app_id=^$1\$] focus" >/dev/null; }
    focused_is() { [ "$(tree focused)" = "$1" ]; }
else
    xterm_id=xterm settings_id=nudgewatch
    # The same through foreign-toplevel management (wlrctl), and Xwayland's
    # top-level windows for the xterms, which labwc does not reparent.
    tree() {
        local id
        if [ "$1" = windows ] && [ "$2" = xterm ]; then
            sway_session_as xwininfo -root -children | grep -c '("xterm" "XTerm")'
        elif [ "$1" = windows ]; then
            sway_session_as wlrctl toplevel find "app_id:$2" && echo 1 || echo 0
        else
            for id in foot xterm nudgewatch; do
                focused_is $id && echo $id && return
            done
        fi
    }
    focused_is() { sway_session_as wlrctl toplevel find "app_id:$1" state:active; }
    focus() { sway_session_as wlrctl toplevel focus "app_id:$1"; }
fi
wait_for 10 eval '[ "$(tree windows foot)" = 1 ] && [ "$(tree windows $xterm_id)" = 1 ]' ||
    fail "foot and xterm did not open"

# Started from a console login (XDG_SESSION_TYPE=tty) with a user's
# QT_QPA_PLATFORM=wayland, common in sway setups: the compositor is followed all
# the same, and the program's own windows go through Xwayland.
XDG_SESSION_TYPE=tty QT_QPA_PLATFORM=wayland start_program
wait_for 10 focused_is $settings_id || fail "the settings window did not come to the front"
grep -q -e "tracking is unavailable" -e "through Xwayland" "$work/nudgewatch.log" &&
    fail "the compositor is not followed"
focus foot
atspi row Foot Active || fail "foot in front does not read \"Active\""

if [ -n "$broken" ]; then
    # A title sway cannot send: 6,000 bytes in one event.
    sway_client xterm -class LongTitle -T "$(head -c 6000 /dev/zero | tr '\0' x)"
    long=$!
    wait_for 10 focused_is LongTitle || fail "the long-titled xterm did not come to the front (in front: $(tree focused))"
    wait_for 10 grep -q "connection to the Wayland compositor broke" "$work/nudgewatch.log" ||
        fail "the broken connection went unnoticed"
    atspi says "connection to the compositor broke" || fail "the window does not say so"
    # Closed, the window no longer breaks the next connection.
    sway_session_as swaymsg '[class=^LongTitle$] kill' >/dev/null
    wait_for 10 has_exited "$long" || kill "$long"
    wait_for 10 eval '[ "$(tree windows LongTitle)" = 0 ]' || fail "the long-titled xterm stayed"
    wait_for 40 grep -q "connected to the Wayland compositor again" "$work/nudgewatch.log" ||
        fail "the program did not connect again"
    focus foot
    atspi row Foot Active || fail "after connecting again, foot in front does not read \"Active\""
fi

atspi card XTerm || fail "no card for the idle xterm, or one for foot in front too"
card_centred
focused_is foot || fail "the card took the focus from foot: $(tree focused)"

atspi press XTerm || fail "could not press the card's Open button"
wait_for 10 focused_is $xterm_id || fail "Open did not bring xterm to the front: $(tree focused)"
[ "$(tree windows $xterm_id)" = 1 ] || fail "Open started another xterm"
atspi row XTerm Active || fail "xterm in front does not read \"Active\""
atspi card Foot || fail "no card for foot, idle behind xterm, or one still for xterm in front"
focused_is $xterm_id || fail "the card took the focus from xterm"
if [ $compositor = sway ]; then
    fullscreen_holds Foot "sway_session_as swaymsg fullscreen enable" "sway_session_as swaymsg fullscreen disable"
    # An empty workspace: nothing is in front, and xterm is in use no more.
    sway_session_as swaymsg workspace 9 >/dev/null
    atspi not XTerm Active || fail "on an empty workspace xterm still reads \"Active\""
fi
has_exited "$main_pid" && fail "the program ended"
echo "PASS: foot and xterm followed through $compositor${broken:+ after a broken connection}; card placed and opened the xterm already there"
