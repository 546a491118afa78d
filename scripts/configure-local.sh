#!/usr/bin/env bash
# Configures a build whose compiled-in connection settings point both databases at the
# private local server (scripts/localdb.sh) on the port given, over TLS verified against the
# authority that scripts/localdb.sh makes in BUILD_DIR/tls on first start. A port whose
# server or cluster would lie in the range the system hands to client connections is brought
# below it (scripts/localdb.sh server-port): 36100 serves on 6100 where that range starts at 32768.
#   scripts/configure-local.sh BUILD_DIR PORT [more cmake arguments]
set -euo pipefail
build=${1:?usage: configure-local.sh BUILD_DIR PORT}
port=${2:?usage: configure-local.sh BUILD_DIR PORT}
shift 2
here=$(cd "$(dirname "$0")/.." && pwd)
given=$port
port=$("$here/scripts/localdb.sh" server-port "$given")
[ "$port" = "$given" ] || echo "port $given lies in or reaches the range for client connections: the build serves on $port" >&2
mkdir -p "$build"
authority="$(cd "$build" && pwd)/tls/ca.pem"
cmake -S "$here" -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DBRELO_LOCAL_PORT="$port" \
  -DBRELO_TICKETING_HOST=127.0.0.1 -DBRELO_TICKETING_PORT="$port" \
  -DBRELO_TICKETING_USER=brelo -DBRELO_TICKETING_PASSWORD=brelo-demo \
  -DBRELO_TICKETING_TLS=ON -DBRELO_TICKETING_TLS_CA="$authority" \
  -DBRELO_PROGRAMME_HOST=127.0.0.1 -DBRELO_PROGRAMME_PORT="$port" \
  -DBRELO_PROGRAMME_USER=brelo -DBRELO_PROGRAMME_PASSWORD=brelo-demo \
  -DBRELO_PROGRAMME_TLS=ON -DBRELO_PROGRAMME_TLS_CA="$authority" "$@"
