#!/bin/sh
# Copies the screenshots the end-to-end lane made (build/win/e2e-artifacts)
# over the ones committed in docs/screenshots, by name. Run it after
# `scripts/test.sh windows` when a page or dialog changed, look at the
# pictures, and commit them.
#   --scale 150|200  only the pictures of the wizard at that display scale
#                    (scaled-<percent>-*, made by case_wizard_scaled)
set -eu
pattern='*.png'
if [ "${1:-}" = --scale ]; then
  case ${2:-} in
    150 | 200) pattern="scaled-$2-*.png" ;;
    *) echo "usage: $0 [--scale 150|200]" >&2; exit 2 ;;
  esac
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
echo "$copied screenshots refreshed"
