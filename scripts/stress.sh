#!/usr/bin/env bash
# The long pass of the shared-office stress test: eight simulated workstations on one
# programme for SECONDS (60 by default), then the checks and the figures.
#   scripts/stress.sh [SECONDS] [BUILD_DIR]     (BUILD_DIR: build-tests by default, already built)
# BRELO_STRESS_PORT=PORT[,PORT...] points the workstations at other servers (cluster nodes).
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
seconds=${1:-60}
build=${2:-build-tests}
cd "$here"
scripts/localdb.sh start "$build" >/dev/null
trap 'scripts/localdb.sh stop "$build" >/dev/null' EXIT
(cd "$build" && BRELO_STRESS_SECONDS="$seconds" QT_QPA_PLATFORM=offscreen \
  tests/test_edits --gtest_filter='SharedOfficeStress.*')
cat "$build/figures/shared-office.txt"
