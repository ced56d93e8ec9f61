#!/usr/bin/env bash
# The notch panel on a real X server and window manager, with and without a
# compositing manager: a reminder maps the panel at the top centre without taking
# focus, the card shows on screen, its buttons act on the store, and the panel is
# gone once the reminder ends; a click on the panel's clear strip above the card
# reaches the window below it. Screenshots stay in the output folder printed below.
#   notch_panel_e2e_test.sh <panel_demo binary (examples/)> [output dir]
set -euo pipefail

demo=$1
out=${2:-${NUDGEWATCH_BUILD_DIR:-$PWD}/e2e-output/notch_panel}
echo "notch panel e2e: screenshots and logs in $out"
. "$(dirname "$0")/../../scripts/xvfb-session"
. "$(dirname "$0")/e2e_helper.sh"

# xterm has an inner window of the same class: activate whichever of them the
# window manager takes.
activate_any() {
    for id in $1; do xdotool windowactivate "$id" 2>/dev/null || true; done
    sleep 0.1
    [ "$(x_active)" != "0x0" ] && echo "$1" | grep -qx "$(($(x_active)))"
}
# Prints "x y width height state" of the panel from the X server's point of view.
panel_state() {
    xwininfo -name "Nudgewatch reminder" 2>/dev/null | awk '
        /Absolute upper-left X:/ {x=$NF} /Absolute upper-left Y:/ {y=$NF}
        /Width:/ {w=$NF} /Height:/ {h=$NF} /Map State:/ {s=$NF}
        END {if (s) print x, y, w, h, s}'
}
# The bounding box of the rectangles blurred behind the panel, "left top right bottom", or "none".
blur_box() {
    xprop -name "Nudgewatch reminder" -notype _KDE_NET_WM_BLUR_BEHIND_REGION 2>/dev/null | tr -d ' ' | awk -F '[=,]' '
        {l = t = 1e9; for (i = 2; i + 3 <= NF; i += 4) {l = $i < l ? $i : l; t = $(i+1) < t ? $(i+1) : t
            r = $i + $(i+2) > r ? $i + $(i+2) : r; b = $(i+1) + $(i+3) > b ? $(i+1) + $(i+3) : b}}
        END {print (r ? l " " t " " r " " b : "none")}'
}
panel_open() { [ "$(panel_state)" = "596 0 320 110 IsViewable" ]; }
panel_gone() { read -r _ _ _ h s <<<"$(panel_state)"; [ "$s" != IsViewable ] || [ "${h:-0}" -le 1 ]; }
# Mean brightness (0..1) of a region of the screenshot of the card, and the largest.
brightness() { convert "$1" -crop "$2" -colorspace Gray -format "%[fx:${3:-mean}]" info:; }
# $1 > $2, or with four arguments: ($1 - $2)^2 < $3 (about the same brightness).
above() { awk -v a="$1" -v b="$2" -v t="${3:-}" 'BEGIN {exit !(t == "" ? a > b : (a - b)^2 < t)}'; }

