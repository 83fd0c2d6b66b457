#!/bin/sh
# Time until the wizard is on screen, against the time Wine takes to show a
# minimal Win32 window, side by side in one Wine session (A B A B ...).
#   bench/time-to-wizard.sh [runs]      (needs the Windows build in build/win)
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
. "$root/scripts/lib.sh"
build="$root/build/win"
export TARN_WINEPREFIX="$build/wineprefix-bench"
export WINEPREFIX="$TARN_WINEPREFIX"
ensure_display
trap 'stop_wineserver "$TARN_WINEPREFIX"; stop_display' EXIT
ini=$("$root/scripts/wine-run.sh" winepath -w "$root/examples/install.ini" 2>/dev/null)
cd "$build"
"$root/scripts/wine-run.sh" ./window_timing.exe "${1:-9}" -- ./tarn.exe "/ini=$ini" \
  -- ./minimal_window.exe
