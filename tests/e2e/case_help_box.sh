# "/?" shows the help message box in the chosen language; a key press closes
# it and the program ends with code 0. Screenshots are kept.
help_box_in() {
  language=$1
  shift
  caption=$(language_text "$language" 203)
  [ -n "$caption" ] || fail "languages.ini has no text 203 in [$language]" || return 1
  wine_run "$tarn" "$@" "/?" &
  pid=$!
  id=$(wait_window "$caption" 60) || { kill "$pid" 2>/dev/null; fail "no window '$caption'"; return 1; }
  sleep 1
  screenshot "help-$language"
  xdotool windowactivate --sync "$id" 2>/dev/null
  xdotool key --window "$id" Return
  i=0
  while kill -0 "$pid" 2>/dev/null && [ "$i" -lt 30 ]; do sleep 1; i=$((i + 1)); done
  if kill -0 "$pid" 2>/dev/null; then
    kill "$pid"
    fail "the box did not close on Return"
    return 1
  fi
  wait "$pid"
  code=$?
  [ "$code" -eq 0 ] || fail "exit code $code"
}

case_help_box() {
  help_box_in en /language=en || return 1
  help_box_in de /language=de
}
