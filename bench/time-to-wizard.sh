#!/bin/sh
# Time until the wizard is on screen, against the system's own Wizard97 sheet
# holding one page (bare_wizard.exe), side by side in one Wine session
# (A B A B ...), at 100 % and at 150 % display scale.
#   bench/time-to-wizard.sh [runs]      (needs the Windows build in build/win)
#   BENCH_FLOOR=minimal_window bench/time-to-wizard.sh   against a bare window
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
. "$root/scripts/lib.sh"
build="$root/build/win"
export TARN_WINEPREFIX="$build/wineprefix-bench"
export WINEPREFIX="$TARN_WINEPREFIX"
ensure_display
trap 'stop_wineserver "$TARN_WINEPREFIX"; stop_display' EXIT
floor=${BENCH_FLOOR:-bare_wizard}

# The prefix's display scale in DPI; Wine reads it when a program starts.
set_dpi() {
  stop_wineserver "$TARN_WINEPREFIX"
  for key in 'HKCU\Control Panel\Desktop' \
    'HKLM\System\CurrentControlSet\Hardware Profiles\Current\Software\Fonts'; do
    "$root/scripts/wine-run.sh" reg add "$key" /v LogPixels /t REG_DWORD /d "$1" /f \
      >/dev/null 2>&1
  done
  stop_wineserver "$TARN_WINEPREFIX"
}

ini=$("$root/scripts/wine-run.sh" winepath -w "$root/examples/install.ini" 2>/dev/null)
cd "$build"
for dpi in 96 144; do
  set_dpi "$dpi"
  echo "== $((dpi * 100 / 96)) %: tarn.exe against $floor.exe"
  "$root/scripts/wine-run.sh" ./window_timing.exe "${1:-9}" -- ./tarn.exe "/ini=$ini" \
    -- "./$floor.exe"
done
set_dpi 96
