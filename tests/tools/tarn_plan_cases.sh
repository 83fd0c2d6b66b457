#!/bin/sh
# tarn_plan as a person calls it: the plan reads a file as the program does
# on the described machine, and every import checks clean and plans.
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

# import <manager> <fixture> <expected command of the first package>
case_import() {
  "$plan" --import "$1" "$fixtures/imports/$2" --out "$work/$1.ini"
  status=$?
  [ "$status" -eq 0 ] || fail "import $1: exit $status"
  expect_in "$work/$1.ini" "; Imported from" "import $1: the comment"
  "$plan" --check "$work/$1.ini" >"$work/$1-check.txt"
  status=$?
  [ "$status" -eq 0 ] && [ ! -s "$work/$1-check.txt" ] ||
    { fail "import $1 does not check clean (exit $status)"; cat "$work/$1-check.txt"; }
  "$plan" "$work/$1.ini" >"$work/$1-plan.txt" || fail "import $1: plan exit $?"
  launch_column "$work/$1-plan.txt" | head -n 1 >"$work/$1-first.txt"
  expect_in "$work/$1-first.txt" "$3" "import $1: planned"
  packages=$(grep -c '^command\.' "$work/$1.ini")
  expect_in "$work/$1-plan.txt" "commands $packages" "import $1: every package planned"
}

case_hostile_import() {
  "$plan" --import winget "$fixtures/imports/hostile-winget.json" >"$work/hostile.ini" \
    2>"$work/hostile.err"
  status=$?
  [ "$status" -eq 1 ] || fail "hostile import: exit $status, not 1"
  expect_not_in "$work/hostile.ini" '^\[settings\]|^Admin|%PATH%|calc|--override' "hostile ids left out"
  expect_in "$work/hostile.ini" "command.0=winget install --id Kept.Tool" "the rest imported"
  [ "$(grep -c 'left out' "$work/hostile.err")" -eq 4 ] || { fail "hostile import: stderr"; cat "$work/hostile.err"; }
}

# A level reads items 0 to 254: a longer list goes on in further sections.
case_long_import() {
  {
    printf '{"Sources":[{"SourceDetails":{"Name":"winget"},"Packages":['
    i=0
    while [ "$i" -lt 300 ]; do
      [ "$i" -eq 0 ] || printf ','
      printf '{"PackageIdentifier":"Vendor.App%d"}' "$i"
      i=$((i + 1))
    done
    printf ']}]}\n'
  } >"$work/long.json"
  "$plan" --import winget "$work/long.json" --out "$work/long.ini" || fail "long import: exit $?"
  "$plan" --check "$work/long.ini" >"$work/long-check.txt" && [ ! -s "$work/long-check.txt" ] ||
    { fail "long import does not check clean"; head -n 5 "$work/long-check.txt"; }
  "$plan" "$work/long.ini" >"$work/long-plan.txt" || fail "long import: plan exit $?"
  expect_in "$work/long-plan.txt" "commands 300" "long import: every package planned"
}

case_broken_imports() {
  for args in "winget broken.json" "scoop broken.json" "choco broken.config" "choco winget-export.json" \
    "scoop packages.config" "winget missing-file.json"; do
    set -- $args
    "$plan" --import "$1" "$fixtures/imports/$2" >"$work/broken.out" 2>"$work/broken.err"
    status=$?
    [ "$status" -eq 2 ] && [ -s "$work/broken.err" ] && [ ! -s "$work/broken.out" ] ||
      { fail "import $1 $2: exit $status, not a clear error"; cat "$work/broken.err"; }
  done
}

case_code_page
case_quotes_and_environment
case_bundled_example
case_import winget winget-export.json \
  'winget install --id Git.Git --exact --source winget --version 2.47.1 --silent --accept-package-agreements --accept-source-agreements'
case_import choco packages.config 'choco install googlechrome -y --no-progress'
case_import scoop scoopfile.json 'cmd /c scoop install main/7zip'
case_hostile_import
case_long_import
case_broken_imports

[ "$failures" -eq 0 ] && echo "tarn_plan cases: all passed"
exit "$failures"
