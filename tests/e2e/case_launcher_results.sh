# What a launcher gets back from an unattended run: the JSON result file
# (/result=), the exit code that tells the outcome (/exitcode=result) and,
# with /resume, a second start after the program was killed. Wine reports the
# Unix user, not the administrators, as the owner of every file, so the second
# start must distrust the journal and do every step; passing over the steps
# done is shown on the simulated machine.

. "$root/tests/e2e/wizard_lib.sh"

# python3 check of result file $1: every argument after it is
# "key outcome exitCode", the exit code "-" for none; "finished", "resumed"
# and "exitCode" are given as further names=value arguments.
launcher_check_json() {
  python3 - "$@" <<'PY'
import json, sys
path, *expected = sys.argv[1:]
with open(path, encoding="utf-8") as f:
    result = json.load(f)
steps = {s["key"]: s for s in result["steps"]}
problems = []
for item in expected:
    if "=" in item:
        name, value = item.split("=", 1)
        if str(result[name]).lower() != value:
            problems.append(f"{name} is {result[name]}, not {value}")
        continue
    key, outcome, code = item.split()
    step = steps.get(key)
    if step is None:
        problems.append(f"no step {key}")
        continue
    if step["outcome"] != outcome or str(step["exitCode"]) != code.replace("-", "None"):
        problems.append(f"{key}: {step['outcome']} {step['exitCode']}, not {outcome} {code}")
for problem in problems:
    print("    " + problem)
sys.exit(1 if problems else 0)
PY
}

# launcher_run <name> <arguments...>: tarn.exe started by a batch file, as a
# launcher would, which writes the whole exit code to <name>.code (the shell
# sees only its low byte: 1603 arrives as 67); prints that code.
launcher_run() {
  run_name=$1
  shift
  code_file="$artifacts/$run_name.code"
  rm -f "$code_file"
  printf '%s\r\n' "@\"$(win_path "$tarn")\" %*" \
    "@echo %ERRORLEVEL%>\"$(win_path "$code_file")\"" >"$artifacts/$run_name.cmd"
  wine_run_within 120 cmd /c "$(win_path "$artifacts/$run_name.cmd")" "$@" >/dev/null 2>&1
  tr -d '\r\n ' <"$code_file" 2>/dev/null
}

# Kills the tarn.exe of this case's Wine prefix, and nothing else.
launcher_kill_tarn() {
  for p in $(pgrep -f 'tarn\.exe' 2>/dev/null); do
    if tr '\0' '\n' <"/proc/$p/environ" 2>/dev/null | grep -qx "WINEPREFIX=$TARN_WINEPREFIX"; then
      kill -9 "$p" 2>/dev/null
    fi
  done
}

launcher_outcomes() {
  ini="$artifacts/launcher.ini"
  log="$artifacts/launcher.log"
  result="$artifacts/launcher.json"
  flag="$artifacts/launcher-busy.flag"
  rm -f "$log" "$result" "$flag"
  # The busy entry ends 1618 the first time and 0 when it is started again.
  printf '%s\r\n' '[settings]' 'Verbose=1' 'InstallerCodes=1' 'BusyPause=1' '' '[Tools]' \
    'selected=1,inherit' 'command.0=cmd /c exit 0' 'description.0=Ends with 0' \
    'command.1=cmd /c exit 3010' 'description.1=Ends with 3010' \
    "command.2=cmd /c if exist \"$(win_path "$flag")\" (exit 0) else (type nul > \"$(win_path "$flag")\" & exit 1618)" \
    'description.2=Busy the first time' \
    'command.3=cmd /c exit 1' 'description.3=Ends with 1' >"$ini"
  code=$(launcher_run launcher "/ini=$(win_path "$ini")" "/log=$(win_path "$log")" \
    "/result=$(win_path "$result")" /exitcode=result /autoinstall=2 /skiprestart)
  [ "$code" = 1603 ] || fail "exit code '$code', not 1603" || return 1
  [ -f "$result" ] || fail "no result file" || return 1
  cp "$result" "$artifacts/launcher-outcomes.json"
  launcher_check_json "$result" finished=true restartNeeded=true exitCode=1603 resumed=false \
    "Tools.0 success 0" "Tools.1 success-restart 3010" "Tools.2 success 0" "Tools.3 error 1" \
    "ComputerName success -" ||
    fail "unexpected result file (launcher-outcomes.json)" || return 1
  python3 -c 'import json,sys; s={x["key"]: x for x in json.load(open(sys.argv[1]))["steps"]}
sys.exit(0 if s["Tools.2"]["tries"] == 2 else 1)' "$result" || fail "the busy entry was not started twice" || return 1
  utf16_to_utf8 "$log" | grep -q 'Another installation is in progress; "Busy the first time"' ||
    fail "the busy retry is not logged" || return 1
}

