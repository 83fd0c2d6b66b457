#!/bin/sh
# Copies the screenshots the end-to-end lane made (build/win/e2e-artifacts)
# over the ones committed in docs/screenshots, by name. Run it after
# `scripts/test.sh windows` when a page or dialog changed, look at the
# pictures, and commit them.
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
echo "$copied screenshots refreshed"
