# The wizard in Dutch, Polish and Brazilian Portuguese, chosen with
# /language=: every page carries its title in that language from the
# settings page to the end of the run, and Finish ends the program with
# code 0. A screenshot of every page is kept.
. "$root/tests/e2e/wizard_lib.sh"

write_languages_ini() {
  {
    printf '[settings]\r\nComputer=E2E-PC\r\nWorkgroup=LAB\r\nOwner=Lab\r\nVerbose=1\r\n'
    printf 'UseCurrent=1\r\nAutoInstall=0\r\nAutoExit=0\r\n'
    printf '[users]\r\nUser.0=anna\r\nComment.0=Lab user\r\n'
    printf '[Tools]\r\ndescription=Tools\r\nselected=1,inherit\r\n'
    printf 'command.0=cmd /c exit 0\r\ndescription.0=Quick tool\r\n'
    printf 'command.1=cmd /c exit 0\r\ndescription.1=Second tool\r\n'
  } >"$1"
}

languages_finished() { tarn_log "$1" | grep -q "$(language_text "$2" 143 | cut -c1-20)"; }

wizard_in() {
  lang=$1
  start_tarn "wizard-$lang" "/ini=$(win_path "$artifacts/wizard-languages.ini")" \
    "/language=$lang" /skiprestart
  id=$(wait_window "$(language_text "$lang" 129)" 60) ||
    { fail "no settings page titled in $lang"; return 1; }
  still_screenshot "wizard-settings-$lang"
  next_to_page "$id" "$(language_text "$lang" 113)" || return 1
  still_screenshot "wizard-accounts-$lang"
  next_to_page "$id" "$(language_text "$lang" 130)" || return 1
  still_screenshot "wizard-software-$lang"
  next_to_page "$id" "$(language_text "$lang" 131)" || return 1
  within 30 languages_finished "wizard-$lang" "$lang" || fail "the run did not finish" || return 1
  still_screenshot "wizard-status-done-$lang"
  keys_to "$id" Return
  code=$(tarn_exit_code 20) || fail "Finish did not end the program" || return 1
  [ "$code" = 0 ] || fail "exit code $code after Finish"
}

case_wizard_languages() {
  wizard_screen_open || return 1
  write_languages_ini "$artifacts/wizard-languages.ini"
  rc=0
  for lang in nl pl pt-BR; do
    wizard_in "$lang" || rc=1
    wizard_restart_wine
  done
  wizard_screen_close
  return $rc
}
