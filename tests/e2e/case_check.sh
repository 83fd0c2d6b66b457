# "/check=" reports what a run would get wrong in a configuration, printed as
# "/version" is: the bundled example checks clean (exit 0), and a file with
# a dozen faults gets one line per fault, "file:line:column: error|warning:
# text", each at its own line, and exit code 1.
. "$root/tests/e2e/wizard_lib.sh"

# check_printed <name> <host file>: runs /check= on the file into
# $artifacts/check-<name>.txt and leaves the exit code in $check_code.
check_printed() {
  out="$artifacts/check-$1.txt"
  rm -f "$out"
  wine_run_within 60 "$tarn" "/check=$(win_path "$2")" >"$out"
  check_code=$?
  tr -d '\r' <"$out" >"$out.lf"
}

case_check() {
  rc=0
  check_printed example "$root/examples/install.ini"
  [ "$check_code" = 0 ] || fail "the bundled example checked with code $check_code" || rc=1
  grep -q ': no findings$' "$artifacts/check-example.txt.lf" ||
    fail "the bundled example has findings: $(cat "$artifacts/check-example.txt.lf")" || rc=1

  broken="$artifacts/broken.ini"
  cat >"$broken" <<'INI'
key=before any section
[settings]
Computer=MY COMPUTER NAME 2
User=pc1
AutoInstal=5
Timeout=10m
BusyRetries=50
[Tools]
command=setup.exe
command.0=%INIDIR%\missing.exe /q
descripton.0=Setup
test.0.0=C:\x
test.eval.0=0 | 1
command.0=again.exe
command.1=*
group.1=1
command.3=lost.exe
success.0=0,ok
flags.0=bolt
[users]
User.0=a:b
User.2=lost
[tools]
command.0=x
INI
  check_printed broken "$broken"
  [ "$check_code" = 1 ] || fail "the broken file checked with code $check_code" || rc=1
  # line:column and severity of every fault, in the order of the file.
  want="1:1: warning
3:10: error
3:10: error
5:1: error
6:9: error
7:13: error
9:1: error
10:11: warning
11:1: error
13:17: error
14:1: warning
16:1: error
17:1: error
18:13: error
19:9: warning
21:8: error
22:1: error
23:1: error"
  got=$(sed -n 's/^.*broken\.ini:\([0-9]*:[0-9]*: [a-z]*\):.*/\1/p' "$artifacts/check-broken.txt.lf")
  [ "$got" = "$want" ] || fail "the broken file's findings: $(cat "$artifacts/check-broken.txt.lf")" ||
    rc=1
  grep -q "did you mean 'description.0'" "$artifacts/check-broken.txt.lf" ||
    fail "no suggestion for descripton.0" || rc=1
  return $rc
}
