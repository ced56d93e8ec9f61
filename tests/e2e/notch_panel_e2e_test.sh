#!/usr/bin/env bash
# The notch panel on a real X server and window manager, with and without a
# compositing manager: a reminder maps the panel at the top centre without taking
# focus, the card shows on screen, its buttons act on the store, and the panel is
# gone once the reminder ends. Screenshots stay in the output folder printed below.
#   notch_panel_e2e_test.sh <panel_demo binary (examples/)> [output dir]
set -euo pipefail

demo=$1
out=${2:-${NUDGEWATCH_BUILD_DIR:-$PWD}/e2e-output/notch_panel}
mkdir -p "$out"
echo "notch panel e2e: screenshots and logs in $out"
. "$(dirname "$0")/../../scripts/xvfb-session"

# The session stops the programs started in it, then its servers.
trap xvfb_session_stop EXIT

fail() {
    echo "FAIL ($mode): $*" >&2
    [ -f "${log:-}" ] && sed 's/^/  demo: /' "$log" >&2
    for f in "$out/$mode"/{xvfb,openbox,xcompmgr}.log; do
        [ -s "$f" ] && sed "s|^|  $(basename "$f"): |" "$f" >&2
    done
    exit 1
}

active_window() { xprop -root _NET_ACTIVE_WINDOW | awk '{print $NF}'; }
activate_any() {
    local id
    for id in $1; do
        xdotool windowactivate "$id" 2>/dev/null || true
    done
    sleep 0.1
    local active
    active=$(active_window)
    [ "$active" != "0x0" ] && echo "$1" | grep -qx "$((active))"
}
is_active() { [ "$(active_window)" = "$1" ]; }
log_has() { grep -qx -- "$1" "$log"; }
log_count() { grep -cx -- "$1" "$log" || true; }
log_count_at_least() { [ "$(log_count "$1")" -ge "$2" ]; }
has_exited() { ! kill -0 "$1" 2>/dev/null; }

panel_window() {
    xwininfo -root -tree | awk '/"Nudgewatch reminder"/ {print $1; exit}'
}

# Prints "x y width height state" of the panel from the X server's point of view.
panel_state() {
    local id
    id=$(panel_window)
    [ -n "$id" ] || return 1
    xwininfo -id "$id" | awk '
        /Absolute upper-left X:/ {x=$NF} /Absolute upper-left Y:/ {y=$NF}
        /Width:/ {w=$NF} /Height:/ {h=$NF} /Map State:/ {s=$NF}
        END {print x, y, w, h, s}'
}

panel_open() { [ "$(panel_state)" = "596 0 320 110 IsViewable" ]; }
panel_gone() {
    local state
    state=$(panel_state) || return 0
    case "$state" in *IsUnMapped | *IsUnviewable | *" 0 "*) return 0 ;; esac
    return 1
}

# Mean brightness (0..1) of a region of a screenshot.
brightness() { convert "$1" -crop "$2" -colorspace Gray -format '%[fx:mean]' info:; }
# Largest brightness (0..1) in a region.
brightest() { convert "$1" -crop "$2" -colorspace Gray -format '%[fx:maxima]' info:; }
above() { awk -v a="$1" -v b="$2" 'BEGIN {exit !(a > b)}'; }