launcher_resume() {
  ini="$artifacts/resume.ini"
  log="$artifacts/resume.log"
  result="$artifacts/resume.json"
  runs="$artifacts/resume-runs.txt"
  # The journal is the machine's, not the configuration's neighbour.
  journal="$TARN_WINEPREFIX/drive_c/ProgramData/TARN/resume.ini.journal"
  rm -f "$log" "$result" "$runs" "$journal"
  runs_win=$(win_path "$runs")
  printf '%s\r\n' '[settings]' 'Verbose=1' '' '[Steps]' 'selected=1,inherit' \
    "command.0=cmd /c echo one>>\"$runs_win\"" 'description.0=First' \
    'command.1=ping -n %SLOW% 127.0.0.1' 'description.1=Slow' \
    "command.2=cmd /c echo three>>\"$runs_win\"" 'description.2=Third' >"$ini"
  set -- "/ini=$(win_path "$ini")" "/log=$(win_path "$log")" "/result=$(win_path "$result")" \
    /exitcode=result /resume /autoinstall=1 /skiprestart
  { SLOW=30 wine_run_within 120 "$tarn" "$@"; echo $? >"$artifacts/resume-first.code"; } &
  first=$!
  within 60 sh -c "iconv -f UTF-16LE -t UTF-8 '$log' 2>/dev/null | grep -q 'Command: ping'" ||
    { fail "the slow entry never started"; return 1; }
  sleep 2
  launcher_kill_tarn
  wait "$first"
  WINEPREFIX=$TARN_WINEPREFIX wineserver -k 2>/dev/null
  [ -f "$journal" ] || fail "no journal after the kill" || return 1
  grep -q '"Steps.0","success"' "$journal" || fail "the journal misses the first entry" ||
    return 1
  guid=$(wine_machine_guid)
  [ -n "$guid" ] && grep -q "$guid" "$journal" ||
    fail "the journal does not name the machine '$guid'" || return 1
  code=$(SLOW=2 launcher_run resume-second "$@")
  [ "$code" = 0 ] || fail "second run: exit code '$code', not 0" || return 1
  utf16_to_utf8 "$log" | tr -d '\r' >"$artifacts/resume.log.txt"
  grep -q 'Command: ping -n 30' "$artifacts/resume.log.txt" ||
    fail "the resumed run started the log afresh (resume.log.txt)" || return 1
  grep -q 'resume journal .* is owned by S-1-5-21-.* it is not used and every step runs' \
    "$artifacts/resume.log.txt" ||
    fail "the log does not say the journal is distrusted (resume.log.txt)" || return 1
  [ "$(grep -c one "$runs")" = 2 ] || fail "the first entry did not run again" || return 1
  [ "$(grep -c three "$runs")" = 1 ] || fail "the third entry did not run once" || return 1
  [ ! -f "$journal" ] || fail "the journal is left after a complete run" || return 1
  cp "$result" "$artifacts/launcher-resume.json"
  launcher_check_json "$result" finished=true resumed=false exitCode=0 \
    "Steps.0 success 0" "Steps.1 success 0" "Steps.2 success 0" ||
    fail "unexpected result file (launcher-resume.json)"
}

# The MachineGuid of the Wine prefix, as the journal names it.
wine_machine_guid() {
  grep -i '^"MachineGuid"=' "$TARN_WINEPREFIX/system.reg" | head -n 1 | cut -d'"' -f4
}

case_launcher_results() {
  launcher_outcomes || return 1
  launcher_resume
}
