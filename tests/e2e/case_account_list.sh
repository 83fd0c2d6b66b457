# The user account page driven by the keyboard, in English and German: the
# list shows the two accounts of the [users] section; Home, Shift+F10 and
# the menu's "Delete user account" mark the first for deletion; Down and Del
# remove the second; the run then deletes the one and never creates the
# other (checked through the log). The Load button's open-file dialog
# replaces the list with the accounts of a second file, which the run then
# creates. Screenshots of each step are kept.
. "$root/tests/e2e/wizard_lib.sh"

write_account_inis() {
  {
    printf '[settings]\r\nComputer=E2E-PC\r\nWorkgroup=LAB\r\nVerbose=1\r\nUseCurrent=1\r\n'
    printf 'AutoInstall=0\r\nAutoExit=0\r\n'
    printf '[users]\r\nUser.0=anna\r\nComment.0=Lab user\r\n'
    printf 'User.1=bert\r\nComment.1=Second user\r\n'
    printf '[Tools]\r\ndescription=Tools\r\nselected=1,inherit\r\n'
    printf 'command.0=cmd /c exit 0\r\ndescription.0=Quick tool\r\n'
  } >"$1"
  printf '[users]\r\nUser.0=carl\r\nComment.0=Loaded user\r\n' >"$2"
}

account_lines() { tarn_log "$1" | grep -E "(Creating|Deleting|Modifying) user" | tr '\n' ' '; }
accounts_finished() { tarn_log "$1" | grep -q "$(language_text "$2" 143 | cut -c1-20)"; }

# Opens the account page of run $1 in language $2; the wizard's id is left in $id.
open_account_page() {
  start_tarn "$1" "/ini=$(win_path "$artifacts/account-list.ini")" "/language=$2" /skiprestart
  id=$(wait_window "$(language_text "$2" 129)" 60) || { fail "no settings page"; return 1; }
  click_next "$id"
  within 10 window_named "$id" "$(language_text "$2" 113)" ||
    fail "Next did not lead to the account page"
}

# Next to the software page and Next again; the run ends, Finish closes.
run_accounts() {
  click_next "$1"
  within 10 window_named "$1" "$(language_text "$3" 130)" ||
    fail "Next did not lead to the software page" || return 1
  click_next "$1"
  within 30 accounts_finished "$2" "$3" || fail "the run did not finish" || return 1
  # The log line comes before the page has offered Finish.
  still_screenshot "$2-done"
  keys_to "$1" Return
  code=$(tarn_exit_code 20) || fail "Finish did not end the program" || return 1
  [ "$code" = 0 ] || fail "exit code $code"
}

mark_and_remove() {
  lang=$1
  open_account_page "account-list-$lang" "$lang" || return 1
  still_screenshot "account-list-$lang"
  # The list has the focus: the first row is bert (the last read is first).
  keys_to "$id" Home shift+F10
  still_screenshot "account-list-menu-$lang"
  # "Delete user account" by its mnemonic
  if [ "$lang" = de ]; then xdotool key l 2>/dev/null; else xdotool key d 2>/dev/null; fi
  sleep 0.5
  # Enter opens the marked account's sheet: only the deleted-account notice.
  xdotool key Return 2>/dev/null
  notice=$(wait_window "$(language_text "$lang" 172 | sed 's/%s/bert/')" 10) ||
    { fail "Enter did not open the marked account's sheet"; return 1; }
  still_screenshot "account-deleted-notice-$lang"
  xdotool key Escape 2>/dev/null
  within 5 window_gone "$notice" || fail "Escape did not close the sheet" || return 1
  xdotool key Down Delete 2>/dev/null
  still_screenshot "account-list-marked-$lang"
  run_accounts "$id" "account-list-$lang" "$lang" || return 1
  lines=$(account_lines "account-list-$lang")
  echo "    accounts: $lines"
  case $lines in
    *"Deleting user: 'bert'"*) ;;
    *) fail "bert was not deleted: $lines"; return 1 ;;
  esac
  case $lines in
    *anna*) fail "the removed anna was still applied: $lines"; return 1 ;;
  esac
}

load_second_file() {
  lang=$1
  open_account_page "account-load-$lang" "$lang" || return 1
  keys_to "$id" alt+l
  box=$(wait_window "$(language_text "$lang" 180)" 20) || { fail "no open-file dialog"; return 1; }
  sleep 1
  xdotool type --delay 20 "$(win_path "$artifacts/account-second.ini")" 2>/dev/null
  xdotool key Return 2>/dev/null
  within 10 window_gone "$box" || fail "the open-file dialog stayed" || return 1
  still_screenshot "account-list-loaded-$lang"
  run_accounts "$id" "account-load-$lang" "$lang" || return 1
  lines=$(account_lines "account-load-$lang")
  echo "    accounts: $lines"
  case $lines in
    *"Creating user: 'carl'"*) ;;
    *) fail "carl was not created: $lines"; return 1 ;;
  esac
  case $lines in
    *anna* | *bert*) fail "the accounts of the first file were applied: $lines"; return 1 ;;
  esac
}

case_account_list() {
  wizard_screen_open || return 1
  write_account_inis "$artifacts/account-list.ini" "$artifacts/account-second.ini"
  rc=0
  mark_and_remove en || rc=1
  wizard_restart_wine
  [ "$rc" -ne 0 ] || mark_and_remove de || rc=1
  wizard_restart_wine
  [ "$rc" -ne 0 ] || load_second_file en || rc=1
  wizard_restart_wine
  [ "$rc" -ne 0 ] || load_second_file de || rc=1
  wizard_screen_close
  return $rc
}
