# Source it: starts a private Xvfb display for screenshots and stops it again.
# The screen is large enough for every window laid out at 144 DPI; the gui
# prefix's virtual desktop has the same size (scripts/wine).

varnox_start_xvfb() {
  local number
  for number in $(seq 91 120); do
    [ -e "/tmp/.X11-unix/X$number" ] || [ -e "/tmp/.X$number-lock" ] || break
  done
  Xvfb ":$number" -screen 0 ${VARNOX_SCREEN:-2560x1600}x24 -nolisten tcp >/dev/null 2>&1 &
  VARNOX_XVFB_PID=$!
  export DISPLAY=":$number"
  local tries
  for tries in $(seq 1 50); do
    [ -e "/tmp/.X11-unix/X$number" ] && break
    sleep 0.1
  done
  # The gui prefix's wineserver remembers the display it started with.
  WINEPREFIX=$VARNOX_BUILD/wine-gui wineserver -k 2>/dev/null || true
}

varnox_stop_xvfb() {
  kill "$VARNOX_XVFB_PID" 2>/dev/null || true
  wait "$VARNOX_XVFB_PID" 2>/dev/null || true
}
