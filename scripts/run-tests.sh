#!/usr/bin/env bash
# Installs, builds and runs the whole test suite twice: a plain build, with a short pass on a
# local Galera cluster, then a build with AddressSanitizer and UndefinedBehaviorSanitizer, then
# the Windows build's smoke test under Wine when there is a Windows build, then a short pass of
# the fuzz targets; ends with the figures: fuzz executions per target, faults
# injected, hostile inputs per field, the shared office on one server and on the cluster.
# Each run starts its own private database server and stops it, even when tests fail. Both
# builds treat warnings as errors.
#   scripts/run-tests.sh --quick   one build of the tests that need no server (label "quick"),
#                                  and those tests alone: a few minutes.
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
cd "$here"
jobs=$(nproc)
status=0
if [ "${1:-}" = --quick ]; then
  # Unoptimised and without debug information (build type None): it compiles in half the time.
  scripts/configure-local.sh build-quick 5443 -DCMAKE_BUILD_TYPE=None -DBRELO_BENCH=OFF -DBRELO_CLUSTER_PASS=OFF \
    -DBRELO_WERROR=ON >/dev/null
  cmake --build build-quick -j"$jobs" --target test_platform test_quick
  (cd build-quick && ctest -L quick --output-on-failure)
  exit
fi
scripts/install-deps.sh
run() {
  local build=$1 port=$2
  shift 2
  scripts/configure-local.sh "$build" "$port" -DBRELO_BENCH=OFF -DBRELO_WERROR=ON "$@" >/dev/null
  cmake --build "$build" -j"$jobs"
  rm -rf "$build/figures"
  (cd "$build" && ctest --output-on-failure) || status=1
}
# The plain build adds a pass on a local three-node Galera cluster (about a minute and a half); the
# sanitizer build leaves it out.
run build-tests 5441 -DBRELO_CLUSTER_PASS=ON
run build-sanitize 5442 -DBRELO_SANITIZE=ON -DCMAKE_BUILD_TYPE=Debug -DBRELO_CLUSTER_PASS=OFF
# The Windows installer, when scripts/build-windows.sh made one (for build-tests' port), tried
# under Wine against build-tests' server; one line saying it is skipped otherwise.
scripts/windows-smoke.sh build-windows build-tests || status=1
# A short pass of every fuzz target.
fuzzing=$(scripts/fuzz.sh 5000) || status=1
# The figures the tests left: faults injected under the program, hostile inputs per field.
echo "== figures =="
echo "$fuzzing"
cat build-tests/figures/*.txt 2>/dev/null || true
exit $status
