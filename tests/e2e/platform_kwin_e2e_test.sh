#!/usr/bin/env bash
# The whole program on a headless KDE Plasma Wayland session (KWin with
# Xwayland, scripts/kwin-session), in a temporary HOME, tracking a native
# Wayland terminal and an X11 one with a 3-second threshold:
#  - with the native terminal in front it reads "Active" and gets no card; the
#    X11 one, idle, gets a card at the top centre (override-redirect), which
#    leaves the focus where it was;
#  - the card's Open brings the X11 terminal's window to the front (no second
#    terminal), which makes it "Active" and ends its card;
#  - that window fullscreen holds the native terminal's card until it leaves fullscreen;
#  - the KWin script is loaded while the program runs, and unloaded when it quits,
#    by Ctrl+Q or by SIGTERM.
set -uo pipefail

program=${1:?usage: platform_kwin_e2e_test.sh path/to/nudgewatch}
. "$(dirname "$0")/../../scripts/kwin-session"
. "$(dirname "$0")/e2e_helper.sh"
e2e_home
# KWin names the native window's application by this desktop ID; the X11
# window only by its WM_CLASS, which KWin lower-cases.
native=org.freedesktop.weston.wayland-terminal
printf '[Desktop Entry]\nType=Application\nName=Weston Terminal\nExec=weston-terminal\n' >"$apps/$native.desktop"
fixture XTerm && track 3 "$apps/$native.desktop" XTerm

kwin_session_start || exit 1
start_atspi
weston-terminal >"$work/weston.log" 2>&1 &
adopt $!
window_of xterm_window XTermFixture xterm -class XTermFixture -geometry 60x10

# One-shot KWin script: make the first window of a resource class active.
activate_class() {
    local file="$work/activate.js" id
    printf 'const ws = workspace.windowList ? workspace.windowList() : workspace.clientList();\n%s\n' \
        "for (const w of ws) if (String(w.resourceClass) == '$1') { if (workspace.activeWindow !== undefined) workspace.activeWindow = w; else workspace.activeClient = w; break; }" \
        >"$file"
    id=$(qdbus org.kde.KWin /Scripting org.kde.kwin.Scripting.loadScript "$file" e2e-activate) || return 1
    qdbus org.kde.KWin "/Scripting/Script$id" org.kde.kwin.Script.run >/dev/null 2>&1 ||
        qdbus org.kde.KWin "/$id" org.kde.kwin.Script.run >/dev/null
    qdbus org.kde.KWin /Scripting org.kde.kwin.Scripting.unloadScript e2e-activate >/dev/null
}
script_loaded() { [ "$(qdbus org.kde.KWin /Scripting org.kde.kwin.Scripting.isScriptLoaded nudgewatch-focus)" = true ]; }
row_active() { atspi --wait 0 row "$1" Active; }

start_program
wait_for 15 script_loaded || fail "the program did not load its KWin script"
grep -q "tracking is unavailable" "$work/nudgewatch.log" && fail "KWin tracking reported unavailable"
ls "$XDG_RUNTIME_DIR"/*.js >/dev/null 2>&1 && fail "the script file was left in the runtime folder"

wait_for 20 eval 'activate_class org.freedesktop.weston.wayland-terminal && row_active "Weston Terminal"' ||
    fail "the native terminal in front does not read \"Active\": $(atspi --wait 0 texts . 2>&1)"
# Xwayland's active window is none while a native window has the focus.
[ "$(x_active)" = 0x0 ] || fail "an X11 window has the focus: $(x_active)"
wait_for 15 card_down || fail "no card for the idle X11 terminal"
[ "$(atspi cards)" = "XTerm Fixture" ] || fail "the card is not (only) for the idle X11 terminal: $(atspi cards)"
card_centred
[ "$(x_active)" = 0x0 ] || fail "the card took the focus: $(x_active)"
row_active "Weston Terminal" || fail "the native terminal stopped reading \"Active\""

# The card's Open raises the terminal's window through KWin rather than starting another.
atspi press "XTerm Fixture" || fail "could not press the card's Open button"
wait_for 10 row_active "XTerm Fixture" || fail "the X11 terminal in front does not read \"Active\""
[ "$(xdotool getactivewindow)" = "$xterm_window" ] || fail "Open did not raise the terminal's window"
[ "$(xdotool search --class XTermFixture | wc -l)" = 1 ] || fail "Open started a second terminal"
wait_for 10 eval '! card_down' || fail "bringing the X11 terminal to the front left its card"
wait_for 15 card_down || fail "no card for the native terminal, idle behind the X11 one"
fullscreen_holds "Weston Terminal" "wmctrl -i -r $xterm_window -b add,fullscreen" "wmctrl -i -r $xterm_window -b remove,fullscreen"

# Ctrl+Q in the settings window ends the program.
settings_shown || fail "no settings window"
activate "$(settings_window)" && xdotool key --clearmodifiers ctrl+q
quits Ctrl+Q 128 # not killed by a signal
script_loaded && fail "the KWin script stayed loaded after the program quit"

# A logout's SIGTERM ends it the same way.
start_program
wait_for 15 script_loaded || fail "the program started again did not load its KWin script"
kill -TERM "$main_pid"
quits SIGTERM
script_loaded && fail "the KWin script stayed loaded after SIGTERM"
echo "PASS: native and X11 windows followed on KWin; card for the idle one only; script unloaded at Ctrl+Q and SIGTERM"
