# Per-machine data under Wine, from Wine's own firmware table: the run
# prints what it read, finds this machine's row of [machines] by its
# present name, makes the computer name from a pattern (cut to 15 and
# logged), switches on the software the row's selection names, and hands
# the variables to the commands. Whatever Wine's table holds (an empty
# field is a fact the machine lacks), the name set is the one the log
# gives, in the registry. The prefix's names are put back at the end.

machines_names_key='HKLM\System\CurrentControlSet\Control\ComputerName\ComputerName'
machines_tcpip_key='HKLM\System\CurrentControlSet\Services\Tcpip\Parameters'

# The data of value $2 under key $1, or nothing.
machines_reg_value() {
  wine_run reg query "$1" /v "$2" 2>/dev/null | tr -d '\r' |
    sed -n "s/^ *$2 *REG_SZ *//p" | head -n 1
}

case_machines() {
  ini="$artifacts/machines.ini"
  log="$artifacts/machines.log"
  facts="$artifacts/machines-facts.txt"
  rm -f "$log" "$facts"
  current=$(wine_run cmd /c echo %COMPUTERNAME% 2>/dev/null | tr -d '\r\n')
  [ -n "$current" ] || fail "no computer name from Wine" || return 1
  old_name=$(machines_reg_value "$machines_names_key" ComputerName)
  old_host=$(machines_reg_value "$machines_tcpip_key" "NV Hostname")
  # "LAB" and 20 more characters: always longer than 15, whatever Wine gives.
  printf '%s\r\n' '[settings]' 'Verbose=1' '' '[machines]' \
    'serial:NO-SUCH-SERIAL = Computer=WRONG' \
    "name:$current = Computer=LAB%MAC:~-2%-WINE-MACHINE-%SERIAL:~-4%; Owner=Lab Owner; Selection=lab" \
    '' '[machines.lab]' 'Extra=1' 'Extra.0=1' '' '[Extra]' 'selected=0' \
    "command.0=cmd /c echo [%SERIAL%][%UUID%][%MAC%][%MAKER%][%MODEL%]> \"$(win_path "$facts")\"" \
    'description.0=Facts' >"$ini"
  wine_run_within 120 "$tarn" "/ini=$(win_path "$ini")" "/log=$(win_path "$log")" \
    /autoinstall=2 /skiprestart
  code=$?
  utf16_to_utf8 "$log" | tr -d '\r' >"$artifacts/machines.log.txt"
  text="$artifacts/machines.log.txt"
  echo "    Wine's machine: $(sed -n 's/.*This machine: //p' "$text")"
  restore() {
    [ -z "$old_name" ] || wine_run reg add "$machines_names_key" /v ComputerName /d "$old_name" /f >/dev/null 2>&1
    [ -z "$old_host" ] || wine_run reg add "$machines_tcpip_key" /v "NV Hostname" /d "$old_host" /f >/dev/null 2>&1
  }
  [ "$code" -eq 0 ] || { restore; fail "exit code $code"; return 1; }
  grep -q "this machine is name:$current" "$text" || { restore; fail "the name row was not found (machines.log.txt)"; return 1; }
  grep -q "cut to 15 characters" "$text" || { restore; fail "no cut logged"; return 1; }
  name=$(sed -n "s/^.*Setting Computer name to '\(.*\)'\.$/\1/p" "$text" | head -n 1)
  host=$(machines_reg_value "$machines_tcpip_key" "NV Hostname")
  restore
  echo "    computer name set: $name (registry: $host)"
  [ "${#name}" -eq 15 ] || fail "the name '$name' is not 15 characters long" || return 1
  case $name in LAB*) ;; *) fail "the name '$name' is not from the pattern"; return 1 ;; esac
  [ "$host" = "$name" ] || fail "the registry holds '$host', not '$name'" || return 1
  [ -f "$facts" ] || fail "the selection did not switch the entry on" || return 1
  serial=$(sed -n "s/.*This machine: serial '\([^']*\)'.*/\1/p" "$text")
  mac=$(sed -n "s/.* MAC '\([^']*\)'.*/\1/p" "$text")
  echo "    the command saw: $(tr -d '\r' <"$facts")"
  expect_serial=${serial:-%SERIAL%}
  expect_mac=${mac:-%MAC%}
  grep -qF "[$expect_serial]" "$facts" || fail "the command did not see SERIAL '$serial'" || return 1
  grep -qF "[$expect_mac]" "$facts" || fail "the command did not see MAC '$mac'"
}
