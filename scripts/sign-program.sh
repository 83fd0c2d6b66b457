#!/bin/sh
# Signs a Windows program with Authenticode (SHA-256) through osslsigncode:
#   scripts/sign-program.sh <program.exe> <signed.exe>
# TARN_SIGN_CERT  the certificate chain (PEM), signing certificate first
# TARN_SIGN_KEY   its private key (PEM)
# TARN_SIGN_PASS  the key's password, when it has one; handed to osslsigncode
#                 in a file only this user can read, never on a command line
# TARN_SIGN_TIMESTAMP_URL  an RFC 3161 time-stamping server, optional: with
#                 it the signature stays valid after the certificate expires
set -eu
in=${1:?usage: scripts/sign-program.sh <program.exe> <signed.exe>}
out=${2:?usage: scripts/sign-program.sh <program.exe> <signed.exe>}
: "${TARN_SIGN_CERT:?TARN_SIGN_CERT must name the certificate (PEM)}"
: "${TARN_SIGN_KEY:?TARN_SIGN_KEY must name the private key (PEM)}"
for file in "$TARN_SIGN_CERT" "$TARN_SIGN_KEY"; do
  [ -r "$file" ] || { echo "sign-program: cannot read $file" >&2; exit 1; }
done

set -- -certs "$TARN_SIGN_CERT" -key "$TARN_SIGN_KEY" -h sha256 -n TARN -i https://tarn.example.org/
pass_file=""
trap 'rm -f "$pass_file"' EXIT
if [ -n "${TARN_SIGN_PASS:-}" ]; then
  pass_file=$(umask 077 && mktemp)
  printf '%s' "$TARN_SIGN_PASS" >"$pass_file"
  set -- "$@" -readpass "$pass_file"
fi
[ -z "${TARN_SIGN_TIMESTAMP_URL:-}" ] || set -- "$@" -ts "$TARN_SIGN_TIMESTAMP_URL"
rm -f "$out"
osslsigncode sign "$@" -in "$in" -out "$out" >/dev/null
