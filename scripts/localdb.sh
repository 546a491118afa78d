#!/usr/bin/env bash
# The private MariaDB server of the tests and the demo: its own data folder inside the build
# tree, TCP on the loopback address only, its own port, never the system service. It speaks
# TLS with a certificate for 127.0.0.1 signed by an authority of the build's own (made with
# openssl on first start, in BUILD_DIR/tls), so that the program connects to it as to the
# hosted servers: encrypted, the certificate verified.
#
#   scripts/localdb.sh start BUILD_DIR [--demo]   start (creating the data folder the first time),
#                                                 recreate both databases, the shared account, the
#                                                 roles of the server-accounts mode and the demo's
#                                                 accounts (Demo editor, Lecteur reader), load the
#                                                 demo season with --demo
#   scripts/localdb.sh stop BUILD_DIR             stop the server
#   scripts/localdb.sh serve BUILD_DIR [CERT_DIR|--no-tls|--tls-1.1]
#                                                 start the server again on the data it holds
#                                                 (the tests that stop it under the program); with
#                                                 the certificate of CERT_DIR instead of the
#                                                 build's, without TLS, or with the build's but
#                                                 nothing newer than TLS 1.1 (the tests of refused
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
#
# A cluster of three MariaDB Galera nodes beside it, for the tests and the long pass of the
# shared-office stress: each node a server like the one above (its own data folder under
# BUILD_DIR/cluster, TLS with a certificate from the build's authority, 127.0.0.1 only), every
# node taking writes, the nodes' replication traffic on 127.0.0.1 too.
#
#   scripts/localdb.sh cluster BUILD_DIR [--demo]  start the nodes that are not running (the first
#                                                 bootstraps a new cluster when none is), then
#                                                 recreate both databases and the account through
#                                                 node 1, with the demo season with --demo
#   scripts/localdb.sh cluster-stop BUILD_DIR      stop the three nodes
#   scripts/localdb.sh node-stop BUILD_DIR N       stop node N (1, 2 or 3) alone
#   scripts/localdb.sh node-start BUILD_DIR N      start node N again alone: it rejoins the running
#                                                 nodes and catches up (IST, or a full copy by
#                                                 rsync when they no longer hold what it missed)
#   scripts/localdb.sh node-sql BUILD_DIR N [DB]   a client on node N, as its administrator
#   scripts/localdb.sh cluster-ports BUILD_DIR [--all]
#                                                 the nodes' client ports, "P1,P2,P3"; with --all
#                                                 every port of the three nodes, one a line
#   scripts/localdb.sh server-port PORT           the port a build configured with PORT serves on
#                                                 (scripts/configure-local.sh asks it)
#   scripts/localdb.sh settings BUILD_DIR [PROGRAMME_PORT [TICKETING_PORT]]
#                                                 writes the build's settings file (brelo.ini,
#                                                 0600): both databases on the build's server (or
#                                                 the ports given), the shared account with a
#                                                 random password, kept when the file has one
#
# Who may come in: the administrator only through the server's socket, as the system account
# that started it (unix_socket authentication, no password anywhere), never over TCP; the
# socket lives in BUILD_DIR/run, a folder only that account can enter, and the script talks to
# no socket whose folder another account could have written in. The data folder is the
# account's alone too, and the server reads and writes files (LOAD DATA, SELECT ... INTO
# OUTFILE) only in BUILD_DIR/localdb-files. The program's accounts have random passwords, read
# from the build's settings file, and go over TLS.
#
# Ports, from the build's server port P (BRELO_LOCAL_PORT): node N serves clients on
# P+10000+N-1, speaks Galera on P+10003+N-1 and receives incremental state transfers on
# P+20000+N-1 and full ones on P+20003+N-1. A build's cluster takes P+10000..P+10005 and
# P+20000..P+20005: builds whose ports are 6 or more apart never clash. All of them lie below
# the range the system hands to the client side of connections (server-port): a port of that
# range is taken by whatever connection the system gives it to while the server is down, and
# stays taken for a minute after that connection closed, so the server could not listen again.
set -euo pipefail

