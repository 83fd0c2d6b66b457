# The missing-volume question of the account worker, unattended, in English
# and German: an account whose profile lies on a drive letter Wine doesn't
# have (Q:). Under Wine the look-up finds only the user Wine runs as, whose
# plain name NetUserAdd calls taken (and NetUserSetInfo then aborts the
# program), while NetUserAdd keeps a qualified name inside the process: so
# the account is "COMPUTER\user", its group unchanged (Wine's group calls
# would call NetUserSetInfo too). The worker reaches the profile's drive
# check, the dialog shows over the wizard and closes by itself after its
# ten seconds, and the run goes on to the software and ends with code 0.
. "$root/tests/e2e/wizard_lib.sh"

drive_dialog_run() {
  lang=$1
  ini="$artifacts/drive-dialogs.ini"
  user=$(wine_run cmd /c 'echo %COMPUTERNAME%\%USERNAME%' 2>/dev/null | tr -d '\r\n')
  printf '%s\r\n' '[settings]' 'Verbose=1' '' '[users]' "user.0=$user" 'password.0=Secret-1' \
    'Group.0=2' 'Profile.0=Q:\Profiles\lab' '' '[Tools]' 'selected=1,inherit' 'command.0=cmd /c exit 0' \
    'description.0=Quick tool' >"$ini"
  started=$(date +%s)
  start_tarn "drive-missing-$lang" "/ini=$(win_path "$ini")" "/language=$lang" /autoinstall=2 \
    /skiprestart
  closes_by_itself "$(language_text "$lang" 119)" "drive-missing-$lang" || return 1
  code=$(tarn_exit_code 60) || fail "the program did not end" || return 1
  [ "$code" = 0 ] || fail "exit code $code" || return 1
  tarn_log "drive-missing-$lang" >"$artifacts/drive-missing-$lang.log.txt"
  grep -q "drive of the profile folder of '.*' is not available ('Q:" \
    "$artifacts/drive-missing-$lang.log.txt" || fail "the given-up profile is not logged" || return 1
  grep -q "Command: cmd /c exit 0" "$artifacts/drive-missing-$lang.log.txt" ||
    fail "the software did not run after the question" || return 1
  echo "    $lang: dialog after $((shown - started)) s, closed after $((gone - shown)) s"
}

case_drive_dialogs() {
  wizard_screen_open || return 1
  rc=0
  drive_dialog_run en || rc=1
  [ "$rc" -ne 0 ] || drive_dialog_run de || rc=1
  wizard_screen_close
  return $rc
}
