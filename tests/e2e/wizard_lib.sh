# Helpers of the wizard cases (sourced by them; not a case itself). The
# wizard runs on a 1024x768 screen of its own with Wine drawing the captions,
# so that screenshots show the title bars and window sizes are whole windows.

# Starts that screen (or one of geometry $1, e.g. 1920x1080) and points
# DISPLAY at it.
wizard_screen_open() {
  xvfb_start "${1:-1024x768}x24" || return 1
  wizard_xvfb=$xvfb_pid
  wizard_restart_wine
  wizard_lane_display=${DISPLAY:-}
  export DISPLAY="$xvfb_display"
  wine_run reg add 'HKCU\Software\Wine\X11 Driver' /v Decorated /t REG_SZ /d N /f >/dev/null 2>&1
}

wizard_screen_close() {
  wizard_restart_wine
  wine_run reg delete 'HKCU\Software\Wine\X11 Driver' /v Decorated /f >/dev/null 2>&1
  wizard_restart_wine
  if [ -n "$wizard_lane_display" ]; then DISPLAY=$wizard_lane_display; else unset DISPLAY; fi
  kill "$wizard_xvfb" 2>/dev/null
  wait "$wizard_xvfb" 2>/dev/null
}

# Ends every Wine program of the prefix, so that a phase starts clean.
wizard_restart_wine() { wine_prefix_stop; }

# start_tarn <name> <arguments...>: tarn.exe in the background with the log
# <name>.log in the artifacts; its exit code lands in <name>.code.
start_tarn() {
  tarn_name=$1
  shift
  rm -f "$artifacts/$tarn_name.log" "$artifacts/$tarn_name.code"
  { wine_run "$tarn" "/log=$(win_path "$artifacts/$tarn_name.log")" "$@"
    echo $? >"$artifacts/$tarn_name.code"; } &
  tarn_pid=$!
}

# Waits up to $1 seconds for the last started tarn.exe to end; prints its
# code. (Its code file tells: from a command substitution the ended
# background job still looks alive until the case's shell waits for it.)
tarn_exit_code() {
  within "$1" test -s "$artifacts/$tarn_name.code" || return 1
  cat "$artifacts/$tarn_name.code"
}

# The log of run $1 as UTF-8 lines.
tarn_log() { [ -f "$artifacts/$1.log" ] && iconv -f UTF-16LE -t UTF-8 "$artifacts/$1.log" | tr -d '\r'; }

# within <seconds> <command...>: true once the command is, polled 5 times a second.
within() {
  limit=$(($1 * 5))
  shift
  i=0
  until "$@"; do
    [ "$i" -lt "$limit" ] || return 1
    sleep 0.2
    i=$((i + 1))
  done
}

# The screen as artifact $1 once it has stopped changing.
still_screenshot() {
  screenshot "$1.next"
  i=0
  while [ "$i" -lt 20 ]; do
    sleep 0.2
    mv "$artifacts/$1.next.png" "$artifacts/$1.png"
    screenshot "$1.next"
    if [ "$(compare -metric AE "$artifacts/$1.png" "$artifacts/$1.next.png" null: 2>&1)" = 0 ]; then
      break
    fi
    i=$((i + 1))
  done
  rm -f "$artifacts/$1.next.png"
}

window_named() { [ "$(xdotool getwindowname "$1" 2>/dev/null)" = "$2" ]; }
window_gone() { ! xdotool getwindowname "$1" >/dev/null 2>&1; }

# Waits up to 60 s for the window named $1, takes the screenshot $2 of it and
# checks that it closes by itself after its ten-second countdown (7 to 20 s,
# for a loaded machine). Sets `shown` and `gone` (epoch seconds).
closes_by_itself() {
  id=$(wait_window "$1" 60) || fail "no window '$1'" || return 1
  shown=$(date +%s)
  still_screenshot "$2"
  within 20 window_gone "$id" || fail "'$1' did not close by itself" || return 1
  gone=$(date +%s)
  [ $((gone - shown)) -ge 7 ] || fail "'$1' closed after $((gone - shown)) s" || return 1
}

# Visible top-level windows, one id a line (a tooltip or an OSD counts).
visible_windows() { xdotool search --onlyvisible --name '.*' 2>/dev/null | sort; }

# Activates window $1 with a click on its caption (there is no window
# manager; setting the X focus directly leaves Wine's focus unknown) and
# presses the keys $2...
keys_to() {
  eval "$(xdotool getwindowgeometry --shell "$1")"
  click_at $((X + WIDTH / 3)) $((Y + 8))
  shift
  for key in "$@"; do
    sleep 0.1
    xdotool key "$key" 2>/dev/null
  done
  sleep 0.1
}

# The value of LimitBlankPasswordUse as `wine reg query` shows it, or "none".
blank_password_policy() {
  wine_run reg query 'HKLM\System\CurrentControlSet\Control\Lsa' /v LimitBlankPasswordUse \
    2>/dev/null | tr -d '\r' | awk '/LimitBlankPasswordUse/ { print $3; found = 1 }
    END { if (!found) print "none" }'
}

# Clicks the middle of the button $2 pixels left and 25 up from the lower
# right corner of window $1 (the buttons keep to that corner).
click_button() {
  eval "$(xdotool getwindowgeometry --shell "$1")"
  click_at $((X + WIDTH - $2)) $((Y + HEIGHT - 25))
}
click_cancel() { click_button "$1" 58; }
click_next() { click_button "$1" 152; }

# Next on the settings page, the account page and the software page: the
# run starts.
next_to_status() {
  next_to_page "$1" "$(language_text "$2" 113)" || return 1
  next_to_page "$1" "$(language_text "$2" 130)" || return 1
  click_next "$1"
}

# next_to_page <wizard> <title>: Next, and the page titled so is shown.
next_to_page() {
  click_next "$1"
  within 10 window_named "$1" "$2" || fail "Next did not lead to '$2'"
}

# The display scale of the prefix in DPI (96 = 100 %, 144 = 150 %, 192 =
# 200 %): Wine 8 reads the desktop's LogPixels for the windows and the fonts'
# for the font sizes. Takes effect for programs started after it.
wizard_set_dpi() {
  wizard_restart_wine
  for key in 'HKCU\Control Panel\Desktop' \
    'HKLM\System\CurrentControlSet\Hardware Profiles\Current\Software\Fonts'; do
    wine_run reg add "$key" /v LogPixels /t REG_DWORD /d "$1" /f >/dev/null 2>&1
  done
  wizard_restart_wine
}

# The child windows of the window titled $1 as window_query.exe lists them
# (first line "window <client width> <client height> <dpi> <client left>
# <client top>", the last two inside the window).
window_controls() { wine_run "$build/window_query.exe" "$1" 2>/dev/null | tr -d '\r'; }

# Clicks the middle of control $2 of the window $1 (by id) of title $3.
click_control() {
  eval "$(xdotool getwindowgeometry --shell "$1")"
  place=$(window_controls "$3" | awk -v id="$2" '
    $1 == "window" { left = $5; top = $6 }
    $1 == id { print int(left + $3 + $5 / 2), int(top + $4 + $6 / 2); exit }')
  [ -n "$place" ] || return 1
  click_at $((X + ${place% *})) $((Y + ${place#* }))
}
