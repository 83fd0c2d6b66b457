#!/bin/sh
# tarn_plan as a person calls it: the plan reads a file as the program does
# on the described machine.
# Usage: tarn_plan_cases.sh <tarn_plan> <source folder> <work folder>
set -u
plan=$1
root=$2
work=$3
fixtures="$root/tests/fixtures"
mkdir -p "$work"
failures=0

fail() {
  printf "FAIL: %s\n" "$*"
  failures=$((failures + 1))
}

# expect_in <file> <fixed text> <what>
expect_in() {
  grep -qF -- "$2" "$1" || { fail "$3: no '$2' in"; cat "$1"; }
}

# expect_not_in <file> <extended regex> <what>
expect_not_in() {
  if grep -qE -- "$2" "$1"; then fail "$3: '$2' in"; cat "$1"; fi
}

# The text of the launch column (the second field of each command line).
launch_column() {
  sed -n '/^commands /,/^accounts /p' "$1" | sed '1d;$d' | cut -f2
}

case_code_page() {
  "$plan" "$fixtures/plan/cyrillic-1251.ini" --reg "$fixtures/plan/codepage-1251.reg" \
    >"$work/cyrillic.txt" || fail "code page: exit $?"
  expect_in "$work/cyrillic.txt" "	Словарь	\"C:\\Программы\\Словарь\\setup.exe\" /s" "code page 1251"
  expect_in "$work/cyrillic.txt" "	Словари	" "code page 1251, the section"
}

case_quotes_and_environment() {
  "$plan" "$fixtures/plan/marks.ini" >"$work/marks.txt" || fail "quotes: exit $?"
  launch_column "$work/marks.txt" >"$work/marks-launch.txt"
  expect_in "$work/marks-launch.txt" 'echo A0>>"Z:\plan\marks.txt"' "quotes kept, [environment] expanded"
  expect_in "$work/marks-launch.txt" '"Z:\plan\scripts\mark.cmd"' "[environment] in the program's path"
}

case_bundled_example() {
  "$plan" "$root/examples/install.ini" >"$work/example.txt" || fail "example: exit $?"
  launch_column "$work/example.txt" >"$work/example-launch.txt"
  expect_not_in "$work/example-launch.txt" '%DEMO_SCRIPTS%' "the example's commands expanded"
  expect_in "$work/example-launch.txt" '\examples\scripts\install-tool.cmd" "Notes tool"' "the example's scripts"
  for word in "radio group" "locked" "hidden" "condition false" "selected"; do
    expect_in "$work/example.txt" "$word" "the text form in words"
  done
  expect_not_in "$work/example.txt" '^[0-9]+ [0-9A-F]{8} [0-9A-F]{2}	' "no hexadecimal flags"
  "$plan" "$root/examples/install.ini" --json >"$work/example.json" || fail "example JSON: exit $?"
  expect_in "$work/example.json" '"flags":' "the JSON keeps the flags"
}

case_code_page
case_quotes_and_environment
case_bundled_example
[ "$failures" -eq 0 ] && echo "tarn_plan cases: all passed"
exit "$failures"
