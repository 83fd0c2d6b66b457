# The software page driven by a person, in English and German. With the
# mouse: unticking a section unticks its items, the other radio member
# switches the pair, a locked entry's box does not change, a click on an
# entry shows its help (an RTF document with a picture and a link, or the
# short help), the splitter drags; with keys: "Select all" cycles and the
# Load menu's "Browse for file ..." loads a second configuration. After Next
# the run starts exactly the commands then ticked, in order (checked through
# the log). Screenshots of each step are kept.
. "$root/tests/e2e/wizard_lib.sh"

# Each command echoes its own tag, so the log's command lines name the entry.
write_software_ini() {
  help=$(win_path "$root/examples/help/tools.rtf")
  {
    printf '[settings]\r\nComputer=E2E-PC\r\nVerbose=1\r\nAutoInstall=0\r\nAutoExit=0\r\n'
    printf '[Apps]\r\ndescription=Applications\r\nselected=1,inherit\r\nhelp=%s\r\n' "$help"
    printf 'command.0=cmd /c echo app-one\r\ndescription.0=App one\r\n'
    printf 'helptext.0=Short help of App one: C:\\Tools\\{x}\r\n'
    printf 'command.1=cmd /c echo app-two\r\ndescription.1=App two\r\n'
    printf '[Viewer]\r\ndescription=Viewer (choose one)\r\ngroup=1\r\nselected=1\r\n'
    printf 'command.0=cmd /c echo viewer-a\r\ndescription.0=Viewer A\r\nselected.0=1\r\n'
    printf 'command.1=cmd /c echo viewer-b\r\ndescription.1=Viewer B\r\nselected.1=0\r\n'
    printf '[Fixed]\r\ndescription=Fixed by the administrator\r\nlocked=1,inherit\r\n'
    printf 'selected=1,inherit\r\ncommand.0=cmd /c echo fixed-driver\r\n'
    printf 'description.0=Fixed driver\r\n'
  } >"$1"
  {
    printf '[Second]\r\ndescription=Second configuration\r\nselected=1,inherit\r\n'
    printf 'command.0=cmd /c echo second-one\r\ndescription.0=Second one\r\n'
  } >"$2"
}

# The tags of the commands run $1 started, in order, on one line.
started_tags() {
  tarn_log "$1" | grep ' - Command: ' | sed -n 's/.*cmd \/c echo \([a-z-]*\).*/\1/p' | tr '\n' ' '
}

# Rows are 13 pixels high under Wine's default font; the list's first row and
# its check boxes sit at these offsets from the wizard's top left corner.
row_y() { echo $((Y + 130 + 13 * $1)); }
box_x() { echo $((X + 37 + 9 * $1)); }

# click_box <wizard> <row> <level>: a click on the row's check box or radio button.
click_box() {
  eval "$(xdotool getwindowgeometry --shell "$1")"
  click_at "$(box_x "$3")" "$(row_y "$2")"
  sleep 0.3
}

# click_text <wizard> <row>: a click on the row's text.
click_text() {
  eval "$(xdotool getwindowgeometry --shell "$1")"
  click_at $((X + 80)) "$(row_y "$2")"
  sleep 0.5
}

# Opens the software page of run $1 in language $2; the wizard's id is left in $id.
open_software_page() {
  start_tarn "$1" "/ini=$(win_path "$artifacts/software.ini")" "/language=$2" /skiprestart
  id=$(wait_window "$(language_text "$2" 129)" 60) || { fail "no settings page"; return 1; }
  next_to_page "$id" "$(language_text "$2" 113)" || return 1
  next_to_page "$id" "$(language_text "$2" 130)"
}

run_finished_in() { tarn_log "$1" | grep -q "$(language_text "$2" 143 | cut -c1-20)"; }

# Next, then waits for the run to finish and Finish to end the program.
run_and_finish() {
  click_next "$1"
  within 30 run_finished_in "$2" "$3" || fail "the run did not finish" || return 1
  keys_to "$1" Return
  code=$(tarn_exit_code 20) || fail "Finish did not end the program" || return 1
  [ "$code" = 0 ] || fail "exit code $code"
}

clicks_and_help() {
  open_software_page software-clicks en || return 1
  still_screenshot software-page-en
  click_text "$id" 0
  still_screenshot software-help-document-en
  click_text "$id" 1
  still_screenshot software-help-text-en
  click_box "$id" 0 0 # Applications: off, and both apps with it
  click_box "$id" 5 1 # Viewer B instead of Viewer A
  click_box "$id" 7 1 # the locked driver stays ticked
  xdotool key space   # nor does the space bar change it
  still_screenshot software-ticked-en
  before="$artifacts/software-ticked-en.png"
  pointer_to $((X + 366)) $((Y + 250))
  xdotool mousedown 1 mousemove --sync $((X + 300)) $((Y + 250)) \
    mousemove --sync $((X + 240)) $((Y + 250)) mouseup 1 2>/dev/null
  still_screenshot software-splitter-en
  moved=$(compare -metric AE "$before" "$artifacts/software-splitter-en.png" null: 2>&1 | cut -d' ' -f1)
  [ "${moved:-0}" -gt 1000 ] || fail "the splitter did not move ($moved pixels changed)" || return 1
  run_and_finish "$id" software-clicks en || return 1
  tags=$(started_tags software-clicks)
  [ "$tags" = "viewer-b fixed-driver " ] || fail "the run started: $tags" || return 1
}

select_all_twice() {
  open_software_page software-select-all de || return 1
  keys_to "$id" alt+a
  still_screenshot software-select-none-de
  xdotool key alt+a 2>/dev/null
  still_screenshot software-select-all-de
  run_and_finish "$id" software-select-all de || return 1
  tags=$(started_tags software-select-all)
  # Everything, with the radio group back at the file's choice.
  [ "$tags" = "app-one app-two viewer-a fixed-driver " ] || fail "the run started: $tags"
}

load_second_configuration() {
  open_software_page software-load en || return 1
  keys_to "$id" alt+l
  still_screenshot software-load-menu-en
  xdotool key Down Down Return 2>/dev/null # Browse for file ...
  box=$(wait_window "$(language_text en 149)" 20) || { fail "no open-file dialog"; return 1; }
  sleep 1
  xdotool type --delay 20 "$(win_path "$artifacts/software-second.ini")" 2>/dev/null
  xdotool key Return 2>/dev/null
  within 10 window_gone "$box" || fail "the open-file dialog stayed" || return 1
  still_screenshot software-loaded-en
  run_and_finish "$id" software-load en || return 1
  tags=$(started_tags software-load)
  [ "$tags" = "second-one " ] || fail "the run started: $tags"
}

case_software_page() {
  wizard_screen_open || return 1
  write_software_ini "$artifacts/software.ini" "$artifacts/software-second.ini"
  rc=0
  clicks_and_help || rc=1
  wizard_restart_wine
  [ "$rc" -ne 0 ] || select_all_twice || rc=1
  wizard_restart_wine
  [ "$rc" -ne 0 ] || load_second_configuration || rc=1
  wizard_screen_close
  return $rc
}
