#!/bin/sh
# End-to-end tests of tarn.exe under Wine. Needs a display (scripts/test.sh
# provides one) and the Windows build folder as the only argument.
# Screenshots and logs are kept in <build>/e2e-artifacts.
set -u
build=${1:?usage: tests/e2e/run.sh <windows build folder>}
build=$(cd "$build" && pwd)
root=$(cd "$(dirname "$0")/../.." && pwd)
. "$root/tests/e2e/e2e_lib.sh"

for case_file in "$root"/tests/e2e/case_*.sh; do
  run_case "$case_file"
done
finish_cases
