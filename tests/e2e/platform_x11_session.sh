#!/usr/bin/env bash
# Runs a command against a fresh Xvfb on a free display in :40-:49, then stops
# exactly the server it started. Usage: platform_x11_session.sh command [args...]
set -u

work=$(mktemp -d)
xvfb_pid=
cleanup() {
  if [ -n "$xvfb_pid" ]; then
    kill "$xvfb_pid" 2>/dev/null
    wait "$xvfb_pid" 2>/dev/null
  fi
  rm -rf "$work"
}
trap cleanup EXIT
trap 'exit 130' INT TERM

display=
for n in $(seq 40 49); do
  [ -e "/tmp/.X$n-lock" ] && continue
  : >"$work/ready"
  # -displayfd: only this server writes its number here, once it accepts clients.
  Xvfb ":$n" -screen 0 1280x800x24 -nolisten tcp -noreset -displayfd 3 3>"$work/ready" \
    >"$work/xvfb.log" 2>&1 &
  xvfb_pid=$!
  for _ in $(seq 100); do
    [ -s "$work/ready" ] && break
    kill -0 "$xvfb_pid" 2>/dev/null || break
    sleep 0.05
  done
  if [ -s "$work/ready" ] && kill -0 "$xvfb_pid" 2>/dev/null; then
    display=":$n"
    break
  fi
  kill "$xvfb_pid" 2>/dev/null
  wait "$xvfb_pid" 2>/dev/null
  xvfb_pid=
done
if [ -z "$display" ]; then
  echo "platform_x11_session: no free X display in :40-:49" >&2
  exit 1
fi

DISPLAY=$display "$@"
