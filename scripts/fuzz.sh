#!/usr/bin/env bash
# Builds the fuzz targets with clang and libFuzzer (build-fuzz/) and runs each for a fixed
# number of executions from its starting inputs in fuzz/corpus/<target>/, printing the count.
# A crash, a hang, a sanitizer report or a broken property fails the script.
#   scripts/fuzz.sh [EXECUTIONS]     (default 20000; the long pass: scripts/fuzz.sh 2000000)
# Each pass mutates from a new random start, so that passes over time cover more inputs; a
# finding is kept as build-fuzz/crash-* and replays with the target and that file.
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
cd "$here"
runs=${1:-20000}
build=build-fuzz
targets=(extra followup template codepage readers sales)
CC=clang-14 CXX=clang++-14 cmake -S . -B "$build" -DBRELO_FUZZ=ON -DBRELO_TESTS=OFF -DBRELO_BENCH=OFF \
  -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$build" -j"$(nproc)" --target "${targets[@]/#/fuzz_}" >/dev/null
export QT_QPA_PLATFORM=offscreen
status=0
for target in "${targets[@]}"; do
  # The fuzzer adds what it finds to a working copy, never to the inputs kept in the tree.
  work="$build/corpus/$target"
  rm -rf "$work" && mkdir -p "$work"
  cp fuzz/corpus/"$target"/* "$work"/ 2>/dev/null || true
  log="$build/fuzz_$target.log"
  if "$build/fuzz/fuzz_$target" -runs="$runs" -max_len=4096 -timeout=10 -artifact_prefix="$build/" "$work" >"$log" 2>&1; then
    echo "fuzz_$target: $runs executions, no finding"
  else
    echo "fuzz_$target: FINDING (see $log)"
    tail -30 "$log"
    status=1
  fi
done
exit $status