usage="usage: localdb.sh start|stop|serve|sql|cluster|cluster-stop|node-stop|node-start|node-sql|cluster-ports BUILD_DIR ... | authority DIR | certificate AUTHORITY_DIR DIR [NAME [DAYS]] | server-port PORT"
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

# --- Ports ---------------------------------------------------------------------------------

nodes=(1 2 3)
client_port() { echo $((LOCALDB_PORT + 10000 + $1 - 1)); }
galera_port() { echo $((LOCALDB_PORT + 10003 + $1 - 1)); }
ist_port() { echo $((LOCALDB_PORT + 20000 + $1 - 1)); }
sst_port() { echo $((LOCALDB_PORT + 20003 + $1 - 1)); }
# The ports of node N.
node_ports() { echo "$(client_port "$1") $(galera_port "$1") $(ist_port "$1") $(sst_port "$1")"; }

# The range the system hands to the client side of connections ("LOW HIGH"; Linux's default
# where the machine does not say).
client_range() { cat /proc/sys/net/ipv4/ip_local_port_range 2>/dev/null || echo "32768 60999"; }

# A build's server port: the port it was configured with, less as many 10,000s as bring its
# cluster's highest port below the client range, never below 1024. Builds whose ports differ
# by a multiple of 10,000 may end on the same ports: the second server then refuses to start.
server_port() {
  local port=$1 low highest
  case "$port" in '' | *[!0-9]*) echo "$usage" >&2; exit 2 ;; esac
  read -r low _ <<<"$(client_range)"
  highest=$(LOCALDB_PORT=0 sst_port "${nodes[-1]}")
  while [ $((port + highest)) -ge "$low" ] && [ $((port - 10000)) -ge 1024 ]; do port=$((port - 10000)); done
  echo "$port"
}

case "$cmd" in
  authority) make_authority "${2:?$usage}"; exit 0 ;;
  certificate) make_server_certificate "${2:?$usage}" "${3:?$usage}" "${4:-$local_name}" "${5:-825}"; exit 0 ;;
  server-port) server_port "${2:-}"; exit 0 ;;
esac

build=$(cd "${2:?$usage}" && pwd)
# shellcheck disable=SC1091
source "$build/localdb.env"
run_dir="$build/run"
socket="$run_dir/mariadb.sock"
files_dir="$build/localdb-files"
# The server's temporary tables live in the build too: a shared /tmp that another program tidies
# up meanwhile would take them from under it (seen once as a failed install).
tmp_dir="$build/localdb-tmp"
pidfile="$LOCALDB_DIR/mariadbd.pid"
user=$(id -un)

# A folder of the build that only this account (or, for a node, the server's) may enter.
private_folder() {
  mkdir -p "$1"
  chmod 700 "$1"
}

# The server's socket is talked to only in a folder no other account can write in: a socket
# put in its place by someone else would otherwise receive the administrator's statements.
check_socket() {
  local folder owner mode
  folder=$(dirname "$1")
  read -r owner mode <<<"$(stat -c '%u %a' "$folder" 2>/dev/null)" || { echo "no server socket in $folder" >&2; return 1; }
  if [ "$mode" != 700 ] || { [ "$owner" != "$(id -u)" ] && [ "$owner" != "$(id -u "$node_user")" ]; }; then
    echo "refused: $folder may be written by another account (owner $owner, mode $mode)" >&2
    return 1
  fi
}

admin_at() {
  local at=$1
  shift
  check_socket "$at" || return 1
  mariadb --no-defaults --protocol=socket --skip-ssl --socket="$at" -u"$user" "$@"
}
admin() { admin_at "$socket" "$@"; }

