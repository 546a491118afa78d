#!/usr/bin/env bash
# The private MariaDB server of the tests and the demo: its own data folder inside the build
# tree, TCP on the loopback address only, its own port, never the system service. It speaks
# TLS with a certificate for 127.0.0.1 signed by an authority of the build's own (made with
# openssl on first start, in BUILD_DIR/tls), so that the program connects to it as to the
# hosted servers: encrypted, the certificate verified.
#
#   scripts/localdb.sh start BUILD_DIR [--demo]   start (creating the data folder the first time),
#                                                 recreate both databases and the account, load
#                                                 the demo season with --demo
#   scripts/localdb.sh stop BUILD_DIR             stop the server
#   scripts/localdb.sh serve BUILD_DIR [CERT_DIR|--no-tls]
#                                                 start the server again on the data it holds
#                                                 (the tests that stop it under the program); with
#                                                 the certificate of CERT_DIR instead of the
#                                                 build's, or without TLS (the tests of refused
#                                                 links)
#   scripts/localdb.sh sql BUILD_DIR [DB]         a client on the server, as its administrator
#   scripts/localdb.sh authority DIR              a certificate authority in DIR (ca.pem and its
#                                                 key ca-key.pem), unless DIR holds one
#   scripts/localdb.sh certificate AUTHORITY_DIR DIR [NAME [DAYS]]
#                                                 a server certificate in DIR (server-cert.pem,
#                                                 server-key.pem) signed by the authority of
#                                                 AUTHORITY_DIR, for NAME (a subjectAltName such as
#                                                 IP:127.0.0.1, the default, or DNS:host.example),
#                                                 valid DAYS days (825; a negative number makes
#                                                 one that has expired)
set -euo pipefail

usage="usage: localdb.sh start|stop|serve|sql BUILD_DIR ... | authority DIR | certificate AUTHORITY_DIR DIR [NAME [DAYS]]"
cmd=${1:?$usage}
here=$(cd "$(dirname "$0")/.." && pwd)

# The address every local server listens on, and so the name its certificate is issued for.
local_name="IP:127.0.0.1"

# An authority: a self-signed certificate allowed to sign others, and its key.
make_authority() {
  local dir=$1
  [ -f "$dir/ca.pem" ] && [ -f "$dir/ca-key.pem" ] && return 0
  mkdir -p "$dir"
  (umask 077 && openssl genpkey -quiet -algorithm RSA -pkeyopt rsa_keygen_bits:2048 -out "$dir/ca-key.pem")
  openssl req -x509 -key "$dir/ca-key.pem" -days 3650 -subj "/CN=Brelo local authority $(basename "$dir")" \
    -addext basicConstraints=critical,CA:TRUE -addext keyUsage=critical,keyCertSign,cRLSign -out "$dir/ca.pem"
}

# A server certificate signed by the authority of another folder (a cluster's nodes each get
# one from the same authority). The client checks its name against subjectAltName.
make_server_certificate() {
  local authority=$1 dir=$2 name=${3:-$local_name} days=${4:-825}
  mkdir -p "$dir"
  local extensions="$dir/server.ext" request="$dir/server.csr"
  printf 'subjectAltName=%s\nbasicConstraints=CA:FALSE\nkeyUsage=digitalSignature,keyEncipherment\nextendedKeyUsage=serverAuth\n' \
    "$name" >"$extensions"
  (umask 077 && openssl genpkey -quiet -algorithm RSA -pkeyopt rsa_keygen_bits:2048 -out "$dir/server-key.pem")
  openssl req -new -key "$dir/server-key.pem" -subj "/CN=${name#*:}" -out "$request"
  openssl x509 -req -in "$request" -CA "$authority/ca.pem" -CAkey "$authority/ca-key.pem" \
    -set_serial "0x$(openssl rand -hex 16)" -days "$days" -extfile "$extensions" \
    -out "$dir/server-cert.pem" 2>"$dir/x509.log" || { cat "$dir/x509.log" >&2; exit 1; }
  rm -f "$extensions" "$request" "$dir/x509.log"
}

case "$cmd" in
  authority) make_authority "${2:?$usage}"; exit 0 ;;
  certificate) make_server_certificate "${2:?$usage}" "${3:?$usage}" "${4:-$local_name}" "${5:-825}"; exit 0 ;;
esac

build=$(cd "${2:?$usage}" && pwd)
# shellcheck disable=SC1091
source "$build/localdb.env"
socket="/tmp/brelo-localdb-$LOCALDB_PORT.sock"
pidfile="$LOCALDB_DIR/mariadbd.pid"
user=$(id -un)

admin() { mariadb --no-defaults --protocol=socket --socket="$socket" -uroot "$@"; }

running() { [ -f "$pidfile" ] && kill -0 "$(cat "$pidfile")" 2>/dev/null; }

# The server's TLS options, in server_tls: the build's own certificate (made the first time),
# another folder's, or none with --no-tls.
server_tls=()
choose_tls() {
  local certificates=${1:-$LOCALDB_TLS_DIR}
  server_tls=()
  [ "$certificates" = "--no-tls" ] && return 0
  # The build's own certificate is made on first start, and again once it has expired.
  if [ "$certificates" = "$LOCALDB_TLS_DIR" ] &&
    ! openssl x509 -checkend 0 -noout -in "$LOCALDB_TLS_DIR/server-cert.pem" >/dev/null 2>&1; then
    make_authority "$LOCALDB_TLS_DIR"
    make_server_certificate "$LOCALDB_TLS_DIR" "$LOCALDB_TLS_DIR"
  fi
  [ -f "$certificates/server-cert.pem" ] || { echo "no server-cert.pem in $certificates" >&2; exit 1; }
  certificates=$(cd "$certificates" && pwd)  # the server runs in its data folder
  server_tls=("--ssl-cert=$certificates/server-cert.pem" "--ssl-key=$certificates/server-key.pem")
}

serve() {
  if ! running; then
    choose_tls "${1:-}"
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
      "${server_tls[@]}" >/dev/null 2>&1 &
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
  serve) serve "${3:-}" ;;
  sql) admin "${3:-$PROGRAMME_DB}" ;;
  *) echo "$usage"; exit 2 ;;
esac
