# The wizard's frame: with /nocancel neither Cancel, Escape nor Alt+F4 ends
# it and its system menu has no Close; the system menu's About entry opens
# the About dialog (English and German screenshots); dimension.width=80% on a
# 1024 pixel wide screen gives an 819 pixel wide window, and with
# dimension.update=1 the size it closed at is written back into the
# configuration and used by the next start.
. "$root/tests/e2e/wizard_lib.sh"

write_frame_ini() {
  {
    printf '[settings]\r\nComputer=E2E-PC\r\nWorkgroup=LAB\r\nAutoInstall=0\r\nAutoExit=0\r\n'
    [ -z "$2" ] || printf '%s\r\n' "$2"
    printf '[Commands]\r\ndescription=Commands\r\nselected=1,inherit\r\n'
    printf 'command.0=cmd /c exit 0\r\ndescription.0=Quick command\r\n'
  } >"$1"
}

# The height of the newest visible window beside those listed in $1 (a
# menu or a tooltip that has just opened), or nothing.
new_window_height() {
  for w in $(visible_windows); do
    echo "$1" | grep -qx "$w" && continue
    eval "$(xdotool getwindowgeometry --shell "$w")"
    echo "$HEIGHT"
    return 0
  done
  return 1
}

# Opens the system menu of window $1 with Alt+Space; prints the menu's height.
open_system_menu() {
  others=$(visible_windows)
  keys_to "$1" alt+space
  within 5 new_window_height "$others" >/dev/null || return 1
  new_window_height "$others"
}

no_cancel() {
  settings=$(language_text en 129)
  start_tarn wizard-nocancel "/ini=$(win_path "$artifacts/wizard-frame.ini")" /nocancel \
    /skiprestart
  id=$(wait_window "$settings" 60) || { fail "no window '$settings'"; return 1; }
  still_screenshot wizard-nocancel-en
  eval "$(xdotool getwindowgeometry --shell "$id")"
  click_at $((X + WIDTH - 58)) $((Y + HEIGHT - 25))
  keys_to "$id" Escape alt+F4
  sleep 1
  window_named "$id" "$settings" || fail "the wizard closed with /nocancel" || return 1
  xdotool search --name "^$(language_text en 182)\$" >/dev/null 2>&1 &&
    { fail "Cancel asked its question with /nocancel"; return 1; }
  [ ! -s "$artifacts/wizard-nocancel.code" ] || fail "the program ended with /nocancel" ||
    return 1
  nocancel_menu=$(open_system_menu "$id") || fail "no system menu on Alt+Space" || return 1
  still_screenshot system-menu-nocancel-en
  keys_to "$id" Escape Escape
  wizard_restart_wine
}

# about <language>: About from the system menu, by its entry's accelerator.
about() {
  lang=$1
  settings=$(language_text "$lang" 129)
  title=$(language_text "$lang" 118)
  letter=$(language_text "$lang" 186 | sed 's/.*&\(.\).*/\1/' | tr '[:upper:]' '[:lower:]')
  start_tarn "wizard-about-$lang" "/ini=$(win_path "$artifacts/wizard-frame.ini")" \
    "/language=$lang"
  id=$(wait_window "$settings" 60) || { fail "no window '$settings'"; return 1; }
  menu=$(open_system_menu "$id") || fail "no system menu on Alt+Space" || return 1
  still_screenshot "system-menu-$lang"
  if [ "$lang" = en ]; then
    echo "    system menu ${menu} pixels high, ${nocancel_menu} with /nocancel"
    [ "$nocancel_menu" -lt "$menu" ] || fail "the /nocancel system menu is not shorter" ||
      return 1
  fi
  xdotool key "$letter" 2>/dev/null
  box=$(wait_window "$title" 10) || { fail "no window '$title' on '$letter'"; return 1; }
  still_screenshot "about-$lang"
  keys_to "$box" Return
  within 5 window_gone "$box" || fail "About did not close on Return" || return 1
  wizard_restart_wine
}

# The configuration's dimension.width and dimension.height, "<w>x<h>".
written_size() {
  w=$(tr -d '\r' <"$artifacts/wizard-size.ini" | sed -n 's/^dimension\.width=//p')
  h=$(tr -d '\r' <"$artifacts/wizard-size.ini" | sed -n 's/^dimension\.height=//p')
  echo "${w}x$h"
}

opened_size() {
  eval "$(xdotool getwindowgeometry --shell "$1")"
  echo "${WIDTH}x$HEIGHT"
}

dimension() {
  settings=$(language_text en 129)
  write_frame_ini "$artifacts/wizard-size.ini" \
    "$(printf 'dimension.width=80%%\r\ndimension.update=1')"
  start_tarn wizard-size "/ini=$(win_path "$artifacts/wizard-size.ini")"
  id=$(wait_window "$settings" 60) || { fail "no window '$settings'"; return 1; }
  sleep 1
  first=$(opened_size "$id")
  echo "    80% of the width: $first"
  [ "${first%x*}" = 819 ] || fail "outer width ${first%x*}, not 819" || return 1
  still_screenshot wizard-size-en
  xdotool windowsize --sync "$id" 700 520 2>/dev/null
  within 5 sh -c "[ \"\$(xdotool getwindowgeometry '$id' | sed -n 's/.*Geometry: //p')\" = 700x520 ]" ||
    fail "the window did not take 700x520" || return 1
  keys_to "$id" Escape
  box=$(wait_window "$(language_text en 182)" 10) || { fail "no question on Escape"; return 1; }
  keys_to "$box" Tab Return # Yes
  code=$(tarn_exit_code 20) || fail "Yes did not end the wizard" || return 1
  [ "$code" = 0 ] || fail "exit code $code" || return 1
  written=$(written_size)
  echo "    closed at 700x520, written $written"
  [ "$written" = 700x520 ] || fail "written size $written" || return 1
  start_tarn wizard-size-again "/ini=$(win_path "$artifacts/wizard-size.ini")"
  id=$(wait_window "$settings" 60) || { fail "no window '$settings' again"; return 1; }
  sleep 1
  again=$(opened_size "$id")
  [ "$again" = "$written" ] || fail "the second start opened at $again" || return 1
  wizard_restart_wine
}

case_wizard_frame() {
  wizard_screen_open || return 1
  write_frame_ini "$artifacts/wizard-frame.ini" ""
  rc=0
  no_cancel || rc=1
  wizard_restart_wine
  [ "$rc" -ne 0 ] || about en || rc=1
  wizard_restart_wine
  [ "$rc" -ne 0 ] || about de || rc=1
  wizard_restart_wine
  [ "$rc" -ne 0 ] || dimension || rc=1
  wizard_screen_close
  return $rc
}
