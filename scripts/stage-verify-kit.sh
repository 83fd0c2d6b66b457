#!/bin/sh
# Puts the verification kit for real Windows together from a Windows build:
# the folder an administrator unzips to C:\TARN-verify (tarn.exe and its
# translations, the contract suite with the sample program it reads, the
# files of verify/ and the report folder Windows Sandbox needs before it
# starts) and, when a third argument names one, a zip holding that folder.
# Usage: scripts/stage-verify-kit.sh <windows build folder> <kit folder> [<zip file>]
set -eu
build=${1:?usage: scripts/stage-verify-kit.sh <windows build folder> <kit folder> [<zip file>]}
kit=${2:?usage: scripts/stage-verify-kit.sh <windows build folder> <kit folder> [<zip file>]}
zip=${3:-}
root=$(cd "$(dirname "$0")/.." && pwd)

# Only an earlier kit is replaced, never a folder that holds something else.
if [ -d "$kit" ] && [ -n "$(ls -A "$kit")" ] && [ ! -f "$kit/verify.cmd" ]; then
  echo "stage-verify-kit: $kit is not an earlier kit; not replacing it" >&2
  exit 1
fi
rm -rf "$kit"
mkdir -p "$kit/report"
for file in tarn.exe languages.ini tarn_contract_win32.exe versioned_sample.exe; do
  cp "$build/$file" "$kit/"
done
# Windows' cmd misreads a batch file with bare line feeds; every text file
# of the kit gets Windows line ends, whatever the checkout has.
for file in tarn-verify.wsb verify.cmd accounts-verify.ini README.txt; do
  sed 's/\r*$/\r/' "$root/verify/$file" >"$kit/$file"
done
# Not every zip tool keeps an empty folder.
printf 'verify.cmd writes its report into this folder.\r\n' >"$kit/report/README.txt"

if [ -n "$zip" ]; then
  zip=$(cd "$(dirname "$zip")" && pwd)/$(basename "$zip")
  rm -f "$zip"
  (cd "$(dirname "$kit")" && python3 -m zipfile -c "$zip" "$(basename "$kit")")
fi
