#!/bin/sh
# End-to-end tests of tarn.exe under Wine. Needs a display (scripts/test.sh
# provides one) and the Windows build folder as the only argument.
# Screenshots and logs are kept in <build>/e2e-artifacts.
#
# The cases spend most of their time waiting for Wine and for windows, not on
# the processor: TARN_E2E_RUNNERS runners (default 2) take the cases in turn,
# each with a Wine prefix and an X display of its own. TARN_E2E_CASES names
# the cases to run (default: all).
set -u
build=${1:?usage: tests/e2e/run.sh <windows build folder>}
build=$(cd "$build" && pwd)
root=$(cd "$(dirname "$0")/../.." && pwd)
. "$root/tests/e2e/e2e_lib.sh"

runners=${TARN_E2E_RUNNERS:-2}
cases=${TARN_E2E_CASES:-$(cd "$root/tests/e2e" && ls case_*.sh | sed 's/\.sh$//')}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# The longest cases first, so that the runners end close together.
longest="case_wizard_interactive case_account_sheet case_software_page case_wizard_languages
  case_wizard_scaled case_drive_dialogs case_launcher_results case_wizard_frame"
longest_first() {
  for name in $longest; do
    case " $(echo $cases) " in *" $name "*) echo "$name" ;; esac
  done
  for name in $cases; do
    case " $(echo $longest) " in *" $name "*) ;; *) echo "$name" ;; esac
  done
}

# Runner $1: claims the next case not yet claimed (mkdir is atomic) until
# none is left, and leaves its counts in $work/result-$1.
runner() {
  [ "$1" -eq 0 ] || use_prefix "$build/wineprefix-e2e-$1"
  xvfb_pid=
  if [ "$1" -gt 0 ] || [ -z "${DISPLAY:-}" ]; then
    xvfb_start 1280x1024x24 || { echo "0 1 runner-$1-without-display" >"$work/result-$1"; return; }
    export DISPLAY="$xvfb_display"
  fi
  runner_xvfb=$xvfb_pid
  for name in $(longest_first); do
    mkdir "$work/claim-$name" 2>/dev/null || continue
    run_case "$root/tests/e2e/$name.sh"
  done
  wine_prefix_stop
  [ -z "$runner_xvfb" ] || kill "$runner_xvfb" 2>/dev/null
  echo "$passed $failed$failed_names" >"$work/result-$1"
}

# The other runners' prefixes start as copies of the first one, which the
# lane's contract tests have already made.
wine_prefix_stop
i=1
while [ "$i" -lt "$runners" ]; do
  rm -rf "$build/wineprefix-e2e-$i"
  if [ -f "$TARN_WINEPREFIX/.tarn-ready" ]; then
    cp -a "$TARN_WINEPREFIX" "$build/wineprefix-e2e-$i"
  fi
  i=$((i + 1))
done

i=0
while [ "$i" -lt "$runners" ]; do
  runner "$i" >"$work/log-$i" 2>&1 &
  i=$((i + 1))
done
wait

i=0
while [ "$i" -lt "$runners" ]; do
  echo "---- e2e runner $i"
  cat "$work/log-$i"
  read -r p f names <"$work/result-$i" || { p=0 f=1 names="runner-$i-died"; }
  passed=$((passed + p))
  failed=$((failed + f))
  failed_names="$failed_names${names:+ $names}"
  i=$((i + 1))
done
finish_cases
