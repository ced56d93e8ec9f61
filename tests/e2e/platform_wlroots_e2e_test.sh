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
#  - on sway, an empty workspace leaves nothing in front: xterm is not "Active".
# labwc names an Xwayland window by WM_CLASS's instance ("xterm"), sway by its
# class ("XTerm"): the program matches the desktop entry's StartupWMClass either way.
set -uo pipefail

compositor=sway
[ "${1:-}" = --labwc ] && compositor=labwc && shift
program=${1:?usage: platform_wlroots_e2e_test.sh [--labwc] path/to/nudgewatch}
if [ $compositor = labwc ] && ! { command -v labwc && command -v wlrctl; } >/dev/null; then
    echo "SKIP: labwc and wlrctl are not installed (Debian 13 has them; scripts/install-deps)"
    exit 77
fi
here=$(cd "$(dirname "$0")" && pwd)
. "$here/../../scripts/$compositor-session"
work=$(mktemp -d /tmp/nudgewatch-wlr.XXXXXX)
trap 'sway_session_stop; rm -rf "$work"' EXIT
fail() {
    echo "FAIL ($compositor): $*" >&2
    [ -f "$work/nudgewatch.log" ] && sed 's/^/  nudgewatch: /' "$work/nudgewatch.log" >&2
    sed 's/^/  clients: /' "$work/logs/clients.log" >&2 2>/dev/null
    exit 1
}

mkdir -p "$work/home/.config/Nudgewatch"
printf '[General]\nNudgewatch.trackedAppPaths=%s, %s\nNudgewatch.idleThreshold=3\n' \
    /usr/share/applications/foot.desktop /usr/share/applications/debian-xterm.desktop \
    >"$work/home/.config/Nudgewatch/Nudgewatch.conf"
# A copy the session's user can run, wherever the build folder is.
cp "$program" "$work/nudgewatch" && cp "$here/atspi_helper.py" "$work" && program=$work/nudgewatch
${compositor}_session_start --logs "$work/logs" || exit 1
sway_session_own "$work"
export HOME="$work/home" XDG_CONFIG_HOME="$work/home/.config" XDG_DATA_DIRS=/usr/share
export XDG_DATA_HOME="$work/home/.local/share" XDG_CACHE_HOME="$work/home/.cache" SHELL=/bin/sh
export ASAN_OPTIONS="${ASAN_OPTIONS:+$ASAN_OPTIONS:}detect_leaks=0"
unset QT_QPA_PLATFORM SESSION_MANAGER
start() { sway_session_as "$@" >>"$work/logs/clients.log" 2>&1 & sway_session_adopt $!; }
start /usr/libexec/at-spi-bus-launcher --launch-immediately
start foot
start xterm

if [ $compositor = sway ]; then
    xterm_id=XTerm settings_id=Nudgewatch
    # focused: the app id (or X11 class) of the window sway has focused; windows ID: how many.
    tree() {
        sway_session_as swaymsg -t get_tree | python3 -c 'import json, sys
def walk(n):
    yield n
    for c in n.get("nodes", []) + n.get("floating_nodes", []): yield from walk(c)
ids = [(n.get("app_id") or (n.get("window_properties") or {}).get("class"), n.get("focused"))
       for n in walk(json.load(sys.stdin)) if n.get("pid")]
print(sum(i == sys.argv[2] for i, _ in ids) if sys.argv[1] == "windows" else
      next((i for i, f in ids if f), ""))' "$@"
    }
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

# atspi CHECK ARGS...: a check of atspi_helper.py, e.g. "atspi row Foot Active".
atspi() { sway_session_as /usr/bin/python3 "$work/atspi_helper.py" "$@"; }
card_geometry() { # x y width height of the card on Xwayland, and whether override-redirect
    sway_session_as xwininfo -name "Nudgewatch reminder" | awk '/Absolute upper-left X/ {x = $4}
        /Absolute upper-left Y/ {y = $4} /Width:/ {w = $2} /Height:/ {h = $2}
        /Override Redirect State/ {o = $4} END {print x, y, w, h, o}'
}

# Started from a console login (XDG_SESSION_TYPE=tty) with a user's
# QT_QPA_PLATFORM=wayland, common in sway setups: the compositor is followed all
# the same, and the program's own windows go through Xwayland.
XDG_SESSION_TYPE=tty QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1 QT_QPA_PLATFORM=wayland \
    sway_session_as "$program" >"$work/nudgewatch.log" 2>&1 &
sway_session_adopt $!
wait_for 10 focused_is $settings_id || fail "the settings window did not come to the front"
grep -q -e "tracking is unavailable" -e "through Xwayland" "$work/nudgewatch.log" &&
    fail "the compositor is not followed"
focus foot
atspi row Foot Active || fail "foot in front does not read \"Active\""
atspi card XTerm || fail "no card for the idle xterm"
atspi nocard Foot || fail "a card for foot while it is in front"
read -r x y w h override < <(card_geometry)
screen=$(sway_session_as xwininfo -root | awk '/Width:/ {print $2}')
[ "$override" = yes ] && [ "$y" = 0 ] && [ "$x" = $(((screen - w) / 2)) ] ||
    fail "the card is at $x,$y ${w}x$h (override-redirect: $override) on a screen $screen wide"
focused_is foot || fail "the card took the focus from foot: $(tree focused)"

atspi press XTerm || fail "could not press the card's Open button"
wait_for 10 focused_is $xterm_id || fail "Open did not bring xterm to the front: $(tree focused)"
[ "$(tree windows $xterm_id)" = 1 ] || fail "Open started another xterm"
atspi row XTerm Active || fail "xterm in front does not read \"Active\""
atspi card Foot || fail "no card for foot, idle behind xterm"
focused_is $xterm_id || fail "the card took the focus from xterm"
if [ $compositor = sway ]; then
    # An empty workspace: nothing is in front, and xterm is in use no more.
    sway_session_as swaymsg workspace 9 >/dev/null
    atspi not XTerm Active || fail "on an empty workspace xterm still reads \"Active\""
fi
echo "PASS: foot and xterm followed through $compositor; card placed and opened the xterm already there; nothing in front on an empty workspace"
