#!/usr/bin/env bash
# Runs a command against a fresh Xvfb on a free display in :40-:49, then stops
# exactly the server it started. Usage: platform_x11_session.sh command [args...]
set -u
. "$(dirname "$0")/platform_x11_display.sh"

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

start_xvfb || exit 1
DISPLAY=$display "$@"
