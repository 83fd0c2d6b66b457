#!/bin/sh
# Builds tarn.exe and runs it under Wine on the bundled example configuration,
# unattended as an administrator's setup would (the wizard appears, starts the
# installation after 5 seconds and finishes by itself, without the restart),
# then shows the log it wrote and the files the example installed.
#   scripts/run-example.sh [tarn.exe options...]
# Options given replace the unattended ones, e.g. scripts/run-example.sh
# /language=de to click through the wizard in German.
set -eu
. "$(dirname "$0")/lib.sh"

"$TARN_ROOT/scripts/install-deps.sh"
build="$TARN_ROOT/build/win"
build_lane "$build" -DCMAKE_TOOLCHAIN_FILE="$TARN_ROOT/cmake/mingw-w64.cmake" \
  -DCMAKE_BUILD_TYPE=Release >/dev/null

# wine-run.sh takes WINEPREFIX before TARN_WINEPREFIX: set both, so that
# winepath and tarn.exe share the one prefix whatever the caller exported.
export TARN_WINEPREFIX="$build/wineprefix-example"
export WINEPREFIX="$TARN_WINEPREFIX"
ensure_display
trap 'stop_wineserver "$TARN_WINEPREFIX"; stop_display' EXIT

log="$build/example.log"
rm -f "$log"
ini=$("$TARN_ROOT/scripts/wine-run.sh" winepath -w "$TARN_ROOT/examples/install.ini" 2>/dev/null)
winlog=$("$TARN_ROOT/scripts/wine-run.sh" winepath -w "$log" 2>/dev/null)

demo="$TARN_WINEPREFIX/drive_c/TarnDemo"
rm -rf "$demo"
[ "$#" -gt 0 ] || set -- /autoinstall=5 /skiprestart
set +e
"$TARN_ROOT/scripts/wine-run.sh" "$build/tarn.exe" "/log=$winlog" "/ini=$ini" "$@"
code=$?
set -e
echo "tarn.exe exit code: $code"
echo "---- $log"
if [ -f "$log" ]; then
  iconv -f UTF-16LE -t UTF-8 "$log"
else
  echo "(no log was written)"
fi
echo "---- C:\\TarnDemo (what the example installed)"
if [ -d "$demo" ]; then
  for file in "$demo"/*; do
    printf '%s: ' "$(basename "$file")"
    tr -d '\r' <"$file"
  done
else
  echo "(nothing was installed)"
fi
exit "$code"
