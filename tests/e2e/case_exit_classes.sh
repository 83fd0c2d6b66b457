# How an unattended run judges its entries beyond the exit code: an entry
# already present is not started, a copy tool's 1 counts as success through
# success.N, and an installer that ends 0 but leaves nothing behind fails as
# "not detected after installation". The result file is checked against
# docs/result.schema.json, the program's log (in German) and the CMTrace log
# beside it (always English) tell each outcome.

. "$root/tests/e2e/wizard_lib.sh"

# launcher_run, as the launcher case starts tarn.exe.
. "$root/tests/e2e/case_launcher_results.sh"

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
  code=$(launcher_run classes "/ini=$(win_path "$ini")" "/log=$(win_path "$log")" \
    "/result=$(win_path "$result")" /exitcode=result /autoinstall=2 /skiprestart /language=de)
  [ "$code" = 1603 ] || fail "exit code '$code', not 1603" || return 1
  [ ! -f "$runs" ] || fail "the entry already present was started" || return 1
  python3 "$root/tests/schema/check_result_schema.py" "$root/docs/result.schema.json" "$result" ||
    fail "the result file does not follow docs/result.schema.json (classes.json)" || return 1
  python3 -c 'import json, sys
s = {x["key"]: x for x in json.load(open(sys.argv[1], encoding="utf-8"))["steps"]}
got = [[s[k][n] for n in ("outcome", "exitCode", "exitClass", "detectedBefore", "detectedAfter")]
       for k in ("Apps.0", "Apps.1", "Apps.2")]
sys.exit(got != [["present", None, None, True, None], ["success", 1, "success", None, None],
                 ["error", 0, "success", False, False]])' "$result" ||
    fail "unexpected outcomes, classes or detection (classes.json)" || return 1
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
