#!/usr/bin/env bash
# Installs, builds and runs the whole test suite twice: a plain build, then a build with
# AddressSanitizer and UndefinedBehaviorSanitizer, then a short pass of the fuzz targets.
# Each run starts its own private database server and stops it, even when tests fail.
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
cd "$here"
scripts/install-deps.sh
jobs=$(nproc)
status=0
run() {
  local build=$1 port=$2
  shift 2
  scripts/configure-local.sh "$build" "$port" -DBRELO_BENCH=OFF "$@" >/dev/null
  cmake --build "$build" -j"$jobs"
  (cd "$build" && ctest --output-on-failure) || status=1
}
run build-tests 35441
run build-sanitize 35442 -DBRELO_SANITIZE=ON -DCMAKE_BUILD_TYPE=Debug
# A short pass of every fuzz target.
scripts/fuzz.sh 5000 || status=1
exit $status
