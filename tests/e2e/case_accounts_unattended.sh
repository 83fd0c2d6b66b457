# tarn.exe with a [users] section, unattended: the run applies the account
# list before the software, logs each account's steps and never a password,
# and ends with code 0. Wine keeps accounts made with NetUserAdd inside the
# process and its security authority cannot find them by name, so the worker
# logs that the account is no user account and skips its remaining steps;
# the steps after the lookup are proven by the stand-in run of
# tarn_contract_win32.exe (docs/verification.md).
case_accounts_unattended() {
  ini="$artifacts/accounts.ini"
  log="$artifacts/accounts.log"
  rm -f "$log"
  printf '%s\r\n' '[settings]' 'Verbose=1' '' '[users]' 'user.0=anna' 'password.0=Secret-1' \
    'comment.0=Lab user' 'group.0=Users' '' '[environment.0]' 'LAB_HOME=D:\lab' '' '[Tools]' \
    'selected=1,inherit' 'command.0=cmd /c exit 0' 'description.0=Quick tool' >"$ini"
  wine_run_within 120 "$tarn" "/ini=$(win_path "$ini")" "/log=$(win_path "$log")" \
    /autoinstall=2 /skiprestart
  code=$?
  [ "$code" -eq 0 ] || fail "exit code $code" || return 1
  utf16_to_utf8 "$log" | tr -d '\r' >"$artifacts/accounts.log.txt"
  grep -q "Creating user: 'anna'" "$artifacts/accounts.log.txt" ||
    fail "no account step logged (accounts.log.txt)" || return 1
  grep -q "Set a new password for 'anna'" "$artifacts/accounts.log.txt" ||
    fail "the password step is not logged" || return 1
  grep -q 'Secret-1' "$artifacts/accounts.log.txt" && { fail "the log holds the password"; return 1; }
  accounts_line=$(grep -n "Creating user" "$artifacts/accounts.log.txt" | head -n 1 | cut -d: -f1)
  command_line=$(grep -n "Command: cmd /c exit 0" "$artifacts/accounts.log.txt" | head -n 1 | cut -d: -f1)
  [ -n "$command_line" ] || fail "the software entry did not run" || return 1
  [ "$accounts_line" -lt "$command_line" ] || fail "the software ran before the accounts"
}
