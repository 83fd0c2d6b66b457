# /EncryptIni scrambles every plain password of the users section and ends
# with code 0; a second run changes nothing; /DecryptIni restores every
# password and removes every "crypted.<n>" key.
scramble_run() {
  wine_run_within 120 "$tarn" "$1" "/users=$users_win"
  code=$?
  [ "$code" -eq 0 ] || fail "$1 exit code $code"
}

# The value of key $1 in the users file ("" when missing).
users_value() { tr -d '\r' <"$users" | awk -F= -v key="$1" 'tolower($1) == tolower(key) { print substr($0, length($1) + 2); exit }'; }

case_scramble_users() {
  users="$artifacts/scramble-users.ini"
  printf '[users]\r\nuser.0=anna\r\npassword.0=Secret-1\r\nuser.1=ben\r\nuser.2=carl\r\npassword.2=two words\r\nuser.4=dora\r\npassword.4=after the gap\r\n' >"$users"
  users_win=$(win_path "$users")
  scramble_run /EncryptIni || return 1
  [ "$(users_value crypted.0)" = 18 ] || fail "crypted.0 is '$(users_value crypted.0)'" || return 1
  [ "$(users_value crypted.2)" = 20 ] || fail "crypted.2 is '$(users_value crypted.2)'" || return 1
  [ -z "$(users_value crypted.1)" ] || fail "an empty password was scrambled" || return 1
  [ "$(users_value password.4)" = "after the gap" ] || fail "the gap did not end the list" || return 1
  grep -q 'Secret-1\|two words' "$users" && { fail "a plain password is left"; return 1; }
  cp "$users" "$artifacts/scramble-first.ini"
  scramble_run /EncryptIni || return 1
  cmp -s "$users" "$artifacts/scramble-first.ini" || fail "the second run changed the file" || return 1
  scramble_run /DecryptIni || return 1
  [ "$(users_value password.0)" = Secret-1 ] || fail "password.0 is '$(users_value password.0)'" || return 1
  [ "$(users_value password.2)" = "two words" ] || fail "password.2 is '$(users_value password.2)'" || return 1
  grep -qi crypted "$users" && { fail "a crypted key is left"; return 1; }
  return 0
}
