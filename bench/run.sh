#!/usr/bin/env bash
# Builds the benchmarks in a Release configuration, starts a private database server, loads
# ten generated seasons of ticketing data and of programme into it, runs every benchmark and
# prints the figures against their targets, then the sales overview's through an emulated
# hosted link (20 ms each way, 50 Mbit/s). The server is stopped at the end.
#   bench/run.sh [BUILD_DIR [PORT]]     (defaults: build-bench, 5460)
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$here/build-bench}
port=${2:-5460}
shift $(($# < 2 ? $# : 2))  # the rest goes to the benchmark program
cd "$here"
scripts/configure-local.sh "$build" "$port" -DCMAKE_BUILD_TYPE=Release -DBRELO_TESTS=OFF -DBRELO_BENCH=ON >/dev/null
cmake --build "$build" -j"$(nproc)" --target brelo_bench brelo_bench_generate brelo_link_bench brelo_contract_bench brelo_bench_generate_programme brelo_manager_bench brelo_save_bench brelo_manager_link_bench
# shellcheck disable=SC1091
source "$build/localdb.env"
trap 'scripts/localdb.sh stop "$build" >/dev/null' EXIT
scripts/localdb.sh start "$build"
data="$build/bench/ticketing_ten_seasons.sql"
"$build/bench/brelo_bench_generate" >"$data"
echo "loading $(grep -c '^(' "$data") rows into $TICKETING_DB..."
scripts/localdb.sh sql "$build" "$TICKETING_DB" <"$data"
"$build/bench/brelo_bench" "$@"
echo
"$build/bench/brelo_link_bench"
programme="$build/bench/programme_ten_seasons.sql"
"$build/bench/brelo_bench_generate_programme" >"$programme"
echo
echo "loading $(grep -c '^(' "$programme") rows into $PROGRAMME_DB..."
scripts/localdb.sh sql "$build" "$PROGRAMME_DB" <"$programme"
"$build/bench/brelo_manager_bench"
"$build/bench/brelo_manager_link_bench"
"$build/bench/brelo_save_bench"
"$build/bench/brelo_contract_bench"