run_mode() {
    mode=$1
    local dir="$out/$mode"
    mkdir -p "$dir"
    log="$dir/demo.log"

    local compositor=()
    [ "$mode" = composited ] && compositor=(--compositor)
    xvfb_session_start --displays 50-59 --screen 1512x982x24 --logs "$dir" "${compositor[@]}" ||
        fail "could not start Xvfb and openbox${compositor:+ and xcompmgr} in :50-:59"
    # A grey desktop, so the card's dark glass and its edges show against it.
    xsetroot -solid '#606060'

    xterm -class NudgewatchE2ETerm -geometry 80x24+100+200 -e sleep 600 &
    xvfb_session_adopt $!
    # xterm has an inner window of the same class: activate whichever of them
    # the window manager takes, and remember what it made active.
    local terms focused=
    terms=$(xdotool search --sync --class NudgewatchE2ETerm)
    wait_for 10 activate_any "$terms" ||
        fail "the xterm did not become active (xterm: $terms; active: $(active_window))"
    focused=$(active_window)
    import -window root "$dir/before.png"

    # First drop in slow motion (20x) so it can be photographed half-way.
    "$demo" --reminders 2 --slow-first 20 >"$log" 2>"$dir/demo.err" &
    local demo_pid=$!
    xvfb_session_adopt "$demo_pid"

    wait_for 10 log_has midway || fail "the first reminder did not start dropping"
    import -window root "$dir/screen-mid-drop.png"
    convert "$dir/screen-mid-drop.png" -crop 320x110+596+0 +repage "$dir/card-mid-drop.png"
    wait_for 20 log_has open-settled || fail "the panel did not settle open"

    panel_open || fail "panel placement: $(panel_state || echo none), expected 596 0 320 110 IsViewable"
    [ "$(active_window)" = "$focused" ] || fail "focus moved to $(active_window)"
    echo "$terms" | grep -qx "$(xdotool getwindowfocus)" || fail "keyboard focus left the xterm"
    # Placed by the program itself, outside the window manager's control.
    xwininfo -id "$(panel_window)" -all | grep -q "Override Redirect State: yes" ||
        fail "the panel is managed by the window manager"
    sleep 0.3
    import -window root "$dir/screen-at-rest.png"
    convert "$dir/screen-at-rest.png" -crop 320x110+596+0 +repage "$dir/card-at-rest.png"
    convert "$dir/before.png" -crop 320x110+596+0 +repage "$dir/card-before.png"

    # The card's glass darkens the grey desktop, its texts are white, the strip
    # above it stays clear.
    local desk card text strip
    desk=$(brightness "$dir/card-before.png" 280x40+20+56)
    card=$(brightness "$dir/card-at-rest.png" 280x40+20+56)
    text=$(brightest "$dir/card-at-rest.png" 150x30+60+59)
    strip=$(brightness "$dir/card-at-rest.png" 320x30+0+0)
    above "$desk" "$card" || fail "no card on screen (desktop $desk, card $card)"
    above "$text" 0.8 || fail "no text on the card (brightest $text)"
    above "$(awk -v s="$strip" -v d="$desk" 'BEGIN {print 0.02 - (s - d)^2}')" 0 ||
        fail "the strip under the notch is not clear ($strip vs $desk)"
    if [ "$mode" = plain ]; then
        # Without a compositor the window is cut to the card: no black corners.
        local corner
        corner=$(brightness "$dir/card-at-rest.png" 4x4+0+46)
        above "$(awk -v c="$corner" -v d="$desk" 'BEGIN {print 0.01 - (c - d)^2}')" 0 ||
            fail "a black corner around the card ($corner vs desktop $desk)"
    fi

    # Snooze, as a person would: the mouse over the moon, a click.
    xdotool mousemove 890 74 click 1
    wait_for 5 log_has "collapse snooze" || fail "snooze did not reach the store"
    [ "$(log_count "collapse snooze")" -eq 1 ] || fail "snooze acted more than once"
    wait_for 5 panel_gone || fail "panel still shown after the collapse: $(panel_state)"
    [ "$(active_window)" = "$focused" ] || fail "focus moved after the click"

    # The second reminder comes back after the snooze; open it.
    wait_for 10 log_count_at_least open-settled 2 || fail "no second reminder"
    panel_open || fail "second placement: $(panel_state)"
    xdotool mousemove 854 74 click 1
    wait_for 5 log_has "collapse open /apps/Notes.desktop" || fail "open did not reach the store"
    wait_for 5 panel_gone || fail "panel still shown after opening: $(panel_state)"
    wait_for 10 has_exited "$demo_pid" || fail "the demo did not finish"
    [ "$(active_window)" = "$focused" ] || fail "focus moved during the run"
    echo "ok ($mode): placement, focus, card on screen, snooze and open, collapse"
    xvfb_session_stop
}

run_mode plain
run_mode composited
echo "notch panel e2e: card screenshots: $out/{plain,composited}/card-{mid-drop,at-rest}.png"
