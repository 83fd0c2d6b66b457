# How an unattended run judges its entries beyond the exit code: an entry
# already present is not started, a copy tool's 1 counts as success through
# success.N, and an installer that ends 0 but leaves nothing behind fails as
# "not detected after installation". The result file is checked against
# docs/result.schema.json, the program's log (in German) and the CMTrace log
# beside it (always English) tell each outcome.

. "$root/tests/e2e/wizard_lib.sh"

# python3 check of result file $1: each further argument is
# "key outcome exitCode exitClass detectedBefore detectedAfter", "-" for null.
classes_check_json() {
  python3 - "$@" <<'PY'
import json, sys
path, *expected = sys.argv[1:]
with open(path, encoding="utf-8") as f:
    steps = {s["key"]: s for s in json.load(f)["steps"]}
def shown(value):
    return "-" if value is None else str(value).lower()
problems = []
for item in expected:
    key, *want = item.split()
    step = steps.get(key)
    if step is None:
        problems.append(f"no step {key}")
        continue
    got = [step["outcome"]] + [shown(step[n]) for n in
                               ("exitCode", "exitClass", "detectedBefore", "detectedAfter")]
    if got != want:
        problems.append(f"{key}: {' '.join(got)}, not {' '.join(want)}")
for problem in problems:
    print("    " + problem)
sys.exit(1 if problems else 0)
PY
}

# classes_run <name> <arguments...>: tarn.exe started by a batch file, as a
# launcher would, which keeps the whole exit code (the shell sees only its low
# byte); prints that code.
classes_run() {
  run_name=$1
  shift
  code_file="$artifacts/$run_name.code"
  rm -f "$code_file"
  printf '%s\r\n' "@\"$(win_path "$tarn")\" %*" \
    "@echo %ERRORLEVEL%>\"$(win_path "$code_file")\"" >"$artifacts/$run_name.cmd"
  wine_run_within 120 cmd /c "$(win_path "$artifacts/$run_name.cmd")" "$@" >/dev/null 2>&1
  tr -d '\r\n ' <"$code_file" 2>/dev/null
}

case_exit_classes() {
  ini="$artifacts/classes.ini"
  log="$artifacts/classes.log"
  cmtrace="$artifacts/classes.cmtrace.log"
  result="$artifacts/classes.json"
  present="$artifacts/classes-present.txt"
  runs="$artifacts/classes-runs.txt"
  rm -f "$log" "$cmtrace" "$result" "$runs"
  echo installed >"$present"
  printf '%s\r\n' '[settings]' 'Verbose=1' 'LogFormat=cmtrace' '' '[Apps]' 'selected=1,inherit' \
    "command.0=cmd /c echo ran>>\"$(win_path "$runs")\"" 'description.0=Already there' \
    "detect.0=$(win_path "$present")" \
    'command.1=cmd /c exit 1' 'description.1=Copy tool' 'success.1=0,1' \
    'command.2=cmd /c exit 0' 'description.2=Leaves nothing' \
    'detect.2=%SystemDrive%\TarnNowhere\app.exe?version>1.0' >"$ini"
  code=$(classes_run classes "/ini=$(win_path "$ini")" "/log=$(win_path "$log")" \
    "/result=$(win_path "$result")" /exitcode=result /autoinstall=2 /skiprestart /language=de)
  [ "$code" = 1603 ] || fail "exit code '$code', not 1603" || return 1
  [ ! -f "$runs" ] || fail "the entry already present was started" || return 1
  python3 "$root/tests/schema/check_result_schema.py" "$root/docs/result.schema.json" "$result" ||
    fail "the result file does not follow docs/result.schema.json (classes.json)" || return 1
  classes_check_json "$result" "Apps.0 present - - true -" "Apps.1 success 1 success - -" \
    "Apps.2 error 0 success false false" || fail "unexpected result file (classes.json)" ||
    return 1
  utf16_to_utf8 "$log" | tr -d '\r' >"$artifacts/classes.log.txt"
  for line in '"Already there" is already present; it is not started.' \
    "$(language_text de 160 | sed 's/%s/Copy tool/') (exit code 1: success)" \
    '"Leaves nothing" ended with exit code 0 but was not detected after installation.'; do
    grep -qF "$line" "$artifacts/classes.log.txt" ||
      fail "the log lacks: $line (classes.log.txt)" || return 1
  done
  [ -f "$cmtrace" ] || fail "no CMTrace log beside the log" || return 1
  for line in \
    '<![LOG[Entry "Already there": present, already present: not started.]LOG]!><time="' \
    '<![LOG[Entry "Copy tool": success, exit code 1 (success).]LOG]!><time="' \
    'component="Apps.1" context="" type="1" thread="" file="">' \
    '<![LOG[Entry "Leaves nothing": error, exit code 0 (success), not detected after installation.]LOG]!>' \
    'component="Apps.2" context="" type="3" thread="" file="">'; do
    grep -qF "$line" "$cmtrace" || fail "the CMTrace log lacks: $line" || return 1
  done
  grep -Eq '^(.{3})?<!\[LOG\[.*\]LOG\]!><time="[0-9]{2}:[0-9]{2}:[0-9]{2}\.[0-9]{3}\+000" date="[0-9]{2}-[0-9]{2}-[0-9]{4}" component="TARN"' "$cmtrace" ||
    fail "the CMTrace log's time or date is not in CMTrace's form" || return 1
}
