# A restart in the middle of a run: the first entry asks for one
# (restartafter.0=1), so the run registers its continue task, asks Windows to
# restart and stops; tarn.exe started with the task's command line goes on
# with the second entry and removes the task. Wine's restart call does nothing
# and reports success, so the program's log line is the record of the request.
# Wine's Task Scheduler keeps the task but writes its definition without
# triggers, account or command, so the command line comes from the program's
# log line about the task; the definition itself is checked on the simulated
# machine, and that Windows restarts and starts the task only on Windows.

. "$root/tests/e2e/wizard_lib.sh"

# restart_start <name> <command line>: runs the command line from a batch
# file, as the Task Scheduler or a launcher would, and prints the whole exit
# code (the shell sees only its low byte).
restart_start() {
  code_file="$artifacts/$1.code"
  rm -f "$code_file"
  printf '%s\r\n' "@$2" "@echo %ERRORLEVEL%>\"$(win_path "$code_file")\"" >"$artifacts/$1.cmd"
  wine_run_within 120 cmd /c "$(win_path "$artifacts/$1.cmd")" >/dev/null 2>&1
  tr -d '\r\n ' <"$code_file" 2>/dev/null
}

# python3 check of result file $1: "key kind outcome" items and name=value items.
restart_check_json() {
  python3 - "$@" <<'PY'
import json, sys
path, *expected = sys.argv[1:]
with open(path, encoding="utf-8") as f:
    result = json.load(f)
steps = [f'{s["kind"]} {s["key"]} {s["outcome"]}' for s in result["steps"]]
problems = []
for item in expected:
    if "=" in item:
        name, value = item.split("=", 1)
        if str(result[name]).lower() != value:
            problems.append(f"{name} is {result[name]}, not {value}")
    elif item not in steps:
        problems.append(f"no step '{item}' in {steps}")
for problem in problems:
    print("    " + problem)
sys.exit(1 if problems else 0)
PY
}

# The file in which Wine's Task Scheduler keeps the continue task; nothing when none.
restart_task_file() {
  find "$TARN_WINEPREFIX/drive_c/windows/system32/tasks" -iname 'TARN continue' 2>/dev/null |
    head -n 1
}

case_restart_continue() {
  ini="$artifacts/restart.ini"
  log="$artifacts/restart.log"
  result="$artifacts/restart.json"
  runs="$artifacts/restart-runs.txt"
  rm -f "$log" "$result" "$runs"
  find "$TARN_WINEPREFIX/drive_c/windows/system32/tasks" -iname 'TARN continue' -delete \
    2>/dev/null
  runs_win=$(win_path "$runs")
  printf '%s\r\n' '[settings]' 'Verbose=1' '' '[Steps]' 'selected=1,inherit' \
    "command.0=cmd /c echo one>>\"$runs_win\"" 'description.0=Before the restart' \
    'restartafter.0=1' \
    "command.1=cmd /c echo two>>\"$runs_win\"" 'description.1=After the restart' >"$ini"
  code=$(restart_start restart-first "\"$(win_path "$tarn")\" /ini=$(win_path "$ini") \
/log=$(win_path "$log") /result=$(win_path "$result") /exitcode=result /autoinstall=1 /skiprestart")
  utf16_to_utf8 "$log" | tr -d '\r' >"$artifacts/restart-first.log.txt"
  cp "$result" "$artifacts/restart-first.json" 2>/dev/null
  [ "$code" = 1641 ] || fail "first start: exit code '$code', not 1641" || return 1
  [ "$(tr -d '\r' <"$runs")" = "one" ] || fail "the first start did not stop after the first entry" ||
    return 1
  grep -q 'Windows restarts for "Before the restart" (restart 1 of at most 5)' \
    "$artifacts/restart-first.log.txt" &&
    grep -q 'Windows was asked to restart; the run goes on after the restart.' \
      "$artifacts/restart-first.log.txt" ||
    fail "the log does not record the restart (restart-first.log.txt)" || return 1
  restart_check_json "$result" finished=false restartStarted=true restarts=1 exitCode=1641 \
    "entry Steps.0 success" "restart Steps.0 success" ||
    fail "unexpected result file (restart-first.json)" || return 1

  [ -n "$(restart_task_file)" ] || fail "no continue task was registered" || return 1
  cp "$(restart_task_file)" "$artifacts/restart-task.xml"
  command=$(sed -n 's/.*After the restart the task "TARN continue" starts //p' \
    "$artifacts/restart-first.log.txt")
  [ -n "$command" ] || fail "the log does not name the task's command line" || return 1
  case "$command" in
  *'/continue="1,0,Steps.0"'*) ;;
  *) fail "the task's command line lacks the place: $command" || return 1 ;;
  esac
  code=$(restart_start restart-second "$command")
  utf16_to_utf8 "$log" | tr -d '\r' >"$artifacts/restart-second.log.txt"
  cp "$result" "$artifacts/restart-second.json" 2>/dev/null
  [ "$code" = 0 ] || fail "second start: exit code '$code', not 0" || return 1
  [ "$(tr -d '\r' <"$runs" | tr '\n' ' ')" = "one two " ] ||
    fail "the second start did not run just the second entry" || return 1
  grep -q 'Continuing after the restart: "Before the restart" was done before it' \
    "$artifacts/restart-second.log.txt" ||
    fail "the log does not say where the run went on (restart-second.log.txt)" || return 1
  restart_check_json "$result" finished=true restarts=1 exitCode=0 \
    "entry Steps.0 skipped" "entry Steps.1 success" ||
    fail "unexpected result file (restart-second.json)" || return 1
  [ -z "$(restart_task_file)" ] || fail "the continue task is left after the run" || return 1
}
