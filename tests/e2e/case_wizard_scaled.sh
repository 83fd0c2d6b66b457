# The wizard at 150 % and 200 % on a 1920x1080 screen: every page's lowest
# control reaches down to a gap above the button line (the lists fill the
# page), no list shows a horizontal scroll bar, the window fits the screen;
# the installation, reached by the automatic start, fills the window too.
# Screenshots of every page, About and Cancel's question at both scales.
. "$root/tests/e2e/wizard_lib.sh"

write_scaled_ini() {
  {
    printf '[settings]\r\nComputer=E2E-PC\r\nWorkgroup=LAB\r\nAutoInstall=0\r\nAutoExit=0\r\n'
    printf '[Tools]\r\ndescription=Tools and viewers with a rather long description\r\n'
    printf 'selected=1\r\ncommand.0=cmd /c exit 0\r\ndescription.0=Quick command\r\n'
  } >"$1"
}

# window_shot <window> <shot>: the screen once still, cut to the window (the
# rest of the large screen is black).
window_shot() {
  still_screenshot "$2"
  eval "$(xdotool getwindowgeometry --shell "$1")"
  convert "$artifacts/$2.png" -crop "${WIDTH}x$HEIGHT+$X+$Y" +repage "$artifacts/$2.png"
}

# page_verdict <title> <dpi> <shot>: "ok <gap>" or what is wrong on the page
# shown now.
page_verdict() {
  controls=$(window_controls "$1")
  echo "$controls" >"$artifacts/$3.controls"
  echo "$controls" | awk -v dpi="$2" '
    $1 == "window" { width = $2; height = $3; next }
    $1 == 12326 { line = $4 }
    $2 == "SysListView32" && $8 ~ /h/ { scrolls = scrolls " " $1 }
    { bottom[NR] = $4 + $6; cls[NR] = $2 }
    END {
      lowest = 0
      for (i in bottom) if (cls[i] != "#32770" && bottom[i] <= line && bottom[i] > lowest) lowest = bottom[i]
      gap = line - lowest
      if (width == "" || line == "") print "the window or its button line is missing"
      else if (gap > 12 * dpi / 96) print "a band of " gap " pixels above the button line"
      else if (scrolls != "") print "a horizontal scroll bar on list" scrolls
      else print "ok " gap
    }'
}

# page_fills <title> <dpi> <shot>: the checks on the page shown now. A list
# still filling (the status page's log) may show a scroll bar for a moment
# before its column is fitted again: the verdict is taken again for up to
# five seconds.
page_fills() {
  i=0
  verdict=$(page_verdict "$@")
  while [ "${verdict%% *}" != ok ] && [ "$i" -lt 10 ]; do
    sleep 0.5
    verdict=$(page_verdict "$@")
    i=$((i + 1))
  done
  case $verdict in
    ok*) echo "    $3: ${verdict#ok } px above the button line" ;;
    *) fail "$3: $verdict"; return 1 ;;
  esac
  window_shot "$(wait_window "$1" 5)" "$3"
}

# The window $1 lies inside the 1920x1080 screen.
fits_screen() {
  eval "$(xdotool getwindowgeometry --shell "$1")"
  [ "$X" -ge 0 ] && [ "$Y" -ge 0 ] && [ $((X + WIDTH)) -le 1920 ] && [ $((Y + HEIGHT)) -le 1080 ] ||
    fail "the window ${WIDTH}x$HEIGHT at $X,$Y leaves the screen"
}

# scaled_pages <dpi> <percent>
scaled_pages() {
  wizard_set_dpi "$1"
  settings=$(language_text en 129)
  account=$(language_text en 113)
  software=$(language_text en 130)
  start_tarn "wizard-scaled-$2" "/ini=$(win_path "$artifacts/wizard-scaled.ini")" /skiprestart
  id=$(wait_window "$settings" 60) || { fail "no window '$settings'"; return 1; }
  sleep 1
  fits_screen "$id" || return 1
  page_fills "$settings" "$1" "scaled-$2-settings-en" || return 1
  click_control "$id" 12324 "$settings"
  within 10 window_named "$id" "$account" || fail "Next did not lead to '$account'" || return 1
  page_fills "$account" "$1" "scaled-$2-account-en" || return 1
  click_control "$id" 12324 "$account"
  within 10 window_named "$id" "$software" || fail "Next did not lead to '$software'" || return 1
  page_fills "$software" "$1" "scaled-$2-software-en" || return 1
  scaled_dialogs "$id" "$2" || return 1
  wizard_restart_wine
}

# scaled_dialogs <wizard> <percent>: About from the system menu and the
# question Cancel asks, each shot at the scale.
scaled_dialogs() {
  letter=$(language_text en 186 | sed 's/.*&\(.\).*/\1/' | tr '[:upper:]' '[:lower:]')
  keys_to "$1" alt+space
  sleep 1
  xdotool key "$letter" 2>/dev/null
  box=$(wait_window "$(language_text en 118)" 10) || { fail "no About at $2 %"; return 1; }
  window_shot "$box" "scaled-$2-about-en"
  keys_to "$box" Return
  within 5 window_gone "$box" || fail "About did not close on Return" || return 1
  keys_to "$1" Escape
  box=$(wait_window "$(language_text en 182)" 10) || { fail "no question on Escape"; return 1; }
  window_shot "$box" "scaled-$2-cancel-question-en"
}

# The automatic start moves the wizard to the installation by itself.
automatic_status() {
  status=$(language_text en 131)
  start_tarn wizard-scaled-auto "/ini=$(win_path "$root/examples/install.ini")" /autoinstall=2 \
    /skiprestart
  id=$(wait_window "$status" 90) || { fail "no window '$status'"; return 1; }
  sleep 1
  page_fills "$status" "$1" "scaled-$2-status-en" || return 1
  wizard_restart_wine
}

case_wizard_scaled() {
  wizard_screen_open 1920x1080 || return 1
  write_scaled_ini "$artifacts/wizard-scaled.ini"
  rc=0
  for scale in 144:150 192:200; do
    [ "$rc" -ne 0 ] || scaled_pages "${scale%:*}" "${scale#*:}" || rc=1
    [ "$rc" -ne 0 ] || automatic_status "${scale%:*}" "${scale#*:}" || rc=1
  done
  wizard_set_dpi 96
  wizard_screen_close
  return $rc
}
