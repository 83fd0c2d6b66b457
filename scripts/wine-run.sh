#!/bin/sh
# Runs a Windows test executable under Wine with the lane's own prefix.
# CMake's CROSSCOMPILING_EMULATOR calls this with the program and its arguments.
: "${WINEPREFIX:=${TARN_WINEPREFIX:-$PWD/wineprefix}}"
export WINEPREFIX WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
exec wine "$@"
