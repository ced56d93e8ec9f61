#!/usr/bin/env bash
# Runs a command against a fresh X server on a free display in :40-:49, the
# desktop-layer tests' range, without a window manager: the tests start and stop
# their own. Usage: platform_x11_session.sh command [args...]
exec "$(dirname "$0")/../../scripts/xvfb-session" --displays 40-49 --no-wm -- "$@"
