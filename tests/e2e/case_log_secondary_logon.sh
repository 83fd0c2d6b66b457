# tarn.exe on the example configuration, ended by its automatic end before
# anything is installed, exits with code 0 and leaves a log whose first line
# is the Secondary Logon warning (Wine has no seclogon service).
case_log_secondary_logon() {
  log="$artifacts/example.log"
  rm -f "$log"
  wine_run_within 120 "$tarn" "/log=$(win_path "$log")" \
    "/ini=$(win_path "$root/examples/install.ini")" /autoexit=2
  code=$?
  [ "$code" -eq 0 ] || fail "exit code $code" || return 1
  [ -f "$log" ] || fail "no log at $log" || return 1
  # UTF-16 LE without a byte-order mark.
  head -c 2 "$log" | od -An -tx1 | grep -q 'ff fe' && { fail "log starts with a BOM"; return 1; }
  first=$(utf16_to_utf8 "$log" | head -n 1 | tr -d '\r')
  # Level, code, the short date, ", ", the time (which may hold blanks, as in
  # "3:20:18 PM"), " - " and the message.
  pattern='^Warning\(0\): [^,]+, [^,]+ - "Secondary Logon" service isn'"'"'t running$'
  echo "$first" | grep -Eq "$pattern" || fail "first line: '$first'" || return 1
  # Every line ends in CR LF.
  lines=$(utf16_to_utf8 "$log" | wc -l)
  crlf=$(utf16_to_utf8 "$log" | grep -c "$(printf '\r')\$")
  [ "$lines" -eq "$crlf" ] || fail "$crlf of $lines lines end in CR LF"
}
