# The verification kit for real Windows (verify/), run here under Wine so
# that it cannot rot: the kit is staged from this build as an administrator
# gets it, verify.cmd runs with the Wine marker, and its report must show
# the checks Wine can do as passed, the others as skipped with a reason,
# nothing failed and a summary that adds up. What Wine's cmd cannot read
# (the UTF-16 log) is checked here. The Windows Sandbox configuration must
# name the kit's folders and script the way verify.cmd expects them.

# python3 check of the Windows Sandbox configuration $1: only the elements
# Microsoft's documentation names, absolute host folders, the kit read-only
# and its report folder writable, both on the sandbox user's desktop, and
# the logon command starting the kit's verify.cmd with the report folder.
verify_kit_check_wsb() {
  python3 - "$1" <<'PY'
import re, sys
import xml.etree.ElementTree as ET
root = ET.parse(sys.argv[1]).getroot()
problems = []
known = {"vGPU", "vGpu", "Networking", "MappedFolders", "LogonCommand", "AudioInput",
         "VideoInput", "ProtectedClient", "PrinterRedirection", "ClipboardRedirection",
         "MemoryInMB"}
if root.tag != "Configuration":
    problems.append(f"the root is {root.tag}")
problems += [f"unknown element {c.tag}" for c in root if c.tag not in known]
folders = {}
for f in root.findall("MappedFolders/MappedFolder"):
    host, inside, read_only = (f.findtext(n, "").strip() for n in ("HostFolder", "SandboxFolder", "ReadOnly"))
    folders[read_only.lower()] = (host, inside)
    if not re.match(r"^[A-Za-z]:\\", host):
        problems.append(f"host folder {host!r} is not absolute")
    if not inside.lower().startswith("c:\\users\\wdagutilityaccount\\desktop\\"):
        problems.append(f"sandbox folder {inside!r} is not on the sandbox user's desktop")
if set(folders) != {"true", "false"}:
    problems.append(f"not one read-only and one writable folder: {folders}")
else:
    (kit_host, kit), (report_host, report) = folders["true"], folders["false"]
    if report_host.lower() != kit_host.lower() + "\\report":
        problems.append(f"the report folder {report_host!r} is not the kit's")
    command = root.findtext("LogonCommand/Command", "").split()
    if command != [kit + "\\verify.cmd", report]:
        problems.append(f"the logon command is {command}")
for problem in problems:
    print("    " + problem)
sys.exit(1 if problems else 0)
PY
}

case_verify_kit() {
  kit="$artifacts/TARN-verify"
  report="$kit/report/report.txt"
  verify_kit_check_wsb "$root/verify/tarn-verify.wsb" || fail "tarn-verify.wsb does not fit the kit" || return 1
  "$root/scripts/stage-verify-kit.sh" "$build" "$kit" || fail "the kit could not be staged" ||
    return 1
  started=$(date +%s)
  TARN_VERIFY_WINE=1 wine_run_within 900 cmd /c "$(win_path "$kit/verify.cmd")" \
    "$(win_path "$kit/report")" >"$artifacts/verify-kit.out" 2>&1
  code=$?
  echo "    the kit took $(($(date +%s) - started)) s under Wine"
  [ -f "$report" ] || fail "no report (verify-kit.out)" || return 1
  tr -d '\r' <"$report" >"$artifacts/verify-kit-report.txt"
  report="$artifacts/verify-kit-report.txt"
  [ "$code" -eq 0 ] || fail "verify.cmd ended with $code (verify-kit-report.txt)" || return 1
  grep -q '^FAIL' "$report" && { fail "a check failed (verify-kit-report.txt)"; return 1; }
  for check in 'Wine marker' 'kit complete' 'contract suite: tarn_contract_win32.exe passed' \
    'tarn.exe ran unattended and ended with exit code 1603' 'log written' \
    'result file: tarnkit-new create, tarnkit-chg create, tarnkit-del delete, each error' \
    'the run went on after the accounts'; do
    grep -q "^PASS  $check" "$report" || fail "no PASS line for '$check'" || return 1
  done
  # Every skipped check says why, on the line beneath it.
  awk '/^SKIP/ { getline reason; if (reason !~ /^    \| ./) bad = 1 } END { exit bad }' \
    "$report" || fail "a SKIP line without its reason" || return 1
  passes=$(grep -c '^PASS' "$report")
  skips=$(grep -c '^SKIP' "$report")
  grep -qx "SUMMARY: PASS - $passes passed, 0 failed, $skips skipped" "$report" ||
    fail "no summary line for $passes passed and $skips skipped" || return 1
  utf16_to_utf8 "$kit/report/tarn.log" | tr -d '\r' >"$artifacts/verify-kit-tarn.log.txt"
  for line in "Creating user: 'tarnkit-new'" "Creating user: 'tarnkit-chg'" \
    "Deleting user: 'tarnkit-del'"; do
    grep -q "$line" "$artifacts/verify-kit-tarn.log.txt" ||
      fail "no \"$line\" in the log (verify-kit-tarn.log.txt)" || return 1
  done
  grep -q 'Kit-New-73a' "$artifacts/verify-kit-tarn.log.txt" &&
    { fail "the log holds a password"; return 1; }
  echo "    $passes passed, $skips skipped"
}
