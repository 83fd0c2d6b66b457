# One run per machine: a second tarn.exe started while the first one runs
# ends at once with 1618 (another installation is in progress), whatever
# /exitcode says, writes its line beside the log and leaves the running
# one's log alone.

. "$root/tests/e2e/case_launcher_results.sh"

case_second_instance() {
  ini="$artifacts/second.ini"
  log="$artifacts/second.log"
  rm -f "$log" "$log.refused"
  printf '%s\r\n' '[settings]' 'Verbose=1' '' '[Steps]' 'selected=1,inherit' \
    'command.0=ping -n 30 127.0.0.1' 'description.0=Slow' >"$ini"
  set -- "/ini=$(win_path "$ini")" "/log=$(win_path "$log")" /autoinstall=1 /skiprestart
  wine_run_within 120 "$tarn" "$@" &
  first=$!
  within 60 sh -c "iconv -f UTF-16LE -t UTF-8 '$log' 2>/dev/null | grep -q 'Command: ping'" ||
    { fail "the first run never started its command"; launcher_kill_tarn; return 1; }
  code=$(launcher_run second-instance "$@" /exitcode=result)
  plain=$(launcher_run second-instance-plain "$@")
  utf16_to_utf8 "$log" | tr -d '\r' >"$artifacts/second.log.txt"
  launcher_kill_tarn
  wait "$first"
  WINEPREFIX=$TARN_WINEPREFIX wineserver -k 2>/dev/null
  [ "$code" = 1618 ] || fail "second start with /exitcode=result: '$code', not 1618" || return 1
  [ "$plain" = 1618 ] || fail "second start without /exitcode: '$plain', not 1618" || return 1
  grep -q 'Command: ping' "$artifacts/second.log.txt" ||
    fail "the running one's log was emptied (second.log.txt)" || return 1
  [ -f "$log.refused" ] || fail "no line beside the log" || return 1
  expected=$(language_text en 240)
  utf16_to_utf8 "$log.refused" | grep -qF "Error(1618): " || fail "no error line" || return 1
  utf16_to_utf8 "$log.refused" | grep -qF "$expected" || fail "the refusal text is missing"
}
