# The account property sheet and its dialogs driven by the keyboard, in
# English and German: "Create" opens the sheet; a name is typed,
# administrator rights given and a shell folder moved;
# OK adds the account to the list; "..." opens the chooser of local accounts,
# whose Enter takes one; Next asks about the changed folder and "Use" goes
# on; the run then creates the account (checked through the log). Screenshots of every page and dialog are kept.
. "$root/tests/e2e/wizard_lib.sh"

write_sheet_ini() {
  {
    printf '[settings]\r\nComputer=E2E-PC\r\nWorkgroup=LAB\r\nVerbose=1\r\nUseCurrent=1\r\n'
    printf 'AutoInstall=0\r\nAutoExit=0\r\n'
    printf '[Tools]\r\ndescription=Tools\r\nselected=1,inherit\r\n'
    printf 'command.0=cmd /c exit 0\r\ndescription.0=Quick tool\r\n'
  } >"$1"
}

sheet_finished() { tarn_log "$1" | grep -q "$(language_text "$2" 143 | cut -c1-20)"; }

# click_tab <sheet> <n>: a click on the sheet's tab n (0, 1, 2), which sit
# about 68 pixels apart from the sheet's top left corner.
click_tab() {
  eval "$(xdotool getwindowgeometry --shell "$1")"
  click_at $((X + 40 + 68 * $2)) $((Y + 30))
  sleep 0.5
}

# keys <key...>: each key with a short pause, to the window that has the focus.
keys() {
  for key in "$@"; do
    xdotool key "$key" 2>/dev/null
    sleep 0.2
  done
}

create_in_sheet() {
  lang=$1
  run="account-sheet-$lang"
  start_tarn "$run" "/ini=$(win_path "$artifacts/account-sheet.ini")" "/language=$lang" \
    /skiprestart
  id=$(wait_window "$(language_text "$lang" 129)" 60) || { fail "no settings page"; return 1; }
  click_next "$id"
  within 10 window_named "$id" "$(language_text "$lang" 113)" ||
    fail "Next did not lead to the account page" || return 1
  # "&Create" / "&Erstellen"
  if [ "$lang" = de ]; then keys_to "$id" alt+e; else keys_to "$id" alt+c; fi
  sheet=$(wait_window "$(language_text "$lang" 171)" 10) || { fail "no account sheet"; return 1; }
  xdotool type --delay 30 dora 2>/dev/null
  still_screenshot "account-sheet-$lang"
  # "..." is the next control: the chooser of local accounts.
  keys Tab space
  chooser=$(wait_window "$(language_text "$lang" 110)" 10) || { fail "no chooser"; return 1; }
  keys Down
  still_screenshot "account-chooser-$lang"
  keys Escape
  within 5 window_gone "$chooser" || fail "the chooser stayed after Escape" || return 1
  # Administrator rights: a click on the box (it sits 323 pixels below the
  # sheet's top in both languages).
  eval "$(xdotool getwindowgeometry --shell "$sheet")"
  click_at $((X + 30)) $((Y + 323))
  sleep 0.5
  still_screenshot "account-sheet-group-$lang"
  click_tab "$sheet" 1
  # The first folder in the list is chosen with the keyboard, then its path typed.
  keys Tab Down Tab
  xdotool type --delay 20 'C:\Data\dora\Documents' 2>/dev/null
  still_screenshot "account-shell-folders-$lang"
  click_tab "$sheet" 2
  still_screenshot "account-environment-$lang"
  # "&Add" opens the variable editor; Escape leaves the list as it was.
  if [ "$lang" = de ]; then keys alt+h; else keys alt+a; fi
  editor=$(wait_window "$(language_text "$lang" 114)" 10) || { fail "no variable editor"; return 1; }
  xdotool type --delay 20 DORA_TOOLS 2>/dev/null
  still_screenshot "account-variable-$lang"
  keys Escape
  within 5 window_gone "$editor" || fail "Escape did not close the variable editor" || return 1
  click_tab "$sheet" 2
  keys Return
  within 5 window_gone "$sheet" || fail "OK did not close the sheet" || return 1
  still_screenshot "account-list-added-$lang"
  # A second sheet takes an existing account from the chooser, then is
  # cancelled: the list stays as it was.
  if [ "$lang" = de ]; then keys_to "$id" alt+e; else keys_to "$id" alt+c; fi
  sheet=$(wait_window "$(language_text "$lang" 171)" 10) || { fail "no second sheet"; return 1; }
  keys Tab space
  chooser=$(wait_window "$(language_text "$lang" 110)" 10) || { fail "no chooser"; return 1; }
  keys Down Return
  within 5 window_gone "$chooser" || fail "Enter did not choose" || return 1
  still_screenshot "account-sheet-chosen-$lang"
  keys Escape
  within 5 window_gone "$sheet" || fail "Escape did not cancel the sheet" || return 1
  click_next "$id"
  box=$(wait_window "$(language_text "$lang" 206)" 10) ||
    { fail "no question about the changed folder"; return 1; }
  still_screenshot "changed-folders-$lang"
  keys Return
  within 5 window_gone "$box" || fail "Use did not close the question" || return 1
  within 10 window_named "$id" "$(language_text "$lang" 130)" ||
    fail "Use did not lead to the software page" || return 1
  click_next "$id"
  # Under a loaded machine the software page and the run can take a while.
  within 90 sheet_finished "$run" "$lang" || fail "the run did not finish" || return 1
  # The log's last line comes before the page offers Finish.
  still_screenshot "$run-done"
  keys_to "$id" Return
  code=$(tarn_exit_code 20) || fail "Finish did not end the program" || return 1
  [ "$code" = 0 ] || fail "exit code $code" || return 1
  tarn_log "$run" | grep -q "dora" || fail "the log does not name the new account" || return 1
}

case_account_sheet() {
  wizard_screen_open || return 1
  write_sheet_ini "$artifacts/account-sheet.ini"
  rc=0
  for lang in en de; do
    [ "$rc" -eq 0 ] || break
    create_in_sheet "$lang" || rc=1
    wizard_restart_wine
  done
  wizard_screen_close
  return $rc
}
