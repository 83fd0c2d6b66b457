# Helpers for the end-to-end cases. Each case file defines one shell function
# named like the file (case_<name>) that returns non-zero on failure and
# prints why.

: "${TARN_WINEPREFIX:=$build/wineprefix-e2e}"
export TARN_WINEPREFIX WINEPREFIX="$TARN_WINEPREFIX"

# Ends every Wine program of the current prefix and waits for the end.
wine_prefix_stop() {
  wineserver -k 2>/dev/null
  wineserver -w 2>/dev/null
  return 0
}

# Points the cases that follow at the Wine prefix $1.
use_prefix() {
  TARN_WINEPREFIX=$1
  export TARN_WINEPREFIX WINEPREFIX="$1"
}
artifacts="$build/e2e-artifacts"
mkdir -p "$artifacts"
tarn="$build/tarn.exe"
passed=0
failed=0
failed_names=""

wine_run() { "$root/scripts/wine-run.sh" "$@"; }

# wine_run ended after $1 seconds (exit code 124 then), for programs that
# might wait on a window nobody closes.
wine_run_within() {
  seconds=$1
  shift
  timeout "$seconds" "$root/scripts/wine-run.sh" "$@"
}

# Windows form of a Linux path (Wine's Z: drive).
win_path() { wine_run winepath -w "$1" 2>/dev/null | tr -d '\r'; }

# UTF-16 LE file to UTF-8 on stdout.
utf16_to_utf8() { iconv -f UTF-16LE -t UTF-8 "$1"; }

# The text of number $2 in section $1 of languages.ini (escapes left as they stand).
language_text() {
  iconv -f UTF-16 -t UTF-8 "$root/languages.ini" | tr -d '\r' |
    awk -v section="[$1]" -v key="$2" '
      /^\[/ { inside = (tolower($0) == tolower(section)); next }
      inside && index($0, key "=") == 1 { print substr($0, length(key) + 2); exit }'
}

# Waits up to $2 seconds for a top-level window named exactly $1; prints its id.
wait_window() {
  i=0
  while [ "$i" -lt "$2" ]; do
    id=$(xdotool search --name "^$1\$" 2>/dev/null | head -n 1)
    if [ -n "$id" ]; then
      echo "$id"
      return 0
    fi
    sleep 1
    i=$((i + 1))
  done
  return 1
}

# Moves the pointer to screen point $1 $2 and waits until it is there.
# xdotool's --sync waits for a motion, which never comes when the pointer
# already is at the point: it then gives up only after 15 s.
pointer_to() {
  case "$(xdotool getmouselocation 2>/dev/null)" in
  "x:$1 y:$2 "*) ;;
  *) xdotool mousemove --sync "$1" "$2" 2>/dev/null ;;
  esac
}

# Clicks at screen point $1 $2.
click_at() {
  pointer_to "$1" "$2"
  xdotool click 1 2>/dev/null
}

# Starts an X server of screen geometry $1 (e.g. 1024x768x24) on a display
# number it picks itself, so that runners side by side never race for one;
# sets xvfb_pid and xvfb_display (":<n>").
xvfb_start() {
  number_file=$(mktemp)
  Xvfb -displayfd 3 -screen 0 "$1" -nolisten tcp 3>"$number_file" >/dev/null 2>&1 &
  xvfb_pid=$!
  i=0
  while [ ! -s "$number_file" ] && [ "$i" -lt 100 ] && kill -0 "$xvfb_pid" 2>/dev/null; do
    sleep 0.1
    i=$((i + 1))
  done
  xvfb_display=":$(tr -dc 0-9 <"$number_file")"
  rm -f "$number_file"
  [ "$xvfb_display" != ":" ] || { kill "$xvfb_pid" 2>/dev/null; fail "no X server"; }
}

screenshot() { import -window root "$artifacts/$1.png" 2>/dev/null; }

fail() {
  echo "    FAIL: $*"
  return 1
}

run_case() {
  . "$1"
  # Cases set variables of their own (a "name" among them): this one is ours.
  run_case_name=$(basename "$1" .sh)
  echo "e2e: $run_case_name"
  case_started=$(date +%s)
  if "$run_case_name"; then
    passed=$((passed + 1))
  else
    failed=$((failed + 1))
    failed_names="$failed_names $run_case_name"
  fi
  # What each case costs the lane, to keep the lane within its time.
  echo "e2e: $run_case_name took $(($(date +%s) - case_started)) s"
  WINEPREFIX=$TARN_WINEPREFIX wineserver -k 2>/dev/null || true
}

finish_cases() {
  echo "e2e: $passed passed, $failed failed$failed_names"
  [ "$failed" -eq 0 ]
}