# A value of the build's settings file: ini_value SECTION KEY.
ini_value() {
  [ -f "$LOCALDB_SETTINGS" ] || return 0
  awk -F= -v section="[$1]" -v key="$2" '
    /^\[/ { inside = ($0 == section); next }
    inside && $1 == key { sub(/^[^=]*=/, ""); print; exit }' "$LOCALDB_SETTINGS"
}

# The build's settings file, readable by its owner only; a password it holds is kept.
write_settings() {
  local programme_port=${1:-$LOCALDB_PORT} ticketing_port=${2:-$LOCALDB_PORT} password
  password=$(ini_value programme password)
  [ -n "$password" ] || password=$(openssl rand -hex 16)
  (umask 077 && cat >"$LOCALDB_SETTINGS.new" <<INI
; The build's settings (scripts/localdb.sh settings): the private server's databases.
[ticketing]
host=127.0.0.1
port=$ticketing_port
database=$TICKETING_DB
user=$TICKETING_USER
password=$password
tls=true
tls_authority=$LOCALDB_TLS_DIR/ca.pem

[programme]
host=127.0.0.1
port=$programme_port
database=$PROGRAMME_DB
accounts=access
user=$PROGRAMME_USER
password=$password
tls=true
tls_authority=$LOCALDB_TLS_DIR/ca.pem
INI
  )
  mv "$LOCALDB_SETTINGS.new" "$LOCALDB_SETTINGS"
}

running() { [ -f "$pidfile" ] && kill -0 "$(cat "$pidfile")" 2>/dev/null; }

# Waits until a server's process has ended (killed after 30 s).
stop_process() {
  local pid=$1
  kill "$pid" 2>/dev/null || return 0
  for _ in $(seq 1 300); do kill -0 "$pid" 2>/dev/null || return 0; sleep 0.1; done
  kill -9 "$pid" 2>/dev/null || true
}

# The build's own certificate is made on first start, and again once it has expired.
ensure_build_certificate() {
  if ! openssl x509 -checkend 0 -noout -in "$LOCALDB_TLS_DIR/server-cert.pem" >/dev/null 2>&1; then
    make_authority "$LOCALDB_TLS_DIR"
    make_server_certificate "$LOCALDB_TLS_DIR" "$LOCALDB_TLS_DIR"
  fi
}

# The server's TLS options, in server_tls: the build's own certificate (made the first time),
# another folder's, or none with --no-tls. With --tls-1.1, the build's with TLS 1.1 at most,
# which the system's OpenSSL allows only under a permissive configuration of its own (given to
# the server alone, in server_env).
server_tls=()
server_env=()
choose_tls() {
  local certificates=${1:-$LOCALDB_TLS_DIR}
  server_tls=()
  server_env=()
  [ "$certificates" = "--no-tls" ] && return 0
  if [ "$certificates" = "--tls-1.1" ]; then
    certificates=$LOCALDB_TLS_DIR
    server_env=(env "OPENSSL_CONF=$LOCALDB_TLS_DIR/legacy-openssl.cnf")
    printf '%s\n' "openssl_conf = default_conf" "[default_conf]" "ssl_conf = ssl_sect" "[ssl_sect]" \
      "system_default = system_default_sect" "[system_default_sect]" "MinProtocol = TLSv1" \
      "CipherString = DEFAULT@SECLEVEL=0" >"$LOCALDB_TLS_DIR/legacy-openssl.cnf"
  fi
  [ "$certificates" = "$LOCALDB_TLS_DIR" ] && ensure_build_certificate
  [ -f "$certificates/server-cert.pem" ] || { echo "no server-cert.pem in $certificates" >&2; exit 1; }
  certificates=$(cd "$certificates" && pwd)  # the server runs in its data folder
  server_tls=("--ssl-cert=$certificates/server-cert.pem" "--ssl-key=$certificates/server-key.pem")
  [ ${#server_env[@]} -eq 0 ] || server_tls+=(--tls-version=TLSv1.1)
}

# What every local server runs with. The old hosted servers the program was written against
# were not in strict mode: an empty text into a number column reads as 0 there.
server_options=(--no-defaults --bind-address=127.0.0.1 --skip-name-resolve --sql-mode=NO_ENGINE_SUBSTITUTION
  --character-set-server=latin1 --collation-server=latin1_swedish_ci --innodb-flush-log-at-trx-commit=0
  --skip-log-bin)

# Waits until a server answers its administrator, with the statement's first value when one is
# given (a node: until it says it is synced with the cluster). Fails, showing the end of its log,
# when it does not within the tenths of a second given or its process (PID) ends first.
await_server() {
  local at=$1 log=$2 tenths=$3 pid=$4 expected=${5:-} statement=${6:-SELECT 1}
  for _ in $(seq 1 "$tenths"); do
    local answer
    answer=$(admin_at "$at" -N -e "$statement" 2>/dev/null) || answer=
    if [ -n "$answer" ] && { [ -z "$expected" ] || [ "$(echo "$answer" | cut -f2)" = "$expected" ]; }; then return 0; fi
    kill -0 "$pid" 2>/dev/null || break
    sleep 0.1
  done
  echo "local database server did not answer ($at)" >&2
  tail -20 "$log" >&2
  return 1
}

# Every port this build's servers listen on: the private server's and its cluster's.
build_ports() {
  echo "$LOCALDB_PORT"
  for n in "${nodes[@]}"; do node_ports "$n"; done
}

# scripts/configure-local.sh chooses ports below the client range; a build configured by hand
# may name ports inside it. As root those are taken out of the range
# (net.ipv4.ip_local_reserved_ports) when the private server first starts, before any test
# connects; the reservation stays until the machine restarts. Another user cannot reserve: the
# script says so and goes on, and a start may then wait for a connection that took a port.
keep_from_clients() {
  local low high port taken=() file=/proc/sys/net/ipv4/ip_local_reserved_ports current
  read -r low high <<<"$(client_range)"
  for port in $(build_ports); do
    if [ "$port" -ge "$low" ] && [ "$port" -le "$high" ]; then taken+=("$port"); fi
  done
  [ ${#taken[@]} -eq 0 ] && return 0
  current=$(cat "$file" 2>/dev/null) || current=
  if [ "$(id -u)" = 0 ] && (IFS=,; echo "${current:+$current,}${taken[*]}") >"$file" 2>/dev/null; then
    echo "ports ${taken[*]} reserved: they lie in the range for client connections ($low-$high)" >&2
  else
    echo "ports ${taken[*]} lie in the range for client connections ($low-$high) and only root can reserve them:" \
      "configure the build with scripts/configure-local.sh, which chooses ports below it" >&2
  fi
}

# An ss filter for sockets whose own port is one of those given.
port_filter() {
  local filter=() port
  for port in "$@"; do filter+=(${filter[@]:+or} "sport = :$port"); done
  echo "( ${filter[*]} )"
}

# Before a server starts on its ports: one that another program listens on is an error. A
# closed connection waiting out its minute (TIME-WAIT) on one of them keeps the server from
# listening when it was a client's (its port bound, or given by the system); the server's own,
# cut when it stopped, do not. As root they are all dropped (ss -K); otherwise a start that
# fails on one waits them out (await_ports_unused).
clear_ports() {
  local filter listening
  filter=$(port_filter "$@")
  listening=$(ss -Hltn "$filter" 2>/dev/null) || listening=
  if [ -n "$listening" ]; then
    echo "a port of $* is taken by another program: $(echo "$listening" | head -3)" >&2
    return 1
  fi
  ss -K -Htan state time-wait "$filter" >/dev/null 2>&1 || true
}

# After a start that failed: waits (up to 65 s, a closed connection's minute and a margin) until
# no socket uses one of the ports.
await_ports_unused() {
  local filter
  filter=$(port_filter "$@")
  for _ in $(seq 1 650); do
    [ -z "$(ss -Htan "$filter" 2>/dev/null)" ] && return 0
    sleep 0.1
  done
}

# Starts a server (the command after the first six arguments) on the ports given and waits
# until it answers as await_server says. A start that fails is tried again, up to three times,
# once nothing uses its ports.
launch() {
  local ports=$1 at=$2 log=$3 tenths=$4 expected=$5 statement=$6 attempt pid
  shift 6
  for attempt in 1 2 3; do
    # shellcheck disable=SC2086
    clear_ports $ports || return 1
    "$@" >/dev/null 2>&1 &
    pid=$!
    await_server "$at" "$log" "$tenths" "$pid" "$expected" "$statement" && return 0
    stop_process "$pid"
    echo "the server on port ${ports%% *} did not start (attempt $attempt)" >&2
    # shellcheck disable=SC2086
    await_ports_unused $ports
  done
  return 1
}

# A data folder for a server run by ACCOUNT, the account's alone, made the first time. Its
# administrators are that account and root, each through the socket as themselves; over TCP
# nobody is one. A folder made before that (root without a password, from anywhere) is made anew.
install_data() {
  local data=$1 account=$2 temporary=$3 socket_user=()
  [ -f "$data/socket-administrators" ] || rm -rf "$data"
  if [ ! -d "$data/mysql" ]; then
    private_folder "$data"
    [ "$account" = root ] || socket_user=(--auth-root-socket-user="$account")
    mariadb-install-db --no-defaults --datadir="$data" --user="$account" --tmpdir="$temporary" \
      --auth-root-authentication-method=socket "${socket_user[@]}" --skip-test-db >"$data/install.log" 2>&1 ||
      { cat "$data/install.log"; exit 1; }
    echo "$account" >"$data/socket-administrators"
  fi
  chmod 700 "$data"
}

serve() {
  if ! running; then
    choose_tls "${1:-}"
    private_folder "$tmp_dir"
    install_data "$LOCALDB_DIR" "$user" "$tmp_dir"
    private_folder "$run_dir"
    private_folder "$files_dir"
    keep_from_clients
    launch "$LOCALDB_PORT" "$socket" "$LOCALDB_DIR/server.log" 300 "" "SELECT 1" \
      "${server_env[@]}" mariadbd "${server_options[@]}" --datadir="$LOCALDB_DIR" --user="$user" \
      --port="$LOCALDB_PORT" --socket="$socket" --pid-file="$pidfile" --secure-file-priv="$files_dir" --tmpdir="$tmp_dir" \
      --log-error="$LOCALDB_DIR/server.log" --innodb-buffer-pool-size=256M \
      "${server_tls[@]}" || exit 1
  fi
}

# Both databases made anew with the schema and the accounts (and the demo season), through the
# server whose socket is given.
create_databases() {
  local at=$1 demo=${2:-} password
  password=$(ini_value programme password)
  [ -n "$password" ] || { echo "no password in $LOCALDB_SETTINGS: run scripts/configure-local.sh (or localdb.sh settings)" >&2; exit 1; }
  admin_at "$at" <<SQL
DROP DATABASE IF EXISTS \`$TICKETING_DB\`;
DROP DATABASE IF EXISTS \`$PROGRAMME_DB\`;
CREATE DATABASE \`$TICKETING_DB\` CHARACTER SET latin1;
CREATE DATABASE \`$PROGRAMME_DB\` CHARACTER SET latin1;
CREATE USER IF NOT EXISTS '$PROGRAMME_USER'@'127.0.0.1' IDENTIFIED BY '$password';
ALTER USER '$PROGRAMME_USER'@'127.0.0.1' IDENTIFIED BY '$password';
CREATE USER IF NOT EXISTS '$TICKETING_USER'@'127.0.0.1' IDENTIFIED BY '$password';
ALTER USER '$TICKETING_USER'@'127.0.0.1' IDENTIFIED BY '$password';
GRANT ALL ON \`$PROGRAMME_DB\`.* TO '$PROGRAMME_USER'@'127.0.0.1';
GRANT SELECT ON \`$TICKETING_DB\`.* TO '$TICKETING_USER'@'127.0.0.1';
SQL
  admin_at "$at" "$TICKETING_DB" <"$here/db/schema/ticketing.sql"
  admin_at "$at" "$PROGRAMME_DB" <"$here/db/schema/programme.sql"
  # The server-accounts mode: its roles, and the demo's accounts (the same names and passwords
  # as in the demo's access table), over TLS only.
  admin_at "$at" "$PROGRAMME_DB" <"$here/db/schema/server_accounts.sql"
  admin_at "$at" <<SQL
CREATE USER IF NOT EXISTS 'Demo'@'127.0.0.1' IDENTIFIED BY 'brelo' REQUIRE SSL;
CREATE USER IF NOT EXISTS 'Lecteur'@'127.0.0.1' IDENTIFIED BY 'lecture' REQUIRE SSL;
GRANT brelo_editor TO 'Demo'@'127.0.0.1';
GRANT brelo_reader TO 'Lecteur'@'127.0.0.1';
SET DEFAULT ROLE brelo_editor FOR 'Demo'@'127.0.0.1';
SET DEFAULT ROLE brelo_reader FOR 'Lecteur'@'127.0.0.1';
SQL
  if [ "$demo" = "--demo" ]; then
    for f in "$here"/demo/ticketing*.sql; do [ -f "$f" ] && admin_at "$at" "$TICKETING_DB" <"$f"; done
    for f in "$here"/demo/programme*.sql; do [ -f "$f" ] && admin_at "$at" "$PROGRAMME_DB" <"$f"; done
  fi
}

start() {
  serve
  create_databases "$socket" "${1:-}"
  echo "local database server on 127.0.0.1:$LOCALDB_PORT (data in $LOCALDB_DIR)"
}

stop() {
  running && stop_process "$(cat "$pidfile")"
  rm -f "$socket" "$pidfile"
  echo "local database server stopped"
}

# --- The cluster -------------------------------------------------------------------------

node_dir() { echo "$cluster_dir/node$1"; }
node_socket() { echo "$(node_dir "$1")/run/mariadb.sock"; }
node_pid() { echo "$(node_dir "$1")/mariadbd.pid"; }
node_running() { [ -f "$(node_pid "$1")" ] && kill -0 "$(cat "$(node_pid "$1")")" 2>/dev/null; }
check_node() { case "${1:-}" in 1 | 2 | 3) ;; *) echo "$usage (N: 1, 2 or 3)" >&2; exit 2 ;; esac; }

# A node's full state transfer runs rsync as a daemon, which run as root would write the files
# as "nobody": when root, the nodes run as the account the Debian package made for the server.
node_user=$user
if [ "$(id -u)" = 0 ] && id mysql >/dev/null 2>&1; then node_user=mysql; fi

# The nodes' folders lie in the build's, unless that account cannot reach it (a checkout under
# root's home): then in /var/tmp, named after the build's port, with the build's "cluster"
# pointing there.
cluster_dir="$build/cluster"
if [ "$node_user" != "$user" ] && ! runuser -u "$node_user" -- test -x "$build" 2>/dev/null; then
  cluster_dir="/var/tmp/brelo-cluster-$LOCALDB_PORT"
  mkdir -p "$cluster_dir"
  [ -L "$build/cluster" ] || { rm -rf "$build/cluster"; ln -s "$cluster_dir" "$build/cluster"; }
fi

cluster_address() {
  local addresses=()
  for n in "${nodes[@]}"; do addresses+=("127.0.0.1:$(galera_port "$n")"); done
  (IFS=,; echo "gcomm://${addresses[*]}")
}

# Node N's folder: its data, its log and its own certificate from the build's authority.
prepare_node() {
  local n=$1 dir
  dir=$(node_dir "$n")
  mkdir -p "$dir"
  if ! openssl x509 -checkend 0 -noout -in "$dir/tls/server-cert.pem" >/dev/null 2>&1; then
    ensure_build_certificate
    make_server_certificate "$LOCALDB_TLS_DIR" "$dir/tls"
  fi
  mkdir -p "$dir/run" "$dir/files" "$dir/tmp"
  chown -R "$node_user" "$dir"
  chmod 700 "$dir" "$dir/run" "$dir/files" "$dir/tmp"
}

# Starts node N; "--wsrep-new-cluster" bootstraps a new cluster on it, otherwise it joins the
# nodes running and takes from them what it lacks. Returns once it is synced.
start_node() {
  local n=$1 first=${2:-} dir
  dir=$(node_dir "$n")
  prepare_node "$n"
  if [ "$first" = "--wsrep-new-cluster" ]; then
    install_data "$dir/data" "$node_user" "$dir/tmp"
  else
    private_folder "$dir/data"
  fi
  chown "$node_user" "$dir/data"
  # shellcheck disable=SC2086
  launch "$(node_ports "$n")" "$(node_socket "$n")" "$dir/server.log" 1800 Synced "SHOW STATUS LIKE 'wsrep_local_state_comment'" \
    mariadbd "${server_options[@]}" --datadir="$dir/data" --user="$node_user" \
    --port="$(client_port "$n")" --socket="$(node_socket "$n")" --pid-file="$(node_pid "$n")" \
    --log-error="$dir/server.log" --innodb-buffer-pool-size=64M --secure-file-priv="$dir/files" --tmpdir="$dir/tmp" \
    --ssl-cert="$dir/tls/server-cert.pem" --ssl-key="$dir/tls/server-key.pem" \
    --wsrep-on=ON --wsrep-provider=/usr/lib/galera/libgalera_smm.so --binlog-format=ROW \
    --default-storage-engine=InnoDB --innodb-autoinc-lock-mode=2 \
    --wsrep-cluster-name="brelo-$LOCALDB_PORT" --wsrep-node-name="node$n" \
    --wsrep-node-address="127.0.0.1:$(galera_port "$n")" --wsrep-cluster-address="$(cluster_address)" \
    --wsrep-provider-options="gmcast.listen_addr=tcp://127.0.0.1:$(galera_port "$n");ist.recv_addr=127.0.0.1:$(ist_port "$n");gcache.size=128M" \
    --wsrep-sst-method=rsync --wsrep-sst-receive-address="127.0.0.1:$(sst_port "$n")" \
    $first || { echo "node $n did not start" >&2; exit 1; }
}

stop_node() {
  node_running "$1" && stop_process "$(cat "$(node_pid "$1")")"
  rm -f "$(node_socket "$1")"
}

any_node_running() {
  for n in "${nodes[@]}"; do node_running "$n" && return 0; done
  return 1
}

cluster() {
  keep_from_clients
  if ! any_node_running; then
    # Nothing of an earlier cluster is kept: the databases are made anew below in any case, and
    # a cluster that was stopped in any order then starts the same way.
    rm -rf "$cluster_dir"
    start_node 1 --wsrep-new-cluster
  fi
  for n in "${nodes[@]}"; do node_running "$n" || start_node "$n"; done
  create_databases "$(node_socket 1)" "${1:-}"
  echo "local Galera cluster on 127.0.0.1:$(cluster_ports | sed 's/,/, 127.0.0.1:/g') (data in $cluster_dir)"
}

cluster_stop() {
  for n in 3 2 1; do stop_node "$n"; done
  echo "local Galera cluster stopped"
}

node_start() {
  check_node "$1"
  node_running "$1" && return 0
  any_node_running || { echo "no node of the cluster is running: start it with localdb.sh cluster" >&2; exit 1; }
  keep_from_clients
  start_node "$1"
  echo "node $1 on 127.0.0.1:$(client_port "$1") synced"
}

cluster_ports() {
  if [ "${1:-}" = --all ]; then
    for n in "${nodes[@]}"; do node_ports "$n" | tr ' ' '\n'; done
    return 0
  fi
  local ports=()
  for n in "${nodes[@]}"; do ports+=("$(client_port "$n")"); done
  (IFS=,; echo "${ports[*]}")
}

case "$cmd" in
  settings) write_settings "${3:-}" "${4:-}" ;;
  start) start "${3:-}" ;;
  stop) stop ;;
  serve) serve "${3:-}" ;;
  sql) admin "${3:-$PROGRAMME_DB}" ;;
  cluster) cluster "${3:-}" ;;
  cluster-stop) cluster_stop ;;
  node-stop) check_node "${3:-}"; stop_node "$3"; echo "node $3 stopped" ;;
  node-start) node_start "${3:-}" ;;
  node-sql) check_node "${3:-}"; admin_at "$(node_socket "$3")" "${4:-$PROGRAMME_DB}" ;;
  cluster-ports) cluster_ports "${3:-}" ;;
  *) echo "$usage"; exit 2 ;;
esac
