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
# the Wine lane. Sets TARN_XVFB_PID when it started one. The server picks a
# free display number itself (-displayfd): lock files left in /tmp by servers
# that died with an earlier run must not make every number look taken.
ensure_display() {
  if [ -n "${DISPLAY:-}" ]; then
    return 0
  fi
  number_file=$(mktemp)
  Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$number_file" >/dev/null 2>&1 &
  TARN_XVFB_PID=$!
  tries=0
  while [ ! -s "$number_file" ] && [ $tries -lt 100 ]; do
    kill -0 "$TARN_XVFB_PID" 2>/dev/null || break
    sleep 0.1
    tries=$((tries + 1))
  done
  number=$(tr -dc 0-9 <"$number_file")
  rm -f "$number_file"
  if [ -z "$number" ]; then
    echo "could not start a private X server (Xvfb)" >&2
    stop_display
    return 1
  fi
  export DISPLAY=":$number"
  return 0
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
