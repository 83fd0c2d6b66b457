# The report folder (ReportTo=): an unattended run without a result file of
# its own leaves "<computer>-<UTC time>.json" and ".log" in the folder, named
# through an environment variable; a folder that is not there is a warning
# in the log and leaves the exit code as it was. tarn_report.exe then makes
# the fleet page of the folder.

# report_run <name> <arguments...>: tarn.exe through a batch file, which
# writes the whole exit code to <name>.code; prints that code.
report_run() {
  report_name=$1
  shift
  report_code="$artifacts/$report_name.code"
  rm -f "$report_code"
  printf '%s\r\n' "@\"$(win_path "$tarn")\" %*" \
    "@echo %ERRORLEVEL%>\"$(win_path "$report_code")\"" >"$artifacts/$report_name.cmd"
  wine_run_within 120 cmd /c "$(win_path "$artifacts/$report_name.cmd")" "$@" >/dev/null 2>&1
  tr -d '\r\n ' <"$report_code" 2>/dev/null
}

# The configuration: one entry that ends well, one that fails.
report_ini() {
  printf '%s\r\n' '[settings]' 'Verbose=1' "ReportTo=$1" '' '[Tools]' 'selected=1,inherit' \
    'command.0=cmd /c exit 0' 'description.0=Ends with 0' \
    'command.1=cmd /c exit 1' 'description.1=Ends with 1' >"$2"
}

report_to_folder() {
  reports="$artifacts/reports"
  rm -rf "$reports"
  mkdir -p "$reports"
  ini="$artifacts/report.ini"
  log="$artifacts/report.log"
  rm -f "$log"
  report_ini '%TARN_REPORTS%\fleet' "$ini"
  mkdir -p "$reports/fleet"
  code=$(TARN_REPORTS=$(win_path "$reports") report_run report "/ini=$(win_path "$ini")" \
    "/log=$(win_path "$log")" /exitcode=result /autoinstall=2 /skiprestart)
  [ "$code" = 1603 ] || fail "exit code '$code', not 1603" || return 1
  ls "$reports/fleet" >"$artifacts/report-folder.txt"
  [ "$(wc -l <"$artifacts/report-folder.txt")" = 2 ] ||
    fail "not one result and one log in the folder (report-folder.txt)" || return 1
  json=$(ls "$reports/fleet"/*.json)
  python3 - "$json" <<'PY' || fail "unexpected copy $(basename "$json")" || return 1
import json, os, re, sys
path = sys.argv[1]
result = json.load(open(path, encoding="utf-8"))
name = os.path.basename(path)
match = re.fullmatch(r"(.+)-(\d{8}T\d{6}Z)\.json", name)
steps = {s["key"]: (s["outcome"], s["exitCode"]) for s in result["steps"]}
problems = []
if not match or match.group(1) != result.get("computer"):
    problems.append(f"{name} is not named after the computer {result.get('computer')!r}")
if steps.get("Tools.0") != ("success", 0) or steps.get("Tools.1") != ("error", 1):
    problems.append(f"steps {steps}")
if result["exitCode"] != 1603 or not result["finished"]:
    problems.append(f"exitCode {result['exitCode']}, finished {result['finished']}")
for problem in problems:
    print("    " + problem)
sys.exit(1 if problems else 0)
PY
  copy="${json%.json}.log"
  utf16_to_utf8 "$copy" | grep -q 'cmd /c exit 1' || fail "the log copy misses the run" || return 1
  utf16_to_utf8 "$log" | grep -q 'The result and the log were copied to' ||
    fail "the log does not say where the copies went" || return 1
}

report_folder_missing() {
  ini="$artifacts/report-missing.ini"
  log="$artifacts/report-missing.log"
  rm -f "$log"
  report_ini "$(win_path "$artifacts/no-such-folder")" "$ini"
  sed -i 's/^command.1=.*/command.1=cmd \/c exit 0\r/' "$ini"
  code=$(report_run report-missing "/ini=$(win_path "$ini")" "/log=$(win_path "$log")" \
    /exitcode=result /autoinstall=2 /skiprestart)
  [ "$code" = 0 ] || fail "exit code '$code' with the folder missing, not 0" || return 1
  utf16_to_utf8 "$log" | grep -q 'could not be reached' ||
    fail "no warning about the missing folder (report-missing.log)" || return 1
}

# The Windows build of tarn_report over the folder the run filled.
report_page() {
  page="$artifacts/report-page.html"
  sheet="$artifacts/report-page.csv"
  rm -f "$page" "$sheet"
  wine_run_within 60 "$build/tarn_report.exe" "$(win_path "$artifacts/reports/fleet")" \
    --html "$(win_path "$page")" --csv "$(win_path "$sheet")" >"$artifacts/report-tool.txt" 2>&1 ||
    fail "tarn_report.exe failed (report-tool.txt)" || return 1
  grep -q '<tr data-outcome="failed">' "$page" || fail "no failed machine on the page" || return 1
  grep -q ',entry,Tools.1,Ends with 1,error,1,' "$sheet" || fail "no failed step in the CSV" ||
    return 1
}

case_report_to() {
  report_to_folder || return 1
  report_folder_missing || return 1
  report_page
}
