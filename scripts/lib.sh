# Shared helpers of the lane scripts. Source it; do not run it.

TARN_ROOT=$(cd "$(dirname "$0")/.." && pwd)
JOBS=${JOBS:-$(nproc)}

# Configures (once) and builds one lane's build folder. Lanes run inside
# "if", where the shell ignores "set -e": every step that can fail must say
# so with "|| return 1", here and in the lanes.
#   build_lane <folder> [cmake options...]
build_lane() {
  folder=$1
  shift
  cmake -S "$TARN_ROOT" -B "$folder" -G Ninja "$@" >/dev/null || return 1
  cmake --build "$folder" -j "$JOBS" || return 1
}

# Starts a private X server when there is no display, for the GUI phases of
# the Wine lane. Sets TARN_XVFB_PID when it started one.
ensure_display() {
  if [ -n "${DISPLAY:-}" ]; then
    return 0
  fi
  for n in 91 92 93 94 95 96 97 98 99; do
    if [ ! -e "/tmp/.X$n-lock" ]; then
      Xvfb ":$n" -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
      TARN_XVFB_PID=$!
      export DISPLAY=":$n"
      sleep 1
      return 0
    fi
  done
  echo "no free X display" >&2
  return 1
}

stop_display() {
  if [ -n "${TARN_XVFB_PID:-}" ]; then
    kill "$TARN_XVFB_PID" 2>/dev/null || true
    wait "$TARN_XVFB_PID" 2>/dev/null || true
    unset TARN_XVFB_PID
  fi
}

# Ends the wineserver of a prefix so the next phase starts clean.
stop_wineserver() {
  WINEPREFIX=$1 wineserver -k 2>/dev/null || true
  WINEPREFIX=$1 wineserver -w 2>/dev/null || true
}
