# The wizard driven by a person, in English and German: a computer name with
# a blank shows its balloon and keeps Next off, a valid one lets Next go on to
# the status page, which runs the commands and offers Finish; a key stops the
# automatic start; Cancel during a long command asks, No lets the run go on,
# Yes ends it (code 0) with no further command started and the blank-password
# policy as it was; Cancel's question stops the automatic start, which does
# not overtake it. Screenshots of every page and of the question are kept.
. "$root/tests/e2e/wizard_lib.sh"

# A configuration without accounts: one command, or a long one and another.
write_wizard_ini() {
  {
    printf '[settings]\r\nComputer=E2E-PC\r\nWorkgroup=LAB\r\nVerbose=1\r\n'
    printf 'AutoInstall=0\r\nAutoExit=0\r\n[Commands]\r\ndescription=Commands\r\n'
    printf 'selected=1,inherit\r\n'
    if [ "$2" = long ]; then
      printf 'command.0=cmd /c ping -n 30 127.0.0.1 >nul\r\ndescription.0=Long command\r\n'
      printf 'command.1=cmd /c exit 0\r\ndescription.1=Command after the long one\r\n'
    else
      printf 'command.0=cmd /c exit 0\r\ndescription.0=Quick command\r\n'
    fi
  } >"$1"
}

command_lines() { tarn_log "$1" | grep -c ' - Command: '; }
has_command_line() { [ "$(command_lines "$1")" -ge 1 ]; }
run_finished() { tarn_log "$1" | grep -q "$(language_text "$2" 143 | cut -c1-20)"; }

balloon_and_next() {
  lang=$1
  settings=$(language_text "$lang" 129)
  status=$(language_text "$lang" 131)
  start_tarn "wizard-quick-$lang" "/ini=$(win_path "$artifacts/wizard-quick.ini")" \
    "/language=$lang" /skiprestart
  id=$(wait_window "$settings" 60) || { fail "no window '$settings'"; return 1; }
  still_screenshot "wizard-settings-$lang"
  before=$(visible_windows | wc -l)
  # The first field with the focus is the owner's; the computer name is two on.
  keys_to "$id" Tab Tab End space
  within 5 sh -c "[ \$(xdotool search --onlyvisible --name '.*' 2>/dev/null | wc -l) -gt $before ]" ||
    fail "no balloon on a computer name with a blank" || return 1
  still_screenshot "wizard-balloon-$lang"
  click_next "$id"
  sleep 1
  window_named "$id" "$settings" || fail "Next went on with a blank in the computer name" ||
    return 1
  keys_to "$id" BackSpace
  within 5 sh -c "[ \$(xdotool search --onlyvisible --name '.*' 2>/dev/null | wc -l) -le $before ]" ||
    fail "the balloon stayed on a valid computer name" || return 1
  next_to_status "$id" "$lang" || return 1
  within 10 window_named "$id" "$status" || fail "Next did not lead to '$status'" || return 1
  within 20 run_finished "wizard-quick-$lang" "$lang" || fail "the run did not finish" || return 1
  [ "$(command_lines "wizard-quick-$lang")" -eq 1 ] || fail "not one command ran" || return 1
  still_screenshot "wizard-status-done-$lang"
  keys_to "$id" Return
  code=$(tarn_exit_code 20) || fail "Finish did not end the program" || return 1
  [ "$code" = 0 ] || fail "exit code $code after Finish"
}

# The on-screen count: a visible window other than the wizard in the
# screen's top left corner.
countdown_window() {
  for window in $(visible_windows); do
    [ "$window" = "$1" ] && continue
    X=1 Y=1
    eval "$(xdotool getwindowgeometry --shell "$window" 2>/dev/null)"
    [ "$X" -le 2 ] && [ "$Y" -le 2 ] && { echo "$window"; return 0; }
  done
  return 1
}

osd_has_text() {
  WIDTH=0
  eval "$(xdotool getwindowgeometry --shell "$1" 2>/dev/null)"
  [ "$WIDTH" -gt 10 ]
}

# countdown_start <name> <delay> <ready> <arguments...>: starts the wizard
# with an automatic start after <delay> seconds and waits for the settings
# page and its count; sets `id`, `osd` and `shown` (epoch seconds, when the
# page was first seen: its timer runs from a little before). False, with
# `slow` set, when the machine took so long that less than <ready> seconds
# of the delay would be left for the test.
countdown_start() {
  name=$1 delay=$2 ready=$3
  shift 3
  settings=$(language_text en 129)
  slow=
  start_tarn "$name" "/ini=$(win_path "$artifacts/wizard-quick.ini")" "/autoinstall=$delay" \
    /skiprestart "$@"
  id=$(wait_window "$settings" 60) || { fail "no window '$settings'"; return 1; }
  shown=$(date +%s)
  # The count appears at its first tick, a second after the page.
  osd=$(within 5 countdown_window "$id") ||
    fail "no countdown window beside the wizard" || return 1
  [ $(($(date +%s) - shown)) -le $((delay - ready)) ] || { slow=1; return 1; }
}

# After a failed countdown_start: true, with a note, when only the machine
# was too slow for the phase to judge anything.
not_judged() {
  [ -n "$slow" ] || return 1
  echo "    the wizard came up too late to judge its countdown: phase skipped"
  wizard_restart_wine
}

# The countdown goes on by itself past the delay unless something stopped it:
# wait until then, with a margin for a loaded machine.
past_the_delay() {
  while [ $(($(date +%s) - shown)) -lt $(($1 + 3)) ]; do sleep 0.5; done
}

