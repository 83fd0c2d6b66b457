#!/bin/sh
# Runs a Windows program under Wine in the lane's own prefix, making the prefix
# on first use. CMake's CROSSCOMPILING_EMULATOR calls this with the program and
# its arguments; scripts call it the same way.
#
# TARN_WINEPREFIX (or WINEPREFIX) chooses the prefix; by default it is
# "wineprefix" in the current directory (the build folder under ctest).
set -e
: "${WINEPREFIX:=${TARN_WINEPREFIX:-$PWD/wineprefix}}"
WINEDEBUG=-all
WINEDLLOVERRIDES="mscoree,mshtml="
export WINEPREFIX WINEDEBUG WINEDLLOVERRIDES

mkdir -p "$(dirname "$WINEPREFIX")"
(
  flock 9
  if [ ! -f "$WINEPREFIX/.tarn-ready" ]; then
    wineboot -i >/dev/null 2>&1 || true
    # A crash must not look like success: no debugger, so the process fails.
    wine reg add 'HKLM\Software\Microsoft\Windows NT\CurrentVersion\AeDebug' \
      /v Debugger /t REG_SZ /d '' /f >/dev/null 2>&1 || true
    wine reg add 'HKLM\Software\Microsoft\Windows NT\CurrentVersion\AeDebug' \
      /v Auto /t REG_SZ /d '0' /f >/dev/null 2>&1 || true
    # Wine draws the caption buttons with Marlett, which a new prefix lacks:
    # without it they show as the letters "0 1 r".
    if [ -f /usr/share/wine/fonts/marlett.ttf ]; then
      cp /usr/share/wine/fonts/marlett.ttf "$WINEPREFIX/drive_c/windows/Fonts/" 2>/dev/null || true
      wine reg add 'HKLM\Software\Microsoft\Windows NT\CurrentVersion\Fonts' \
        /v 'Marlett (TrueType)' /t REG_SZ /d marlett.ttf /f >/dev/null 2>&1 || true
    fi
    wineserver -w || true
    touch "$WINEPREFIX/.tarn-ready"
  fi
) 9>"$WINEPREFIX.lock"

exec wine "$@"