run_mode() {
    mode=$1
    local dir="$out/$mode" compositor=()
    echo "notch panel e2e: $mode"
    mkdir -p "$dir"
    log="$dir/demo.log" e2e_logs=("$dir"/{demo.log,demo.err,xvfb.log,openbox.log,xcompmgr.log})
    [ "$mode" = composited ] && compositor=(--compositor)
    xvfb_session_start --displays 50-59 --screen 1512x982x24 --logs "$dir" "${compositor[@]}" ||
        fail "could not start Xvfb and openbox${compositor:+ and xcompmgr} in :50-:59"
    # A grey desktop, so the card's dark glass and its edges show against it.
    xsetroot -solid '#606060'
    # Composited, the desktop offers a blur behind windows, announced as KWin's blur effect does.
    [ "$mode" = composited ] &&
        xprop -root -f _KDE_NET_WM_BLUR_BEHIND_REGION 32c -set _KDE_NET_WM_BLUR_BEHIND_REGION 0
    # A window that reports the clicks it gets, moved under the panel later.
    window_of target NudgewatchClickTarget stdbuf -oL xev -name NudgewatchClickTarget -geometry 320x60+0+500 -event button
    xterm -class NudgewatchE2ETerm -geometry 80x24+100+200 -e sleep 600 &
    adopt $!
    local terms focused
    terms=$(xdotool search --sync --class NudgewatchE2ETerm)
    wait_for 10 activate_any "$terms" || fail "the xterm did not become active ($terms)"
    focused=$(x_active)
    import -window root -crop 320x110+596+0 +repage "$dir/card-before.png"

    "$demo" --reminders 2 >"$log" 2>"$dir/demo.err" &
    local demo_pid=$!
    adopt "$demo_pid"
    heard 1 open-settled
    # xwininfo walks the whole window tree and gives up when a window goes away
    # during the walk: asked again rather than once.
    wait_for 5 panel_open || fail "panel placement: $(panel_state), expected 596 0 320 110 IsViewable"
    [ "$(x_active)" = "$focused" ] || fail "focus moved to $(x_active)"
    echo "$terms" | grep -qx "$(xdotool getwindowfocus)" || fail "keyboard focus left the xterm"
    # Placed by the program itself, outside the window manager's control.
    card_centred
    sleep 0.3
    # Blurred behind exactly the card's glass where offered, nowhere else.
    [ "$(blur_box)" = "$([ "$mode" = composited ] && echo 0 46 320 102 || echo none)" ] ||
        fail "blurred behind $(blur_box) ($mode)"
    local card="$dir/card-at-rest.png" desk
    import -window root -crop 320x110+596+0 +repage "$card"
    # The card's glass darkens the grey desktop, its texts are white, the strip
    # above it stays clear; without a compositor the window is cut to the card:
    # no black corners.
    desk=$(brightness "$dir/card-before.png" 280x40+20+56)
    above "$desk" "$(brightness "$card" 280x40+20+56)" || fail "no card on screen"
    above "$(brightness "$card" 150x30+60+59 maxima)" 0.8 || fail "no text on the card"
    above "$(brightness "$card" 320x30+0+0)" "$desk" 0.02 || fail "the strip under the notch is not clear"
    [ "$mode" = composited ] || above "$(brightness "$card" 4x4+0+46)" "$desk" 0.01 ||
        fail "a black corner around the card"

    # Above the card the panel is clear: the click goes to the window below.
    xdotool windowmove --sync "$target" 596 0
    local click_y=$(($(xwininfo -id "$target" | awk '/Absolute upper-left Y:/ {print $NF}') + 4))
    [ "$click_y" -lt 38 ] || fail "the window below starts too low ($click_y) to be under the strip"
    xdotool mousemove 756 "$click_y" click 1
    wait_for 5 grep -q ButtonPress "$work/target.log" ||
        fail "a click on the clear strip above the card did not reach the window below"
    [ "$(lines "collapse snooze")" = 0 ] || fail "a click above the card acted on it"
    xdotool windowmove --sync "$target" 0 500
    # The window manager gave that window the focus with the click: back to the xterm.
    wait_for 10 activate_any "$terms" || fail "the xterm did not become active again"
    focused=$(x_active)

    # Snooze, as a person would: the mouse over the moon, a click.
    xdotool mousemove 890 74 click 1
    heard 1 "collapse snooze"
    [ "$(lines "collapse snooze")" = 1 ] || fail "snooze acted more than once"
    wait_for 5 panel_gone || fail "panel still shown after the collapse: $(panel_state)"
    [ "$(blur_box)" = none ] || fail "still blurred behind $(blur_box) once the card is gone"
    # The second reminder comes back after the snooze; open it.
    heard 2 open-settled # the second reminder, back after the snooze
    wait_for 5 panel_open || fail "second placement: $(panel_state)"
    xdotool mousemove 854 74 click 1
    heard 1 "collapse open /apps/Notes.desktop"
    wait_for 5 panel_gone || fail "panel still shown after opening: $(panel_state)"
    wait_for 10 eval "! kill -0 $demo_pid" || fail "the demo did not finish"
    [ "$(x_active)" = "$focused" ] || fail "focus moved during the run"
    echo "ok ($mode): placement, focus, card on screen, snooze and open, collapse"
    xvfb_session_stop
}

run_mode plain
run_mode composited
