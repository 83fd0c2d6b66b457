#!/bin/sh
# The fleet page in a real browser: tarn_report over the sample folder, the
# page loaded by headless Chromium with a filter in its address, and the
# document as the script left it checked: the script ran, the filter hid the
# machines that did not fail, and a machine's name stayed text.
# Usage: check_page.sh <tarn_report> <sample folder> <work folder>
set -eu
tool=$1
folder=$2
work=$3
mkdir -p "$work"
"$tool" "$folder" --html "$work/report.html" --csv "$work/report.csv" >"$work/tool.txt" 2>&1
grep -q '7 machines, 1 unreadable files' "$work/tool.txt" || { cat "$work/tool.txt"; exit 1; }
browser=$(command -v chromium || command -v chromium-browser || true)
[ -n "$browser" ] || { echo "check_page: no chromium (scripts/install-deps.sh installs it)"; exit 1; }
# --no-sandbox: CI runs as root, where Chromium's sandbox refuses to start.
timeout 90 "$browser" --headless --no-sandbox --disable-gpu --user-data-dir="$work/profile" \
  --dump-dom "file://$work/report.html#outcome=failed" >"$work/dom.html" 2>"$work/browser.txt" ||
  { tail -n 5 "$work/browser.txt"; exit 1; }
fail() { echo "check_page: $* ($work/dom.html)"; exit 1; }
grep -q '<body data-script="ran">' "$work/dom.html" || fail "the page's script did not run"
grep -q '2 of 7 machines shown' "$work/dom.html" || fail "the outcome filter did not apply"
[ "$(grep -c '<tr data-outcome="failed">' "$work/dom.html")" = 2 ] || fail "not two failed rows shown"
[ "$(grep -c '<tr data-outcome="[a-z]*" hidden="">' "$work/dom.html")" = 5 ] ||
  fail "not five rows hidden"
grep -q '<img' "$work/dom.html" && fail "a machine's name became markup"
echo "check_page: the page filters in Chromium"
