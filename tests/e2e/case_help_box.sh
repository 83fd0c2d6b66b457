# "/?" prints the help to its standard output (a pipe, a file) and shows it in
# a window that fits a 1024x768 screen, scrolls down to the last help line,
# follows its frame when resized and closes on Return (OK) or Escape; the
# program then ends with code 0. Screenshots of the top, the end and the
# resized window are kept, in English and German.

# The number of resource.h's #define $1.
resource_number() {
  sed -n "s/^#define $1 \([0-9]*\).*/\1/p" "$root/resources/resource.h"
}

# The help of languages.ini section $1 as the program joins it: the version
# line and an empty line, then the texts IDS_HELP_FIRST to IDS_HELP_LAST with
# their escapes applied, line feeds only.
expected_help() {
  printf 'TARN %s\n\n' "$(sed -n 's/^project(tarn VERSION \([0-9.]*\) .*/\1/p' "$root/CMakeLists.txt")"
  n=$(resource_number IDS_HELP_FIRST)
  last=$(resource_number IDS_HELP_LAST)
  while [ "$n" -le "$last" ]; do
    language_text "$1" "$n" | tr -d '\n'
    n=$((n + 1))
  done | perl -pe 's/\\n/\n/g; s/\\r/\r/g; s/\\t/\t/g; s/\\\\/\\/g'
  echo
}

# The screen, once it has stopped changing, as artifact $1 (a window that has
# just appeared or scrolled may still be painting).
settled_screenshot() {
  screenshot "$1.next"
  i=0
  while [ "$i" -lt 20 ]; do
    mv "$artifacts/$1.next.png" "$artifacts/$1.png"
    screenshot "$1.next"
    if [ "$(compare -metric AE "$artifacts/$1.png" "$artifacts/$1.next.png" null: 2>&1)" = 0 ]; then
      rm -f "$artifacts/$1.next.png"
      return 0
    fi
    i=$((i + 1))
  done
  rm -f "$artifacts/$1.next.png"
}

# Window $1 lies wholly on the screen.
within_screen() {
  eval "$(xdotool getwindowgeometry --shell "$1")"
  screen=$(xdotool getdisplaygeometry)
  screen_width=${screen% *}
  screen_height=${screen#* }
  echo "    window ${WIDTH}x${HEIGHT} at $X,$Y on ${screen_width}x${screen_height}"
  [ "$X" -ge 0 ] && [ "$Y" -ge 0 ] && [ $((X + WIDTH)) -le "$screen_width" ] &&
    [ $((Y + HEIGHT)) -le "$screen_height" ]
}

# Dragging the lower right corner of window $1 makes it smaller, and the text
# and the button follow the frame.
resized() {
  eval "$(xdotool getwindowgeometry --shell "$1")"
  before="${WIDTH}x${HEIGHT}"
  pointer_to $((X + WIDTH - 2)) $((Y + HEIGHT - 2))
  xdotool mousedown 1 mousemove --sync $((X + WIDTH - 150)) $((Y + HEIGHT - 200)) mouseup 1 \
    2>/dev/null
  i=0
  while [ "$i" -lt 20 ]; do
    eval "$(xdotool getwindowgeometry --shell "$1")"
    [ "${WIDTH}x${HEIGHT}" != "$before" ] && break
    sleep 0.2
    i=$((i + 1))
  done
  echo "    resized from $before to ${WIDTH}x${HEIGHT}"
  [ "${WIDTH}x${HEIGHT}" != "$before" ] || fail "the window did not resize" || return 1
  settled_screenshot "help-$language-resized"
}

# help_in <language> <pipe|file> <closing key>
help_in() {
  language=$1
  caption=$(language_text "$language" 203)
  [ -n "$caption" ] || fail "languages.ini has no text 203 in [$language]" || return 1
  out="$artifacts/help-$language.txt"
  code_file="$artifacts/help-$language.code"
  rm -f "$out" "$code_file"
  if [ "$2" = pipe ]; then
    { wine_run "$tarn" "/language=$language" "/?"; echo $? >"$code_file"; } | cat >"$out" &
  else
    { wine_run "$tarn" "/language=$language" "/?" >"$out"; echo $? >"$code_file"; } &
  fi
  pid=$!
  id=$(wait_window "$caption" 60) || { fail "no window '$caption'"; return 1; }
  xdotool windowactivate --sync "$id" 2>/dev/null
  # Measured once the screen is still: the window is placed after it appears.
  settled_screenshot "help-$language"
  within_screen "$id" || fail "the help window does not fit on the screen" || return 1

  # The text has the focus: Ctrl+End scrolls to the last line.
  xdotool key --window "$id" ctrl+End 2>/dev/null
  i=0
  while [ "$i" -lt 20 ]; do
    settled_screenshot "help-$language-end"
    [ "$(compare -metric AE "$artifacts/help-$language.png" "$artifacts/help-$language-end.png" \
      null: 2>&1)" != 0 ] && break
    i=$((i + 1))
  done
  [ "$i" -lt 20 ] || fail "the help did not scroll" || return 1

  resized "$id" || return 1

  xdotool key --window "$id" "$3" 2>/dev/null
  i=0
  while kill -0 "$pid" 2>/dev/null && [ "$i" -lt 30 ]; do sleep 1; i=$((i + 1)); done
  kill -0 "$pid" 2>/dev/null && { fail "the window did not close on $3"; return 1; }
  wait "$pid"
  code=$(cat "$code_file")
  [ "$code" = 0 ] || fail "exit code $code" || return 1

  awk '!/\r$/ { bad = 1 } END { exit bad }' "$out" || fail "output lines do not end in CR LF" ||
    return 1
  expected_help "$language" >"$artifacts/help-$language.expected"
  tr -d '\r' <"$out" | cmp -s - "$artifacts/help-$language.expected" ||
    fail "the printed help differs from languages.ini (see help-$language.txt)"
}

case_help_box() {
  # The lane's screen is larger; this case needs the small one the help must
  # fit on, with Wine drawing the captions (the size checked is the whole
  # window's).
  . "$root/tests/e2e/wizard_lib.sh"
  wizard_screen_open || return 1
  rc=0
  help_in en pipe Return || rc=1
  [ "$rc" -ne 0 ] || help_in de file Escape || rc=1
  wizard_screen_close
  return $rc
}
