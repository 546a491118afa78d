#!/usr/bin/env bash
# Builds the cluster benchmark in a Release configuration, starts the private server and the
# build's three-node Galera cluster, loads ten generated seasons of programme into both, and
# prints what the programme connection costs on a node beside one server. Both are stopped at
# the end.
#   bench/cluster.sh [BUILD_DIR [PORT]]     (defaults: build-bench, 5460)
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$here/build-bench}
port=${2:-5460}
cd "$here"
scripts/configure-local.sh "$build" "$port" -DCMAKE_BUILD_TYPE=Release -DBRELO_TESTS=OFF -DBRELO_BENCH=ON >/dev/null
cmake --build "$build" -j"$(nproc)" --target brelo_bench_generate_programme brelo_cluster_bench
# shellcheck disable=SC1091
source "$build/localdb.env"
trap 'scripts/localdb.sh stop "$build" >/dev/null; scripts/localdb.sh cluster-stop "$build" >/dev/null' EXIT
scripts/localdb.sh start "$build"
scripts/localdb.sh cluster "$build"
programme="$build/bench/programme_ten_seasons.sql"
"$build/bench/brelo_bench_generate_programme" >"$programme"
echo "loading $(grep -c '^(' "$programme") rows into $PROGRAMME_DB, on the server and on node 1..."
scripts/localdb.sh sql "$build" "$PROGRAMME_DB" <"$programme"
scripts/localdb.sh node-sql "$build" 1 "$PROGRAMME_DB" <"$programme"
"$build/bench/brelo_cluster_bench" "$(scripts/localdb.sh cluster-ports "$build" | cut -d, -f1)"
