# Sourced by the scripts: makes sure an X display is reachable, starting Xvfb when none is set.
ensure_display() {
  if [ -n "${DISPLAY:-}" ] && xdpyinfo >/dev/null 2>&1; then
    return 0
  fi
  local n
  for n in $(seq 90 120); do
    [ -e "/tmp/.X11-unix/X$n" ] || [ -e "/tmp/.X$n-lock" ] || break
  done
  Xvfb ":$n" -screen 0 1920x1080x24 -nolisten tcp -noreset >/dev/null 2>&1 &
  MM_XVFB_PID=$!
  export DISPLAY=":$n"
  trap 'kill "$MM_XVFB_PID" 2>/dev/null || true' EXIT
  local i
  for i in $(seq 1 200); do
    xdpyinfo >/dev/null 2>&1 && return 0
    kill -0 "$MM_XVFB_PID" 2>/dev/null || break
    sleep 0.05
  done
  echo "Xvfb did not start on $DISPLAY" >&2
  return 1
}
