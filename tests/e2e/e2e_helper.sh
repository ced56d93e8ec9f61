#!/usr/bin/env bash
# What the end-to-end scripts share, sourced after their session script
# (scripts/xvfb-session, sway-session or kwin-session), whose wait_for it uses
# and whose list of processes it adds to: everything started here is stopped by
# PID with the session. Offers a scratch folder ($work, removed at exit) and HOME,
# fixture applications and the settings tracking them, the program started and
# its windows as the X server sees them, private buses with mock services, and
# the checks of atspi_helper.py. Commands that must run as the session's user
# (sway's) go through "${e2e_as[@]}".

e2e_dir=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
work=$(mktemp -d /tmp/nudgewatch-e2e.XXXXXX)
e2e_logs=("$work/nudgewatch.log") # what fail shows
e2e_as=()
atspi_helper=$e2e_dir/atspi_helper.py

# Whichever session the script sourced stops what is adopted here.
for e2e_kind in xvfb sway kwin; do declare -F "${e2e_kind}_session_stop" >/dev/null && break; done
adopt() { "${e2e_kind}_session_adopt" "$@"; }
trap '"${e2e_kind}_session_stop"; rm -rf "$work"' EXIT

fail() {
    echo "FAIL: $*" >&2
    local log
    [ -n "${out:-}" ] && import -window root "$out/failed.png" 2>/dev/null
    for log in "${e2e_logs[@]}"; do
        [ -s "$log" ] && tail -n 60 "$log" | sed "s|^|  $(basename "$log" .log): |" >&2
    done
    exit 1
}

# A scratch HOME with its XDG folders; $apps for desktop entries, $settings the program's.
e2e_home() {
    export HOME=$work/home XDG_CONFIG_HOME=$work/home/.config XDG_DATA_HOME=$work/home/.local/share
    export XDG_CACHE_HOME=$work/home/.cache XDG_RUNTIME_DIR=$work/run XDG_DATA_DIRS=$work/share
    # Leaks at the exit of the whole program are the desktop libraries' own (the unit tests check ours).
    export ASAN_OPTIONS="${ASAN_OPTIONS:+$ASAN_OPTIONS:}detect_leaks=0"
    unset SESSION_MANAGER QT_QPA_PLATFORM
    apps=$XDG_DATA_HOME/applications settings=$XDG_CONFIG_HOME/Nudgewatch/Nudgewatch.conf
    mkdir -p "${settings%/*}" "$apps" "$work/share" && mkdir -p -m 700 "$XDG_RUNTIME_DIR"
}

# fixture NAME: a desktop entry for "NAME Fixture", whose windows have the class NAMEFixture.
fixture() {
    printf '[Desktop Entry]\nType=Application\nName=%s Fixture\nExec=xterm -class %sFixture\nStartupWMClass=%sFixture\n' \
        "$1" "$1" "$1" >"$apps/fixture-${1,,}.desktop"
}

