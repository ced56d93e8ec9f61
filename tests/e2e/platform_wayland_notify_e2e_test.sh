#!/usr/bin/env bash
# sway with Xwayland turned off, in a temporary HOME, tracking foot and Weston's
# terminal (not running) with a 3-second threshold. The reminder card needs an X
# server, so the program runs on Wayland itself, says why in its window, and
# reminds through the desktop's notification server (python3-dbusmock, offering
# actions): the idle terminal gets a notification with Open and Snooze, foot in
# front never does, and the server's Snooze ends that reminder.
set -uo pipefail

program=${1:?usage: platform_wayland_notify_e2e_test.sh path/to/nudgewatch}
. "$(dirname "$0")/../../scripts/sway-session"
. "$(dirname "$0")/e2e_helper.sh"
e2e_logs+=("$work/notify.log")
e2e_sway sway_session_start --no-xwayland
printf '[Desktop Entry]\nType=Application\nName=Weston Terminal\nExec=weston-terminal\n' >"$apps/weston.desktop"
track 3 /usr/share/applications/foot.desktop "$apps/weston.desktop"
sway_client /usr/bin/python3 -m dbusmock --template notification_daemon -l "$work/notify.log" \
    -p '{"capabilities": "body actions"}'
sway_client /usr/libexec/at-spi-bus-launcher --launch-immediately
sway_client foot
sway_session_as gdbus wait --session --timeout 10 org.freedesktop.Notifications || fail "no notification server"

start_program
atspi says "Reminders come as desktop notifications" || fail "the window does not say why reminders come as notifications"
sway_session_as swaymsg '[app_id=^foot$] focus' >/dev/null || fail "foot did not open"
notified() { grep -c "Notify .*$1" "$work/notify.log"; }
wait_for 15 eval '[ "$(notified Weston)" -ge 1 ]' || fail "no notification for the idle terminal"
grep "Notify .*Weston" "$work/notify.log" | head -n 1 | grep -q 'Open.*Snooze' || fail "no Open and Snooze actions"
atspi row Foot Active || fail "foot in front does not read \"Active\""
[ "$(notified Foot)" = 0 ] || fail "a notification for foot, in front"
# The server's Snooze on the one notification (replaced, never stacked: id 1)
# restarts the terminal's idle clock: its next reminder comes after 3 s, not at
# once, nor only when the reminder would have hidden itself (15 s).
sent=$(grep -c "Notify " "$work/notify.log")
sway_session_as gdbus call --session -d org.freedesktop.Notifications -o /org/freedesktop/Notifications \
    -m org.freedesktop.DBus.Mock.EmitSignal org.freedesktop.Notifications ActionInvoked us \
    "[<uint32 1>, <'snooze'>]" >/dev/null || fail "could not send Snooze"
sleep 2
[ "$(grep -c "Notify " "$work/notify.log")" = "$sent" ] || fail "a reminder came again right after Snooze"
wait_for 10 eval '[ "$(grep -c "Notify " "$work/notify.log")" -gt "$sent" ]' || fail "no reminder after the snooze ran out"
has_exited "$main_pid" && fail "the program ended"
echo "PASS: without Xwayland, reminders came as notifications with Open and Snooze, and the window said why"
