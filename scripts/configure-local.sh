#!/usr/bin/env bash
# Configures a build for the private local server (scripts/localdb.sh) on the port given, and
# writes the build's settings file (BUILD_DIR/brelo.ini, beside the program, readable by its
# owner only): both databases on that server, over TLS verified against the authority that
# scripts/localdb.sh makes in BUILD_DIR/tls on first start, with the shared account "brelo"
# and a random password made for the build (kept when the file exists; nothing secret goes on a
# command line or into the build's cache). A port whose server or cluster would lie in the
# range the system hands to client connections is brought below it (scripts/localdb.sh
# server-port): 36100 serves on 6100 where that range starts at 32768.
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
build=$(cd "$build" && pwd)
# Builds configured before the settings file had the passwords in their cache: dropped.
cmake -S "$here" -B "$build" -U "BRELO_*_PASSWORD" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DBRELO_LOCAL_PORT="$port" "$@"
"$here/scripts/localdb.sh" settings "$build"