# track SECONDS ENTRY...: settings that track the entries (a fixture's name, or a path).
track() {
    local entry list=
    for entry in "${@:2}"; do
        [[ $entry == /* ]] || entry=$apps/fixture-${entry,,}.desktop
        list+="${list:+, }$entry"
    done
    printf '[General]\nNudgewatch.trackedAppPaths=%s\nNudgewatch.idleThreshold=%s\n' "$list" "$1" >"$settings"
}

# e2e_sway START ARGUMENTS...: a session started by START (sway_session_start or
# labwc_session_start) in a scratch HOME, with copies of the program and the
# AT-SPI checks the session's user can run, wherever the build folder is.
e2e_sway() {
    e2e_logs+=("$work/logs/clients.log")
    e2e_as=(sway_session_as)
    e2e_home
    export XDG_DATA_DIRS=/usr/share SHELL=/bin/sh
    cp "$program" "$atspi_helper" "$work" && program=$work/${program##*/} atspi_helper=$work/atspi_helper.py
    "$@" --logs "$work/logs" || exit 1
    sway_session_own "$work"
}
# sway_client COMMAND...: a client of that session, its output in clients.log.
sway_client() { sway_session_as "$@" >>"$work/logs/clients.log" 2>&1 & adopt $!; }

start_atspi() {
    XDG_DATA_DIRS=/usr/share /usr/libexec/at-spi-bus-launcher --launch-immediately &>/dev/null &
    adopt $!
    gdbus wait --session --timeout 10 org.a11y.Bus || fail "the accessibility bus did not start"
}
# start_program [ARGUMENTS...]: the program, readable over AT-SPI; sets main_pid.
start_program() {
    "${e2e_as[@]}" env QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1 "$program" "$@" >>"$work/nudgewatch.log" 2>&1 &
    main_pid=$!
    adopt "$main_pid"
}
has_exited() { ! kill -0 "$1" 2>/dev/null; }
# ended PID: waits up to ten seconds for a process of this shell to end; sets status.
ended() { wait_for 10 has_exited "$1" || return 1; wait "$1"; status=$?; }
# quits HOW [LIMIT]: the program ends after HOW, with a status below LIMIT (1: none but 0).
quits() {
    ended "$main_pid" || fail "the program did not end after $1"
    ((status < ${2:-1})) || fail "after $1 the program exited with $status"
}
# atspi CHECK ARGUMENTS...: one of atspi_helper.py's checks, e.g. "atspi row Foot Active".
atspi() { "${e2e_as[@]}" /usr/bin/python3 "$atspi_helper" "$@"; }

# window_of VAR PATTERN COMMAND...: starts the command, its output in $work/VAR.log,
# and sets VAR to its window, found by name or class.
window_of() {
    local -n e2e_window=$1
    "${@:3}" >"$work/$1.log" 2>&1 &
    adopt $!
    e2e_window=$("${e2e_as[@]}" timeout 20 xdotool search --sync --onlyvisible --name --class "$2" | head -n1)
    [ -n "$e2e_window" ] || fail "no window for $2"
}
activate() { timeout 10 xdotool windowactivate --sync "$1"; }
# sway_windows: each window of the sway session by its app_id (or X11 class), the focused one starred.
sway_windows() {
    sway_session_as swaymsg -t get_tree | python3 -c 'import json, sys
def walk(n):
    yield n
    for c in n.get("nodes", []) + n.get("floating_nodes", []): yield from walk(c)
for n in walk(json.load(sys.stdin)):
    if n.get("pid"): print(n.get("app_id") or n["window_properties"]["class"], "*" * n["focused"])'
}
x_active() { "${e2e_as[@]}" xprop -root _NET_ACTIVE_WINDOW | awk '{print $NF}'; }
settings_window() { xdotool search --onlyvisible --name '^Nudgewatch$' 2>/dev/null | head -n1; }
settings_shown() { [ -n "$(settings_window)" ]; }
card_down() { "${e2e_as[@]}" xwininfo -name "Nudgewatch reminder" 2>/dev/null | grep -q IsViewable; }
# card_centred [LEFT WIDTH]: the card is an override-redirect window at the top
# centre of the monitor spanning LEFT to LEFT + WIDTH (by default the screen).
card_centred() {
    local left=${1:-0} width=${2:-} geometry
    [ -n "$width" ] || width=$("${e2e_as[@]}" xwininfo -root | awk '/Width:/ {print $2}')
    geometry=$("${e2e_as[@]}" xwininfo -name "Nudgewatch reminder" | awk -v l="$left" -v s="$width" '/upper-left X/ {x = $4}
        /upper-left Y/ {y = $4} /Width:/ {w = $2} /Override Redirect State/ {o = $4}
        END {print x, y, w, o, (y == 0 && 2 * (x - l) + w == s && o == "yes") ? "centred" : "wrong"}')
    [[ $geometry == *centred ]] || fail "the card is not override-redirect at the top centre of a monitor $width wide from $left: $geometry"
}

# fullscreen_holds APP ON OFF: the window in front made fullscreen (ON, a command)
# ends APP's card and none drops past the threshold; leaving it (OFF) brings it back.
fullscreen_holds() {
    eval "$2" || fail "could not make the window in front fullscreen"
    wait_for 10 eval '! card_down' || fail "a fullscreen window in front left $1's card up"
    sleep 4
    ! card_down || fail "a card dropped over a fullscreen window: $(atspi --wait 0 cards)"
    eval "$3" || fail "could not end fullscreen"
    wait_for 15 card_down || fail "no card for $1 once fullscreen ended"
}

# private_bus system|session: a bus of that type that starts no service of the
# machine, open to everyone on it; exports its address.
private_bus() {
    bus_config "$work/$1.conf" "$1"
    dbus-daemon --nofork --config-file="$work/$1.conf" --address="unix:dir=$work" --print-address=3 \
        3>"$work/$1.address" >"$work/$1-bus.log" 2>&1 &
    adopt $!
    wait_for 10 test -s "$work/$1.address" || fail "the $1 bus did not start"
    export "DBUS_${1^^}_BUS_ADDRESS=$(head -n 1 "$work/$1.address")"
}
# mock ARGUMENTS...: python3-dbusmock, with the system's Python, which has the dbus module.
mock() { /usr/bin/python3 -m dbusmock "$@" >>"$work/mocks.log" 2>&1 & adopt $!; }
# mock_object NAME PATH INTERFACE: an empty mock on the session bus, once its name is owned.
mock_object() { mock "$@" && gdbus wait --session --timeout 20 "$1" || fail "the mock $1 did not start"; }
# mock_call BUS NAME PATH METHOD ARGUMENTS...: one of the mock's own methods
# (arguments in GVariant text); prints its answer.
mock_call() { gdbus call --"$1" -d "$2" -o "$3" -m "org.freedesktop.DBus.Mock.$4" "${@:5}" || fail "mock call $4 failed"; }
login1() { dbus-send --system --reply-timeout=5000 --print-reply --dest=org.freedesktop.login1 "$@"; }
# dbusmock's logind on the system bus, with this user's session c1 as XDG_SESSION_ID says.
mock_logind() {
    export XDG_SESSION_ID=c1
    mock --system --template logind
    wait_for 20 login1 /org/freedesktop/login1 org.freedesktop.DBus.Mock.AddSession string:c1 \
        string:seat0 "uint32:$(id -u)" string:user boolean:true || fail "no session in mock logind"
}
lock_hint() {
    login1 /org/freedesktop/login1/session/c1 org.freedesktop.login1.Session.SetLockedHint \
        "boolean:$1" >/dev/null || fail "SetLockedHint($1) failed"
}

# lines PATTERN: how many lines of $log match; heard N PATTERN: waits for N of them.
lines() { grep -c -- "$1" "$log"; }
heard() {
    local count=$1 pattern=$2
    wait_for 20 eval '[ "$(lines "$pattern")" -ge "$count" ]' || fail "no $count × \"$pattern\""
}
# start_probe SOURCES: the presence probe (2-second threshold) writing to $log; it must
# name these sources first (a pattern).
start_probe() {
    "${e2e_as[@]}" "$probe" 2000 >"$log" 2>"$work/probe.err" &
    adopt $!
    heard 1 "presence sources:"
    [[ $(head -n 1 "$log") == "presence sources: "$1 ]] || fail "sources: $(head -n 1 "$log")"
}
# began PATTERN MIN MAX: the last such change began MIN to MAX milliseconds before it was told.
began() {
    local ms
    ms=$(grep -- "$1" "$log" | tail -n 1 | awk '{print $NF}')
    ((ms >= $2 && ms < $3)) || fail "\"$1\" counted from $ms ms before, not $2-$3"
}
# probe_quiet [EXPECTED]: the probe wrote nothing to stderr but lines holding EXPECTED.
probe_quiet() {
    local errors
    errors=$(if [ -n "${1:-}" ]; then grep -vF -- "$1" "$work/probe.err"; else cat "$work/probe.err"; fi)
    [ -z "$errors" ] || fail "the probe wrote errors: $errors"
}
