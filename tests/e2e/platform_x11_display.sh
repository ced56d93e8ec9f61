# Sourced by the desktop-layer e2e scripts. start_xvfb starts an Xvfb on a free
# display in :40-:49 and sets xvfb_pid and display; it never touches a display
# another server holds. Needs $work (a scratch folder).
start_xvfb() {
  display=
  xvfb_pid=
  local n
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
      return 0
    fi
    kill "$xvfb_pid" 2>/dev/null
    wait "$xvfb_pid" 2>/dev/null
    xvfb_pid=
  done
  echo "no free X display in :40-:49" >&2
  return 1
}
