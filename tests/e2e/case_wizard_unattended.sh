# The administrator's unattended start on the bundled example:
#   tarn.exe /ini=examples\install.ini /autoinstall=5 /skiprestart
# The wizard appears with the green countdown on the desktop, goes on to the
# installation by itself, lists the log lines on the status page, presses
# Finish by itself and ends with code 0; every command's result is logged and
# the example's files are there.

# The share of pure green (the countdown's colour) in the top left of
# screenshot $1, in per mille.
green_per_mille() {
  convert "$artifacts/$1.png" -crop 900x200+0+0 +repage -fuzz 8% -fill white -opaque '#00ff00' \
    -fill black +opaque white -format '%[fx:int(mean*1000)]' info: 2>/dev/null
}

case_wizard_unattended() {
  demo="$TARN_WINEPREFIX/drive_c/TarnDemo"
  log="$artifacts/unattended.log"
  rm -rf "$demo" "$log"
  wine_run reg add 'HKCU\Software\Wine\X11 Driver' /v Decorated /t REG_SZ /d N /f >/dev/null 2>&1
  ini_win=$(win_path "$root/examples/install.ini")
  log_win=$(win_path "$log")
  code_file="$artifacts/unattended.code"
  rm -f "$code_file"
  { wine_run_within 180 "$tarn" "/ini=$ini_win" "/log=$log_win" /autoinstall=5 /skiprestart
    echo $? >"$code_file"; } &
  pid=$!
  settings_title=$(language_text en 129)
  status_title=$(language_text en 131)
  wait_window "$settings_title" 60 >/dev/null || { fail "no window '$settings_title'"; return 1; }
  sleep 2
  screenshot unattended-settings
  [ "$(green_per_mille unattended-settings)" -ge 5 ] ||
    fail "no green countdown on the desktop" || return 1
  wait_window "$status_title" 30 >/dev/null ||
    { fail "the installation did not start by itself"; return 1; }
  screenshot unattended-status
  i=0
  while kill -0 "$pid" 2>/dev/null && [ "$i" -lt 60 ]; do
    [ "$i" = 8 ] && screenshot unattended-finished
    sleep 1
    i=$((i + 1))
  done
  kill -0 "$pid" 2>/dev/null && { fail "Finish was not pressed by itself"; return 1; }
  wait "$pid"
  wine_run reg delete 'HKCU\Software\Wine\X11 Driver' /v Decorated /f >/dev/null 2>&1
  code=$(cat "$code_file")
  [ "$code" = 0 ] || fail "exit code $code" || return 1
  [ -f "$log" ] || fail "no log" || return 1
  utf16_to_utf8 "$log" | tr -d '\r' >"$artifacts/unattended.log.txt"
  results=$(grep -c 'completed successfully' "$artifacts/unattended.log.txt")
  [ "$results" = 6 ] || fail "$results of 6 commands logged a result (unattended.log.txt)" || return 1
  grep -q 'Installation finished' "$artifacts/unattended.log.txt" ||
    fail "the log does not say the installation finished" || return 1
  for file in "Notes tool" "Viewer A" "Notepad-add-on" "Welcome note (opened)" "Chipset driver"; do
    [ -f "$demo/$file.txt" ] || fail "C:\\TarnDemo\\$file.txt is missing" || return 1
  done
  [ ! -f "$demo/Viewer B.txt" ] || fail "both viewers of the radio group were installed"
}
