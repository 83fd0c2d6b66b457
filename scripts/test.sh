#!/bin/sh
# Runs every test lane of TARN:
#   native     the core and the simulated machine, GCC, unit and contract tests
#   sanitize   the same tests with address and undefined-behaviour sanitizers
#   windows    the mingw-w64 build; contract tests and end-to-end tests of
#              tarn.exe under Wine (with a private X server when needed)
#   fuzz       a short run of every libFuzzer target (clang)
#   bench      builds the benchmarks and runs each once, briefly (no goals checked)
#   release    builds the release zip twice in two folders and compares them
#              byte for byte; signs with a throwaway certificate and verifies
# Usage: scripts/test.sh [lane...]   (default: all lanes)
# FUZZ_SECONDS sets the run time of each fuzz target (default 15).
set -eu
. "$(dirname "$0")/lib.sh"

"$TARN_ROOT/scripts/install-deps.sh"

lanes=${*:-"native sanitize windows fuzz bench release"}
failed=""
# What a failing lane wants seen at the very end, where CI's short tail shows it.
summary=$(mktemp)
lane_output=$(mktemp)
lane_status=$(mktemp)
timings=$(mktemp)
trap 'rm -f "$summary" "$lane_output" "$lane_status" "$timings" "$lane_output.release"*' EXIT

# Runs ctest in $1 and, when tests fail, notes their names for the summary.
run_ctest() {
  dir=$1; shift
  ctest --test-dir "$dir" --output-on-failure "$@" && return 0
  { echo "ctest in $dir failed:"; cat "$dir/Testing/Temporary/LastTestsFailed.log" 2>/dev/null; } >>"$summary"
  return 1
}

lane_native() {
  # The benchmarks are built (and run) by their own lane.
  build_lane "$TARN_ROOT/build/native" -DCMAKE_BUILD_TYPE=Debug -DTARN_BENCH=OFF || return 1
  run_ctest "$TARN_ROOT/build/native" -j "$JOBS"
}

lane_sanitize() {
  build_lane "$TARN_ROOT/build/sanitize" -DCMAKE_BUILD_TYPE=Debug -DTARN_SANITIZE=ON || return 1
  ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 \
    run_ctest "$TARN_ROOT/build/sanitize" -j "$JOBS"
}

lane_windows() {
  build="$TARN_ROOT/build/win"
  build_lane "$build" -DCMAKE_TOOLCHAIN_FILE="$TARN_ROOT/cmake/mingw-w64.cmake" \
    -DCMAKE_BUILD_TYPE=Release || return 1
  ensure_display || return 1
  export TARN_WINEPREFIX="$build/wineprefix"
  rc=0
  run_ctest "$build" || rc=1
  stop_wineserver "$TARN_WINEPREFIX"
  start_release_beside_e2e
  "$TARN_ROOT/tests/e2e/run.sh" "$build" >"$build/e2e.log" 2>&1 || {
    rc=1; tail -n 1 "$build/e2e.log" >>"$summary"; }
  cat "$build/e2e.log"
  stop_wineserver "$TARN_WINEPREFIX"
  stop_display
  return $rc
}

# Runs one fuzz target for $seconds; on failure leaves "<target>.failed".
fuzz_one() {
  target=$1
  name=$(basename "$target")
  corpus="$build/corpus/$name"
  mkdir -p "$corpus"
  seeds="$TARN_ROOT/fuzz/corpus/${name%_fuzzer}"
  [ -d "$seeds" ] || seeds=""
  rm -f "$build/$name.failed"
  # shellcheck disable=SC2086
  "$target" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 \
    -print_final_stats=0 -artifact_prefix="$build/$name-" "$corpus" $seeds \
    >"$build/$name.log" 2>&1 || : >"$build/$name.failed"
}

