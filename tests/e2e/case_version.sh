# One version for the whole program: "/version" prints "TARN <version>"
# (the project's version in CMakeLists.txt) into a file and into a pipe,
# each line ended by CR LF, and ends with code 0 without a window; with
# nowhere to print, it shows the line in a small window (screenshot
# version-window-en). About, opened from the wizard's system menu, shows
# the same version and a build date (screenshot about-version-en).
. "$root/tests/e2e/wizard_lib.sh"

project_version() {
  sed -n 's/^project(tarn VERSION \([0-9.]*\) .*/\1/p' "$root/CMakeLists.txt"
}

# version_printed <file|pipe>: what tarn.exe /version wrote there.
version_printed() {
  out="$artifacts/version-$1.txt"
  rm -f "$out"
  if [ "$1" = pipe ]; then
    wine_run_within 60 "$tarn" /version | cat >"$out"
  else
    wine_run_within 60 "$tarn" /version >"$out"
  fi
  code=$?
  [ "$code" = 0 ] || fail "/version into a $1 ended with $code" || return 1
  printf 'TARN %s\r\n' "$expected" | cmp -s - "$out" ||
    fail "/version into a $1 printed '$(tr -d '\r' <"$out")', not 'TARN $expected'"
}

# Without an output of its own the line shows in a window captioned like
# About.
version_window() {
  caption=$(language_text en 118)
  { wine_run_within 60 "$tarn" /version >&- 2>&-; echo $? >"$artifacts/version-window.code"; } &
  pid=$!
  box=$(wait_window "$caption" 30) || { fail "no window '$caption' without an output"; return 1; }
  still_screenshot version-window-en
  window_controls "$caption" >"$artifacts/version-window.controls"
  grep -q "TARN $expected\$" "$artifacts/version-window.controls" ||
    fail "the window does not show 'TARN $expected'" || return 1
  keys_to "$box" Return
  wait "$pid"
  [ "$(cat "$artifacts/version-window.code")" = 0 ] || fail "the window did not end with 0"
}

# A window more than $version_windows_before is visible: the system menu.
version_menu_open() { [ "$(visible_windows)" != "$version_windows_before" ]; }

about_version() {
  settings=$(language_text en 129)
  title=$(language_text en 118)
  letter=$(language_text en 186 | sed 's/.*&\(.\).*/\1/' | tr '[:upper:]' '[:lower:]')
  printf '[settings]\r\nAutoInstall=0\r\nAutoExit=0\r\n' >"$artifacts/version.ini"
  start_tarn version-about "/ini=$(win_path "$artifacts/version.ini")"
  id=$(wait_window "$settings" 60) || { fail "no window '$settings'"; return 1; }
  version_windows_before=$(visible_windows)
  keys_to "$id" alt+space
  within 5 version_menu_open || fail "no system menu on Alt+Space" || return 1
  xdotool key "$letter" 2>/dev/null
  box=$(wait_window "$title" 10) || { fail "no window '$title' on '$letter'"; return 1; }
  still_screenshot about-version-en
  window_controls "$title" >"$artifacts/about-version.controls"
  # The version field (1080) and the build date field (1156).
  shown=$(awk '$1 == 1080 { print $9 }' "$artifacts/about-version.controls")
  date=$(awk '$1 == 1156 { $1 = $2 = $3 = $4 = $5 = $6 = $7 = $8 = ""; print }' \
    "$artifacts/about-version.controls" | sed 's/^ *//')
  echo "    About: version '$shown', built '$date'"
  [ "$shown" = "$expected" ] || fail "About shows version '$shown'" || return 1
  [ -n "$date" ] || fail "About shows no build date" || return 1
  keys_to "$box" Return
  within 5 window_gone "$box" || fail "About did not close on Return"
}

case_version() {
  expected=$(project_version)
  [ -n "$expected" ] || fail "no project(tarn VERSION ...) in CMakeLists.txt" || return 1
  rc=0
  version_printed file || rc=1
  version_printed pipe || rc=1
  # Wine draws the captions, so that a click on one activates the window.
  wine_run reg add 'HKCU\Software\Wine\X11 Driver' /v Decorated /t REG_SZ /d N /f >/dev/null 2>&1
  wizard_restart_wine
  version_window || rc=1
  wizard_restart_wine
  about_version || rc=1
  wizard_restart_wine
  wine_run reg delete 'HKCU\Software\Wine\X11 Driver' /v Decorated /f >/dev/null 2>&1
  wizard_restart_wine
  return $rc
}
