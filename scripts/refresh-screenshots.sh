#!/bin/sh
# Copies the screenshots the end-to-end lane made (build/win/e2e-artifacts)
# over the ones committed in docs/screenshots, by name. Run it after
# `scripts/test.sh windows` when a page or dialog changed, look at the
# pictures, and commit them.
#
#   scripts/refresh-screenshots.sh [--scale 150|200] [language ...]
#
#   --scale 150|200  only the pictures of the wizard at that display scale
#                    (scaled-<percent>-*, made by case_wizard_scaled)
# With language codes (fr es ...) it also adds the lane's pictures of those
# languages (named *-<code>.png) that docs/screenshots does not have yet.
set -eu
pattern='*.png'
if [ "${1:-}" = --scale ]; then
  case ${2:-} in
    150 | 200) pattern="scaled-$2-*.png" ;;
    *) echo "usage: $0 [--scale 150|200] [language ...]" >&2; exit 2 ;;
  esac
  shift 2
fi
root=$(cd "$(dirname "$0")/.." && pwd)
artifacts="$root/build/win/e2e-artifacts"
copied=0
for shot in "$root"/docs/screenshots/$pattern; do
  name=$(basename "$shot")
  if [ -f "$artifacts/$name" ]; then
    cp "$artifacts/$name" "$shot"
    copied=$((copied + 1))
  else
    echo "not made by the last run: $name" >&2
  fi
done
for language in "$@"; do
  for shot in "$artifacts"/*-"$language".png; do
    [ -f "$shot" ] || continue
    name=$(basename "$shot")
    [ -f "$root/docs/screenshots/$name" ] && continue
    cp "$shot" "$root/docs/screenshots/$name"
    copied=$((copied + 1))
  done
done
echo "$copied screenshots refreshed"