lane_fuzz() {
  build="$TARN_ROOT/build/fuzz"
  CC=clang CXX=clang++ build_lane "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTARN_FUZZ=ON || return 1
  seconds=${FUZZ_SECONDS:-15}
  # Each target is single-threaded: run as many at once as there are cores.
  running=0
  for target in "$build"/*_fuzzer; do
    [ -x "$target" ] || continue
    echo "fuzz: $(basename "$target") for ${seconds}s"
    fuzz_one "$target" &
    running=$((running + 1))
    if [ "$running" -ge "$JOBS" ]; then wait; running=0; fi
  done
  wait
  rc=0
  for target in "$build"/*_fuzzer; do
    name=$(basename "$target")
    [ -e "$build/$name.failed" ] || continue
    echo "fuzz: $name FAILED"; tail -n 40 "$build/$name.log"; rc=1
    { echo "fuzz: $name FAILED"
      grep -E "^(==[0-9]+== ?ERROR|SUMMARY|Base64|artifact_prefix|Test unit written)|#[0-9]+ 0x.* in " \
        "$build/$name.log" | head -n 20; } >>"$summary"
  done
  return $rc
}

lane_bench() {
  build="$TARN_ROOT/build/bench"
  cmake -S "$TARN_ROOT" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DTARN_BENCH=ON >/dev/null || return 1
  cmake --build "$build" -j "$JOBS" --target benchmarks || return 1
  rc=0
  for b in "$build"/*_bench; do
    [ -x "$b" ] || continue
    echo "bench: $(basename "$b")"
    "$b" --benchmark_min_time=0.01 >/dev/null 2>"$build/$(basename "$b").err" ||
      { echo "bench: $(basename "$b") FAILED"; cat "$build/$(basename "$b").err"; rc=1; }
  done
  return $rc
}

# A throwaway certificate authority and a code-signing certificate it issued,
# the key under a password, in folder $1.
make_signing_certificate() {
  openssl req -x509 -newkey rsa:2048 -nodes -days 2 -subj "/CN=TARN lane test CA" \
    -addext basicConstraints=critical,CA:TRUE -addext keyUsage=critical,keyCertSign \
    -keyout "$1/ca.key" -out "$1/ca.pem" 2>/dev/null || return 1
  openssl req -newkey rsa:2048 -passout pass:lane-secret -subj "/CN=TARN lane test signer" \
    -keyout "$1/signer.key" -out "$1/signer.csr" 2>/dev/null || return 1
  printf 'basicConstraints=CA:FALSE\nkeyUsage=critical,digitalSignature\nextendedKeyUsage=codeSigning\n' \
    >"$1/signer.ext"
  openssl x509 -req -in "$1/signer.csr" -CA "$1/ca.pem" -CAkey "$1/ca.key" -CAcreateserial \
    -days 2 -extfile "$1/signer.ext" -out "$1/signer.pem" 2>/dev/null
}

# Two releases of HEAD in two folders (other paths, nothing shared, no
# compiler cache) must be the same bytes; a third, signed, reuses the first
# folder's objects, and its tarn.exe must verify against the throwaway CA.
lane_release() {
  folder="$TARN_ROOT/build/release-lane"
  rm -rf "$folder"
  mkdir -p "$folder/keys"
  started=$(date +%s)
  for run in one two; do
    CCACHE_DISABLE=1 "$TARN_ROOT/scripts/release.sh" --build "$folder/$run" \
      --dist "$folder/dist-$run" || return 1
    echo "release: run $run done after $(($(date +%s) - started)) s"
  done
  rc=0
  for file in $(cd "$folder/dist-one" && ls); do
    cmp "$folder/dist-one/$file" "$folder/dist-two/$file" || {
      echo "release: $file differs between the two builds" | tee -a "$summary"; rc=1; }
  done
  zip=$(cd "$folder/dist-one" && ls tarn-*-win-x64.zip)
  (cd "$folder/dist-one" && head -n 1 SHA256SUMS | sha256sum -c --quiet) || rc=1
  make_signing_certificate "$folder/keys" || {
    echo "release: no throwaway certificate" >>"$summary"; return 1; }
  TARN_SIGN_CERT="$folder/keys/signer.pem" TARN_SIGN_KEY="$folder/keys/signer.key" \
    TARN_SIGN_PASS=lane-secret CCACHE_DISABLE=1 \
    "$TARN_ROOT/scripts/release.sh" --build "$folder/one" --dist "$folder/dist-signed" || return 1
  mkdir -p "$folder/signed"
  (cd "$folder/signed" && python3 -m zipfile -e "$folder/dist-signed/$zip" .) || return 1
  osslsigncode verify -CAfile "$folder/keys/ca.pem" -in "$folder/signed/tarn.exe" \
    >"$folder/verify.log" 2>&1 || {
    tail -n 5 "$folder/verify.log"
    echo "release: the signed tarn.exe does not verify" >>"$summary"; rc=1; }
  cmp -s "$folder/signed/tarn.exe" "$folder/signed/TARN-verify/tarn.exe" || {
    echo "release: the verification kit holds another tarn.exe" >>"$summary"; rc=1; }
  echo "release: $(grep -m 1 'Signature verification' "$folder/verify.log")"
  echo "release: the lane took $(($(date +%s) - started)) s"
  return $rc
}

# The end-to-end cases mostly wait for Wine and for windows, not for the
# processor: when the release lane is asked for too, it builds meanwhile in
# the background and reports in its own turn.
# (Lanes run in a subshell of their pipe: what the parent needs to know of the
# background lane goes through files.)
release_log="$lane_output.release"
start_release_beside_e2e() {
  case " $lanes " in *" release "*) ;; *) return 0 ;; esac
  # Only the status goes to the status file; everything the lane prints goes
  # to its log.
  { if lane_release; then echo 0 >"$release_log.status"; else echo 1 >"$release_log.status"; fi; } \
    >"$release_log" 2>&1 &
  echo $! >"$release_log.pid"
}

lane_release_beside() {
  while [ ! -s "$release_log.status" ] && kill -0 "$(cat "$release_log.pid")" 2>/dev/null; do
    sleep 2
  done
  cat "$release_log"
  [ "$(cat "$release_log.status" 2>/dev/null)" = 0 ]
}

for lane in $lanes; do
  echo "==== lane: $lane"
  run="lane_$lane"
  if [ "$lane" = release ] && [ -e "$release_log.pid" ]; then run=lane_release_beside; fi
  lane_started=$(date +%s)
  before=$(wc -c <"$summary")
  # The lane runs in a subshell of the pipe; its status comes back in a file.
  { if "$run"; then echo 0 >"$lane_status"; else echo 1 >"$lane_status"; fi; } 2>&1 | tee "$lane_output"
  if [ "$(cat "$lane_status")" != 0 ]; then
    failed="$failed $lane"
    # A lane that fails before its tests (a build error, no display) says
    # nothing in the summary by itself: keep its last lines there.
    if [ "$(wc -c <"$summary")" = "$before" ]; then
      { echo "lane $lane failed; its last lines:"; tail -n 15 "$lane_output"; } >>"$summary"
    fi
  fi
  echo "$lane $(($(date +%s) - lane_started)) s" >>"$timings"
done
echo "==== time per lane (a lane run beside another counts only its wait):"
cat "$timings"

if [ -n "$failed" ]; then
  cat "$summary"
  echo "==== FAILED lanes:$failed"
  exit 1
fi
echo "==== all lanes passed: $lanes"
