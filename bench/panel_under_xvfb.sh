#!/usr/bin/env bash
# Runs the panel benchmarks that need an X server on a private Xvfb (with openbox,
# and xcompmgr when given "composited"): panel_under_xvfb.sh <build dir> [composited]
set -euo pipefail
build=$1
pids=()
cleanup() {
    for ((i = ${#pids[@]} - 1; i >= 0; i--)); do
        kill "${pids[i]}" 2>/dev/null || true
        wait "${pids[i]}" 2>/dev/null || true
    done
}
trap cleanup EXIT
display=
for n in 58 59 57 56; do
    if [ ! -e "/tmp/.X$n-lock" ] && [ ! -e "/tmp/.X11-unix/X$n" ]; then display=$n; break; fi
done
[ -n "$display" ] || { echo "no free display" >&2; exit 1; }
Xvfb ":$display" -screen 0 1512x982x24 -nolisten tcp -noreset >/dev/null 2>&1 &
pids+=($!)
export DISPLAY=":$display"
for _ in $(seq 100); do xdpyinfo >/dev/null 2>&1 && break; sleep 0.05; done
openbox --sm-disable >/dev/null 2>&1 &
pids+=($!)
if [ "${2:-}" = composited ]; then
    xcompmgr >/dev/null 2>&1 &
    pids+=($!)
fi
sleep 1
echo "== panel open timing on Xvfb ${2:-without a compositor}"
"$build/bench/panel_open"
echo "== panel CPU on Xvfb ${2:-without a compositor}"
"$build/bench/panel_cpu"
