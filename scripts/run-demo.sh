#!/usr/bin/env bash
# Installs, builds, starts the private database server with the demo season and opens the
# program. Under a display-less shell, prefix with xvfb-run.
#   scripts/run-demo.sh [--cluster] [--server-accounts] [--build DIR] [--port PORT]
# --cluster: the demo season on a local three-node Galera cluster instead (build-cluster/), the
# program's programme on node 1 and its ticketing side on node 3, as on a site whose sales
# figures come from a replica (the build's settings file, build-cluster/brelo.ini, says so).
# Stop and start a node under the open program with scripts/localdb.sh node-stop
# build-cluster 1 (and node-start).
# --server-accounts: each member of staff logs in with a MariaDB account of their own, the
# server enforcing the role (programme/accounts=server in the settings file).
# --build DIR and --port PORT: another build folder and server port than build/ and 5427 (or
# build-cluster/), for a developer whose machine others share.
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
cd "$here"
usage="usage: run-demo.sh [--cluster] [--server-accounts] [--build DIR] [--port PORT]"
cluster=
accounts=access
build=
port=5427
while [ $# -gt 0 ]; do
  case "$1" in
    --cluster) cluster=1 ;;
    --server-accounts) accounts=server ;;
    --build) build=${2:?$usage}; shift ;;
    --port) port=${2:?$usage}; shift ;;
    *) echo "$usage" >&2; exit 2 ;;
  esac
  shift
done
scripts/install-deps.sh --demo
# "Générer et ouvrir" opens the contract with the desktop's application for RTF documents.
# Where there is none, or only the tests' windowless LibreOffice, AbiWord becomes it.
rtf_default=$(xdg-mime query default text/rtf 2>/dev/null || true)
if [ -z "$rtf_default" ] || { [[ $rtf_default == libreoffice* ]] && dpkg -s libreoffice-core-nogui >/dev/null 2>&1; }; then
  xdg-mime default abiword.desktop text/rtf application/rtf
fi
if [ -n "$cluster" ]; then
  build=${build:-build-cluster}
  scripts/configure-local.sh "$build" "$port" >/dev/null
  IFS=, read -r node1 _ node3 <<<"$(scripts/localdb.sh cluster-ports "$build")"
  scripts/localdb.sh settings "$build" "$node1" "$node3"
else
  build=${build:-build}
  scripts/configure-local.sh "$build" "$port" >/dev/null
fi
sed -i "s/^accounts=.*/accounts=$accounts/" "$build/brelo.ini"
cmake --build "$build" -j"$(nproc)" --target brelo
if [ -n "$cluster" ]; then
  scripts/localdb.sh cluster "$build" --demo
else
  scripts/localdb.sh start "$build" --demo
fi
# The folder the generated contracts are copied to on OK, which the shared drive's client
# would keep in step on a real installation (the program never creates it).
shared=$(sed -n 's/^BRELO_SHARED_FOLDER:STRING=//p' "$build/CMakeCache.txt")
shared=${shared/#\~/$HOME}
mkdir -p "$shared"
echo
if [ "$accounts" = server ]; then
  echo "Comptes du serveur : « Demo » / « brelo » (rôle brelo_editor), « Lecteur » / « lecture » (rôle brelo_reader)."
else
  echo "Compte de démonstration : nom « Demo », mot de passe « brelo » (droits « all »)."
  echo "Compte sans droits : nom « Lecteur », mot de passe « lecture »."
fi
echo
"$build/brelo"
