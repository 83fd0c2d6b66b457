#!/bin/sh
# Installs what a fresh Debian 12 machine lacks for every lane of TARN: the
# native build and tests, the sanitizer and fuzz builds (clang), the
# benchmarks, the mingw-w64 cross build, the Wine lane with its own X
# server, the JSON Schema validator the result file is checked with, the
# release (python3 zips it and writes its bill of materials, osslsigncode
# signs, openssl makes the lane's throwaway certificate), the JSON and XML
# libraries the tools read result files and other package managers' lists
# with (nlohmann/json, pugixml), and the browser tarn_report's page is checked
# in. Does nothing when everything is already there.
set -eu

packages="cmake ninja-build g++ clang libclang-rt-14-dev googletest libgtest-dev libgmock-dev
libbenchmark-dev clang-format g++-mingw-w64-x86-64 wine wine64 xvfb fonts-wine fonts-liberation
imagemagick xdotool x11-utils python3 python3-jsonschema osslsigncode openssl
nlohmann-json3-dev libpugixml-dev chromium"

missing=""
for p in $packages; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing="$missing $p"
  fi
done

if [ -z "$missing" ]; then
  echo "install-deps: everything is installed"
  exit 0
fi

echo "install-deps: installing$missing"
SUDO=""
[ "$(id -u)" -eq 0 ] || SUDO="sudo"
export DEBIAN_FRONTEND=noninteractive
$SUDO apt-get update -qq
# shellcheck disable=SC2086
$SUDO apt-get install -y -qq $missing >/dev/null
echo "install-deps: done"
