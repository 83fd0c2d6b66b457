#!/bin/sh
# Time until the wizard is on screen with the software page first, for a
# catalogue of 10,000 entries against one of a single entry, side by side in
# one Wine session (A B A B ...). The difference of the medians is what the
# 10,000 entries cost: loading the catalogue and making the page's list.
#   bench/software-page.sh [runs]      (needs the Windows build in build/win)
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
. "$root/scripts/lib.sh"
build="$root/build/win"
export TARN_WINEPREFIX="$build/wineprefix-bench"
export WINEPREFIX="$TARN_WINEPREFIX"
work=$(mktemp -d)
ensure_display
trap 'stop_wineserver "$TARN_WINEPREFIX"; stop_display; rm -rf "$work"' EXIT

# Ten sections of 1,000 items: four items of 249 children each (a level
# holds at most 255 items).
awk 'BEGIN {
  print "[settings]\r"
  for (s = 0; s < 10; ++s) {
    printf "[Section %d]\r\ndescription=Section %d\r\n", s, s
    for (i = 0; i < 4; ++i) {
      printf "command.%d=*\r\ndescription.%d=Group %d\r\n", i, i, i
      for (c = 0; c < 249; ++c) {
        printf "command.%d.%d=setup.exe /q\r\ndescription.%d.%d=Package %d.%d.%d\r\n", \
          i, c, i, c, s, i, c
      }
    }
  }
}' >"$work/large.ini"
printf '[settings]\r\n[Section 0]\r\ncommand.0=setup.exe /q\r\ndescription.0=Package\r\n' \
  >"$work/small.ini"

win() { "$root/scripts/wine-run.sh" winepath -w "$1" 2>/dev/null; }
large=$(win "$work/large.ini")
small=$(win "$work/small.ini")
# Both write a log, so that the two command lines differ only in the catalogue.
cd "$build"
"$root/scripts/wine-run.sh" ./window_timing.exe "${1:-9}" \
  -- ./tarn.exe "/ini=$large" /skipsettings "/log=$(win "$work/large.log")" \
  -- ./tarn.exe "/ini=$small" /skipsettings "/log=$(win "$work/small.log")" >"$work/times"
cat "$work/times"
awk '/^A median/ { a = $3 } /^B median/ { b = $3 }
  END { printf "10,000 entries cost %.1f ms (A median - B median); goal: under 1,000 ms\n", a - b }' \
  "$work/times"
