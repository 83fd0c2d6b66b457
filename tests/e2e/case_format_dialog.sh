# The format question in the program's own words, English and German: no
# volume under Wine lacks a file system, so the page test that asks it from
# a worker thread shows it with the shipped translation file and a ten-second
# countdown, as an unattended run would; it must close by itself.
. "$root/tests/e2e/wizard_lib.sh"

format_dialog_run() {
  lang=$1
  rm -f "$artifacts/format-dialog-$lang.code"
  { TARN_UI_LANGUAGES=$(win_path "$root/languages.ini") TARN_UI_LANGUAGE=$lang \
    wine_run "$build/tarn_ui_tests.exe" \
    --gtest_filter=DriveDialogTest.FormatQuestionCancelsItselfWhenTheCountdownRunsOut \
    >"$artifacts/format-dialog-$lang.txt" 2>&1
    echo $? >"$artifacts/format-dialog-$lang.code"; } &
  closes_by_itself "$(language_text "$lang" 117)" "drive-format-$lang" || return 1
  within 30 test -s "$artifacts/format-dialog-$lang.code" || fail "the test did not end" || return 1
  [ "$(cat "$artifacts/format-dialog-$lang.code")" = 0 ] ||
    fail "the page test failed: $(tail -5 "$artifacts/format-dialog-$lang.txt")" || return 1
  echo "    $lang: closed after $((gone - shown)) s"
}

case_format_dialog() {
  wizard_screen_open || return 1
  rc=0
  format_dialog_run en || rc=1
  [ "$rc" -ne 0 ] || format_dialog_run de || rc=1
  wizard_screen_close
  return $rc
}
