#!/bin/sh
# Runs every test lane of TARN:
#   native     the core and the simulated machine, GCC, unit and contract tests
#   sanitize   the same tests with address and undefined-behaviour sanitizers
#   windows    the mingw-w64 build; contract tests and end-to-end tests of
#              tarn.exe under Wine (with a private X server when needed)
#   fuzz       a short run of every libFuzzer target (clang)
#   bench      builds the benchmarks and runs each once, briefly (no goals checked)
# Usage: scripts/test.sh [lane...]   (default: all lanes)
# FUZZ_SECONDS sets the run time of each fuzz target (default 15).
set -eu
. "$(dirname "$0")/lib.sh"

"$TARN_ROOT/scripts/install-deps.sh"

lanes=${*:-"native sanitize windows fuzz bench"}
failed=""

lane_native() {
  build_lane "$TARN_ROOT/build/native" -DCMAKE_BUILD_TYPE=Debug || return 1
  ctest --test-dir "$TARN_ROOT/build/native" --output-on-failure -j "$JOBS"
}

lane_sanitize() {
  build_lane "$TARN_ROOT/build/sanitize" -DCMAKE_BUILD_TYPE=Debug -DTARN_SANITIZE=ON || return 1
  ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 \
    ctest --test-dir "$TARN_ROOT/build/sanitize" --output-on-failure -j "$JOBS"
}

lane_windows() {
  build="$TARN_ROOT/build/win"
  build_lane "$build" -DCMAKE_TOOLCHAIN_FILE="$TARN_ROOT/cmake/mingw-w64.cmake" \
    -DCMAKE_BUILD_TYPE=Release || return 1
  ensure_display || return 1
  export TARN_WINEPREFIX="$build/wineprefix"
  rc=0
  ctest --test-dir "$build" --output-on-failure || rc=1
  stop_wineserver "$TARN_WINEPREFIX"
  "$TARN_ROOT/tests/e2e/run.sh" "$build" || rc=1
  stop_wineserver "$TARN_WINEPREFIX"
  stop_display
  return $rc
}

lane_fuzz() {
  build="$TARN_ROOT/build/fuzz"
  CC=clang CXX=clang++ build_lane "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTARN_FUZZ=ON || return 1
  seconds=${FUZZ_SECONDS:-15}
  rc=0
  for target in "$build"/*_fuzzer; do
    [ -x "$target" ] || continue
    name=$(basename "$target")
    corpus="$build/corpus/$name"
    mkdir -p "$corpus"
    seeds="$TARN_ROOT/fuzz/corpus/${name%_fuzzer}"
    [ -d "$seeds" ] || seeds=""
    echo "fuzz: $name for ${seconds}s"
    # shellcheck disable=SC2086
    if ! "$target" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 \
        -print_final_stats=0 "$corpus" $seeds >"$build/$name.log" 2>&1; then
      echo "fuzz: $name FAILED"; tail -n 40 "$build/$name.log"; rc=1
    fi
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
    "$b" --benchmark_min_time=0.01 >/dev/null || { echo "bench: $(basename "$b") FAILED"; rc=1; }
  done
  return $rc
}

for lane in $lanes; do
  echo "==== lane: $lane"
  if ! "lane_$lane"; then
    failed="$failed $lane"
  fi
done

if [ -n "$failed" ]; then
  echo "==== FAILED lanes:$failed"
  exit 1
fi
echo "==== all lanes passed: $lanes"