nothing_ran() {
  has_command_line "$1" && { fail "a command ran: $2"; return 1; }
  tarn_log "$1" | grep -q 'Setting Computer name' &&
    { fail "the settings were applied: $2"; return 1; }
  return 0
}

key_stops_countdown() {
  settings=$(language_text en 129)
  countdown_start wizard-countdown 8 4 || { not_judged; return; }
  # One picture, not a still one: the count changes every second, and
  # waiting for a still screen would outlast the delay. The window takes its
  # text's size at the first tick.
  within 3 osd_has_text "$osd"
  screenshot wizard-settings-countdown-en
  # The new wizard has the keyboard: no click first.
  xdotool key Right 2>/dev/null
  within 3 window_gone "$osd" || fail "the countdown window stayed after a key" || return 1
  past_the_delay 8
  window_named "$id" "$settings" || fail "the wizard went on by itself after a key" || return 1
  nothing_ran wizard-countdown "after the key" || return 1
  wizard_restart_wine
}

# Cancel clicked while the automatic start counts down: the question stops
# the countdown, so however long it stays open the wizard does not go on, and
# No leaves it waiting on the settings page.
cancel_stops_countdown() {
  settings=$(language_text en 129)
  countdown_start wizard-cancel-countdown 6 4 || { not_judged; return; }
  click_cancel "$id"
  box=$(wait_window "$(language_text en 182)" 10) || { fail "no question on Cancel"; return 1; }
  within 3 window_gone "$osd" || fail "the countdown window stayed with the question open" ||
    return 1
  past_the_delay 6
  window_named "$box" "$(language_text en 182)" || fail "the question closed by itself" || return 1
  window_named "$id" "$settings" || fail "the wizard went on behind the question" || return 1
  keys_to "$box" Return # No, the default button
  within 5 window_gone "$box" || fail "the question stayed after No" || return 1
  sleep 2
  window_named "$id" "$settings" || fail "the wizard went on after No" || return 1
  nothing_ran wizard-cancel-countdown "after Cancel and No" || return 1
  wizard_restart_wine
}

cancel_during_run() {
  lang=$1
  settings=$(language_text "$lang" 129)
  status=$(language_text "$lang" 131)
  question=$(language_text "$lang" 182)
  policy_before=$(blank_password_policy)
  start_tarn "wizard-cancel-$lang" "/ini=$(win_path "$artifacts/wizard-long.ini")" \
    "/language=$lang"
  id=$(wait_window "$settings" 60) || { fail "no window '$settings'"; return 1; }
  next_to_status "$id" "$lang" || return 1
  within 10 window_named "$id" "$status" || fail "Next did not lead to '$status'" || return 1
  within 20 has_command_line "wizard-cancel-$lang" || fail "the long command did not start" ||
    return 1
  # Wine gives the command a console window over the wizard; it goes below.
  console=$(wait_window 'C:\\windows\\system32\\cmd.exe' 10) &&
    xdotool windowmove --sync "$console" 0 640 2>/dev/null
  policy_during=$(blank_password_policy)
  echo "    blank-password policy: $policy_before before, $policy_during during the run"
  # No command runs as an account with a blank password (there are no
  # accounts, and Wine has no Secondary Logon): the policy stays as it was.
  [ "$policy_during" = "$policy_before" ] ||
    fail "the policy was relaxed though no command needs it" || return 1
  still_screenshot "wizard-status-$lang"

  click_cancel "$id"
  box=$(wait_window "$question" 10) || { fail "no question '$question'"; return 1; }
  still_screenshot "cancel-question-$lang"
  keys_to "$box" Return # No, the default button
  within 5 window_gone "$box" || fail "the question stayed after No" || return 1
  sleep 1
  window_named "$id" "$status" || fail "No ended the wizard" || return 1
  tarn_log "wizard-cancel-$lang" | grep -q 'Command after the long one' &&
    { fail "No ended the long command"; return 1; }

  click_cancel "$id"
  box=$(wait_window "$question" 10) || { fail "no question after the second Cancel"; return 1; }
  keys_to "$box" Tab Return # Yes
  code=$(tarn_exit_code 30) || fail "Yes did not end the program" || return 1
  [ "$code" = 0 ] || fail "exit code $code after Cancel" || return 1
  tarn_log "wizard-cancel-$lang" | grep -q 'Long command.*1067' ||
    fail "the log does not show the long command ended (1067)" || return 1
  [ "$(command_lines "wizard-cancel-$lang")" -eq 1 ] ||
    fail "a command started after the confirmed Cancel" || return 1
  policy_after=$(blank_password_policy)
  [ "$policy_after" = "$policy_before" ] ||
    fail "the policy is $policy_after after the run, $policy_before before" || return 1
  wizard_restart_wine
}

case_wizard_interactive() {
  wizard_screen_open || return 1
  write_wizard_ini "$artifacts/wizard-quick.ini" quick
  write_wizard_ini "$artifacts/wizard-long.ini" long
  rc=0
  for lang in en de; do
    [ "$rc" -eq 0 ] || break
    balloon_and_next "$lang" || rc=1
    wizard_restart_wine
    [ "$rc" -eq 0 ] || break
    cancel_during_run "$lang" || rc=1
    wizard_restart_wine
  done
  [ "$rc" -ne 0 ] || key_stops_countdown || rc=1
  [ "$rc" -ne 0 ] || cancel_stops_countdown || rc=1
  wizard_screen_close
  return $rc
}
