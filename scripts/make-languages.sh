#!/bin/sh
# Builds languages.ini at the repository root from the UTF-8 sources in
# resources/languages (one file per language, named after its section).
# The profile-file functions read Unicode only from a UTF-16 file that starts
# with a byte-order mark, so the result is UTF-16 LE with BOM and CRLF lines.
#
#   scripts/make-languages.sh           write languages.ini
#   scripts/make-languages.sh --check   fail when languages.ini is out of date
#
# To change a text, edit resources/languages/<language>.txt and run this script.
set -eu

root=$(cd "$(dirname "$0")/.." && pwd)
sources="$root/resources/languages"
target="$root/languages.ini"
languages="en de fr es it nl pl pt-BR"

build() {
  printf '\357\273\277'  # UTF-8 BOM, converted into the UTF-16 BOM below
  printf '; Texts of TARN by number, one section per language.\n'
  printf '; Generated from resources/languages/*.txt by scripts/make-languages.sh; edit those files.\n'
  for language in $languages; do
    printf '\n[%s]\n' "$language"
    # Drop a final missing newline and trailing carriage returns of the source.
    sed -e 's/\r$//' "$sources/$language.txt"
  done
}

generated=$(mktemp)
trap 'rm -f "$generated"' EXIT
build | sed -e 's/$/\r/' | iconv -f UTF-8 -t UTF-16LE >"$generated"

if [ "${1:-}" = "--check" ]; then
  if cmp -s "$generated" "$target"; then
    exit 0
  fi
  echo "languages.ini is out of date: run scripts/make-languages.sh" >&2
  exit 1
fi
cp "$generated" "$target"
