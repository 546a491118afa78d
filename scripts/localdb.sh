#!/usr/bin/env bash
# The private MariaDB server of the tests and the demo: its own data folder inside the build
# tree, TCP on the loopback address only, its own port, never the system service.
#
#   scripts/localdb.sh start BUILD_DIR [--demo]   start (creating the data folder the first time),
#                                                 recreate both databases and the account, load
#                                                 the demo season with --demo
#   scripts/localdb.sh stop BUILD_DIR             stop the server
#   scripts/localdb.sh serve BUILD_DIR            start the server again on the data it holds
#                                                 (the tests that stop it under the program)
#   scripts/localdb.sh sql BUILD_DIR [DB]         a client on the server, as its administrator
set -euo pipefail

cmd=${1:?usage: localdb.sh start|stop|sql BUILD_DIR}
build=$(cd "${2:?usage: localdb.sh start|stop|sql BUILD_DIR}" && pwd)
# shellcheck disable=SC1091
source "$build/localdb.env"
here=$(cd "$(dirname "$0")/.." && pwd)
socket="/tmp/brelo-localdb-$LOCALDB_PORT.sock"
pidfile="$LOCALDB_DIR/mariadbd.pid"
user=$(id -un)

admin() { mariadb --no-defaults --protocol=socket --socket="$socket" -uroot "$@"; }

running() { [ -f "$pidfile" ] && kill -0 "$(cat "$pidfile")" 2>/dev/null; }

serve() {
  if ! running; then
    if [ ! -d "$LOCALDB_DIR/mysql" ]; then
      mkdir -p "$LOCALDB_DIR"
      mariadb-install-db --no-defaults --datadir="$LOCALDB_DIR" --user="$user" \
        --auth-root-authentication-method=normal --skip-test-db >"$LOCALDB_DIR/install.log" 2>&1 ||
        { cat "$LOCALDB_DIR/install.log"; exit 1; }
    fi
    # The old hosted servers the program was written against were not in strict mode:
    # an empty text into a number column reads as 0 there.
    mariadbd --no-defaults --datadir="$LOCALDB_DIR" --user="$user" \
      --port="$LOCALDB_PORT" --bind-address=127.0.0.1 --socket="$socket" --pid-file="$pidfile" \
      --log-error="$LOCALDB_DIR/server.log" --skip-name-resolve --sql-mode=NO_ENGINE_SUBSTITUTION \
      --character-set-server=latin1 --collation-server=latin1_swedish_ci \
      --innodb-buffer-pool-size=256M --innodb-flush-log-at-trx-commit=0 --skip-log-bin \
      >/dev/null 2>&1 &
    for _ in $(seq 1 300); do
      admin -e 'SELECT 1' >/dev/null 2>&1 && break
      sleep 0.1
    done
    admin -e 'SELECT 1' >/dev/null 2>&1 || { echo "local database server did not answer"; tail -20 "$LOCALDB_DIR/server.log"; exit 1; }
  fi
}

start() {
  serve
  admin <<SQL
DROP DATABASE IF EXISTS \`$TICKETING_DB\`;
DROP DATABASE IF EXISTS \`$PROGRAMME_DB\`;
CREATE DATABASE \`$TICKETING_DB\` CHARACTER SET latin1;
CREATE DATABASE \`$PROGRAMME_DB\` CHARACTER SET latin1;
CREATE USER IF NOT EXISTS '$PROGRAMME_USER'@'127.0.0.1' IDENTIFIED BY '$PROGRAMME_PASSWORD';
ALTER USER '$PROGRAMME_USER'@'127.0.0.1' IDENTIFIED BY '$PROGRAMME_PASSWORD';
CREATE USER IF NOT EXISTS '$TICKETING_USER'@'127.0.0.1' IDENTIFIED BY '$TICKETING_PASSWORD';
ALTER USER '$TICKETING_USER'@'127.0.0.1' IDENTIFIED BY '$TICKETING_PASSWORD';
GRANT ALL ON \`$PROGRAMME_DB\`.* TO '$PROGRAMME_USER'@'127.0.0.1';
GRANT SELECT ON \`$TICKETING_DB\`.* TO '$TICKETING_USER'@'127.0.0.1';
SQL
  admin "$TICKETING_DB" <"$here/db/schema/ticketing.sql"
  admin "$PROGRAMME_DB" <"$here/db/schema/programme.sql"
  if [ "${1:-}" = "--demo" ]; then
    for f in "$here"/demo/ticketing*.sql; do [ -f "$f" ] && admin "$TICKETING_DB" <"$f"; done
    for f in "$here"/demo/programme*.sql; do [ -f "$f" ] && admin "$PROGRAMME_DB" <"$f"; done
  fi
  echo "local database server on 127.0.0.1:$LOCALDB_PORT (data in $LOCALDB_DIR)"
}

stop() {
  if running; then
    local pid
    pid=$(cat "$pidfile")
    kill "$pid"
    for _ in $(seq 1 300); do kill -0 "$pid" 2>/dev/null || break; sleep 0.1; done
    kill -0 "$pid" 2>/dev/null && kill -9 "$pid"
  fi
  rm -f "$socket"
  echo "local database server stopped"
}

case "$cmd" in
  start) start "${3:-}" ;;
  stop) stop ;;
  serve) serve ;;
  sql) admin "${3:-$PROGRAMME_DB}" ;;
  *) echo "usage: localdb.sh start|stop|serve|sql BUILD_DIR"; exit 2 ;;
esac
