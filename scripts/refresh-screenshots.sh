#!/bin/sh
# Copies the screenshots the end-to-end lane made (build/win/e2e-artifacts)
# over the ones committed in docs/screenshots, by name. Run it after
# `scripts/test.sh windows` when a page or dialog changed, look at the
# pictures, and commit them.
#
#   scripts/refresh-screenshots.sh [language ...]
#
# With language codes (fr es ...) it also adds the lane's pictures of those
# languages (named *-<code>.png) that docs/screenshots does not have yet.
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
artifacts="$root/build/win/e2e-artifacts"
copied=0
for shot in "$root"/docs/screenshots/*.png; do
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
