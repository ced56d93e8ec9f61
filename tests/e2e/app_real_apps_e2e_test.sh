#!/usr/bin/env bash
# The whole program with real applications as Debian installs them, tracked
# through their own desktop entries with a 3-second threshold: Mousepad (GTK 3),
# Xfce Terminal (GTK 3), Text Editor (GTK 4) and FeatherPad (Qt). On X11 (Xvfb
# and openbox; --x11), or with --sway on headless sway, where the GTK ones are native
# Wayland windows and FeatherPad runs
# through Xwayland:
#  - each one in front reads "Active" and never gets a card;
#  - each one, idle past the threshold, gets a card, whose Open brings its
#    window to the front, with no second window started.
set -uo pipefail

session=xvfb
[ "${1:-}" = --sway ] && session=sway
program=${*: -1}
# As root, the sway session script starts this script again in namespaces of its own.
. "$(dirname "$0")/../../scripts/$session-session"
. "$(dirname "$0")/e2e_helper.sh"
e2e_home
export XDG_DATA_DIRS=/usr/share SHELL=/bin/sh
# Each application's desktop entry; its windows' X11 class or sway's app_id is
# learnt from the window it opens.
keys=(mousepad xfce4-terminal gnome-text-editor featherpad)
# Mousepad's Wayland app_id is its program's name, which neither its entry's ID
# (org.xfce.mousepad) nor a StartupWMClass says.
declare -A ids entry=([mousepad]=org.xfce.mousepad [xfce4-terminal]=xfce4-terminal
    [gnome-text-editor]=org.gnome.TextEditor [featherpad]=featherpad)
name() { sed -n 's/^Name=//p' "/usr/share/applications/${entry[$1]}.desktop" | head -n 1; }
track 3 $(for key in "${keys[@]}"; do echo "/usr/share/applications/${entry[$key]}.desktop"; done)

if [ $session = sway ]; then
    e2e_as=(sway_session_as) e2e_logs+=("$work/logs/clients.log")
    cp "$program" "$atspi_helper" "$work" && program=$work/${program##*/} atspi_helper=$work/atspi_helper.py
    sway_session_start --logs "$work/logs" || exit 1
    sway_session_own "$work"
    start() { sway_session_as "$@" >>"$work/logs/clients.log" 2>&1 & adopt $!; }
    start /usr/libexec/at-spi-bus-launcher --launch-immediately
    windows() { sway_windows; }
    focus() { sway_session_as swaymsg "[app_id=^${ids[$1]}\$] focus" || sway_session_as swaymsg "[class=^${ids[$1]}\$] focus"; }
else
    xvfb_session_start --displays 120-129 --dbus || exit 1
    start_atspi
    start() { "$@" >>"$work/clients.log" 2>&1 & adopt $!; }
    e2e_logs+=("$work/clients.log")
    windows() {
        local active window class
        active=$(x_active)
        [[ $active == 0x* ]] || active=0
        wmctrl -lx | while read -r window _ class _; do echo "${class#*.} $( ((window == active)) && echo '*')"; done
    }
    focus() { wmctrl -x -a "${ids[$1]}"; }
fi
count() { windows | grep -c "^${ids[$1]} "; }
front() { local key focused; focused=$(windows | sed -n 's/ \*$//p'); for key in "${keys[@]}"; do [ "${ids[$key]}" = "$focused" ] && echo "$key"; done; }

# One at a time, each with a new kind of window. The settings store is the
# applications' own business: none runs on this bus.
for key in "${keys[@]}"; do
    known=$(windows | cut -d' ' -f1)
    start env GSETTINGS_BACKEND=memory "$key"
    wait_for 60 eval 'ids[$key]=$(windows | cut -d" " -f1 | grep -vxF "$known" | head -n 1); [ -n "${ids[$key]}" ]' ||
        fail "no window for $key"
done

# The card is for the first idle application in the list: each run of the
# program goes round from the first one in front while the card is for one not
# yet brought forward in that run. The first run, in the list's order, leaves
# out the last application; the second, in the reverse order, has it first.
raised=()
for order in forward reverse; do
    list=("${keys[@]}")
    if [ $order = reverse ]; then
        for ((i = 0; i < ${#keys[@]}; i++)); do list[i]=${keys[-1 - i]}; done
        pkill -TERM -P "$main_pid"; kill "$main_pid" 2>/dev/null; ended "$main_pid" || fail "the program did not end"
        track 3 $(for key in "${list[@]}"; do echo "/usr/share/applications/${entry[$key]}.desktop"; done)
    fi
    start_program
    wait_for 20 eval 'windows | grep -qi "^nudgewatch "' || fail "the settings window did not open: $(windows)"
    focus "${list[0]}" >/dev/null
    wait_for 10 eval '[ "$(front)" = "${list[0]}" ]' || fail "${list[0]} did not come to the front: $(windows)"
    this_run=" "
    for _ in "${keys[@]}"; do
        current=$(front)
        atspi row "$(name "$current")" Active || fail "$current in front does not read \"Active\""
        card=
        for _ in $(seq 30); do card=$(atspi --wait 2 cards) && [ -n "$card" ] && break; sleep 0.5; done
        key=$(for key in "${keys[@]}"; do [ "$(name "$key")" = "$card" ] && echo "$key"; done)
        [ -n "$key" ] && [ "$key" != "$current" ] || fail "with $current in front the card is for \"$card\""
        [[ $this_run == *" $key "* ]] && break
        before=$(count "$key")
        atspi press "$card" || fail "could not press Open on $key's card"
        wait_for 10 eval '[ "$(front)" = "$key" ]' || fail "Open did not bring $key to the front: $(windows)"
        [ "$(count "$key")" = "$before" ] || fail "Open started another $key window"
        this_run+="$key "
        [[ " ${raised[*]} " == *" $key "* ]] || raised+=("$key")
    done
done
[ ${#raised[@]} = ${#keys[@]} ] || fail "Open brought forward only ${raised[*]}"
has_exited "$main_pid" && fail "the program ended"
echo "PASS: on $session, ${keys[*]} each read \"Active\" in front, got a card idle, and came forward through Open"
