# An entry with "timeout.0=3" whose command would ping for a minute, in the
# foreground and in a background ping it does not wait for, started
# unattended: the run ends the command's whole tree after 3 seconds (no
# ping.exe is left), logs it as an error, goes on with the next entry and
# finishes long before the minute is over.

# The ids of ping.exe processes of this case's Wine prefix.
time_limit_pings() {
  for pid in $(pgrep -i -f 'ping\.exe'); do
    tr '\0' '\n' <"/proc/$pid/environ" 2>/dev/null | grep -qx "WINEPREFIX=$TARN_WINEPREFIX" &&
      echo "$pid"
  done
}

case_time_limit() {
  ini="$artifacts/time_limit.ini"
  log="$artifacts/time_limit.log"
  rm -f "$log"
  printf '%s\r\n' '[Tools]' 'selected=1,inherit' \
    'command.0=cmd /c start /b ping -n 60 127.0.0.1 >nul & ping -n 60 127.0.0.1 >nul' \
    'description.0=Endless tool' 'timeout.0=3' 'command.1=cmd /c exit 0' \
    'description.1=Quick tool' >"$ini"
  started=$(date +%s)
  wine_run_within 120 "$tarn" "/ini=$(win_path "$ini")" "/log=$(win_path "$log")" \
    /autoinstall=1 /skiprestart
  code=$?
  seconds=$(($(date +%s) - started))
  left=$(time_limit_pings)
  [ "$code" -eq 0 ] || fail "exit code $code" || return 1
  [ -z "$left" ] || fail "ping.exe still runs (pids $left)" || return 1
  [ "$seconds" -lt 45 ] || fail "the run took $seconds s" || return 1
  utf16_to_utf8 "$log" | tr -d '\r' >"$artifacts/time_limit.log.txt"
  grep -q '"Endless tool" was still running after 3 seconds and was ended' \
    "$artifacts/time_limit.log.txt" || fail "no time-out line (time_limit.log.txt)" || return 1
  grep -q '"Quick tool" completed successfully' "$artifacts/time_limit.log.txt" ||
    fail "the run did not go on with the next entry" || return 1
  echo "    the run took $seconds s"
}
