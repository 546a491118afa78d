#!/usr/bin/env bash
# The long pass of the shared-office stress test: eight simulated workstations on one
# programme for SECONDS (60 by default), then the checks and the figures. With --cluster, on the
# build's three-node Galera cluster (started, and stopped at the end), the workstations spread
# over its nodes, node 2 stopped half way and started again at 70% of the time.
#   scripts/stress.sh [--cluster] [SECONDS] [BUILD_DIR]     (BUILD_DIR: build-tests by default, already built)
# BRELO_STRESS_PORT=PORT[,PORT...] points the one-server pass's workstations at other servers.
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
cluster=
if [ "${1:-}" = --cluster ]; then cluster=1; shift; fi
seconds=${1:-60}
cd "$here"
build=$(cd "${2:-build-tests}" && pwd)
if [ -n "$cluster" ]; then
  scripts/localdb.sh cluster "$build" >/dev/null
  trap 'scripts/localdb.sh cluster-stop "$build" >/dev/null' EXIT
  # The messages the workstations showed go to a file: hundreds while the node is down.
  status=0
  (cd "$build" && BRELO_CLUSTER=1 BRELO_STRESS_SECONDS="$seconds" QT_QPA_PLATFORM=offscreen \
    tests/test_edits --gtest_filter='ClusterStress.*' 2>"$build/stress-messages.txt") || status=$?
  cat "$build/figures/cluster.txt"
  exit $status
fi
scripts/localdb.sh start "$build" >/dev/null
trap 'scripts/localdb.sh stop "$build" >/dev/null' EXIT
(cd "$build" && BRELO_STRESS_SECONDS="$seconds" QT_QPA_PLATFORM=offscreen \
  tests/test_edits --gtest_filter='SharedOfficeStress.*')
cat "$build/figures/shared-office.txt"
