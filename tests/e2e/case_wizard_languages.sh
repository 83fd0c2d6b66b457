# The wizard in the languages that have no case of their own, chosen with
# /language=: each page shows its title in that language on the way from the
# settings page through the account and software pages to the end of the
# run, whose closing line the log gives in that language too; Finish ends
# the program. A screenshot of every page is kept per language. Without
# /language=, a Spanish user locale alone opens the wizard in Spanish.
# The lane walks two languages (their texts are measured in every language
# by the label-fit check); TARN_E2E_LANGUAGES names others, for example all
# six when their screenshots are to be made again.
. "$root/tests/e2e/wizard_lib.sh"

wizard_languages=${TARN_E2E_LANGUAGES:-fr pl}

write_languages_ini() {
  {
    printf '[settings]\r\nComputer=E2E-PC\r\nWorkgroup=LAB\r\nOwner=Anna\r\n'
    printf 'Org=Lab\r\nVerbose=1\r\nAutoInstall=0\r\nAutoExit=0\r\n'
    printf '[users]\r\nUser.0=anna\r\nComment.0=Lab user\r\n'
    printf 'User.1=bert\r\nComment.1=Second user\r\n'
    printf '[Tools]\r\ndescription=Tools\r\nselected=1,inherit\r\n'
    printf 'command.0=cmd /c exit 0\r\ndescription.0=Quick tool\r\n'
    printf 'helptext.0=A command that ends at once.\r\n'
    printf 'command.1=cmd /c exit 0\r\ndescription.1=Second tool\r\n'
  } >"$1"
}

language_finished() { tarn_log "$1" | grep -qF "$(language_text "$2" 143 | cut -c1-20)"; }

pages_in() {
  lang=$1
  start_tarn "wizard-$lang" "/ini=$(win_path "$artifacts/wizard-languages.ini")" \
    "/language=$lang" /skiprestart
  id=$(wait_window "$(language_text "$lang" 129)" 60) || fail "no settings page in $lang" ||
    return 1
  still_screenshot "wizard-settings-$lang"
  next_to_page "$id" "$(language_text "$lang" 113)" || return 1
  still_screenshot "account-list-$lang"
  next_to_page "$id" "$(language_text "$lang" 130)" || return 1
  still_screenshot "software-page-$lang"
  click_next "$id"
  within 10 window_named "$id" "$(language_text "$lang" 131)" ||
    fail "Next did not lead to the status page in $lang" || return 1
  within 30 language_finished "wizard-$lang" "$lang" || fail "the run did not finish in $lang" ||
    return 1
  still_screenshot "wizard-status-done-$lang"
  keys_to "$id" Return
  code=$(tarn_exit_code 20) || fail "Finish did not end the program" || return 1
  [ "$code" = 0 ] || fail "exit code $code after Finish in $lang"
}

# Wine takes the user locale from LC_ALL. Spanish because its settings page
# title is plain ASCII: with a locale the host lacks, Wine writes a window's
# WM_NAME, which xdotool searches, without its accents.
system_locale() {
  (
    LC_ALL=es_ES.UTF-8
    export LC_ALL
    start_tarn wizard-locale-es "/ini=$(win_path "$artifacts/wizard-languages.ini")" /skiprestart
  )
  title=$(language_text es 129)
  wait_window "$title" 60 >/dev/null || fail "a Spanish user locale did not open '$title'"
}

case_wizard_languages() {
  wizard_screen_open || return 1
  write_languages_ini "$artifacts/wizard-languages.ini"
  rc=0
  for lang in $wizard_languages; do
    pages_in "$lang" || { rc=1; break; }
    wizard_restart_wine
  done
  [ "$rc" -ne 0 ] || system_locale || rc=1
  wizard_restart_wine
  wizard_screen_close
  return $rc
}
