#!/usr/bin/env bash
# Installs, builds, starts the private database server with the demo season and opens the
# program. Under a display-less shell, prefix with xvfb-run.
#   scripts/run-demo.sh [--cluster]
# --cluster: the demo season on a local three-node Galera cluster instead (build-cluster/), the
# program's programme on node 1 and its ticketing side on node 3, as on a site whose sales
# figures come from a replica. Stop and start a node under the open program with
# scripts/localdb.sh node-stop build-cluster 1 (and node-start).
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
cd "$here"
cluster=
if [ "${1:-}" = --cluster ]; then cluster=1; fi
scripts/install-deps.sh --demo
# "Générer et ouvrir" opens the contract with the desktop's application for RTF documents.
# Where there is none, or only the tests' windowless LibreOffice, AbiWord becomes it.
rtf_default=$(xdg-mime query default text/rtf 2>/dev/null || true)
if [ -z "$rtf_default" ] || { [[ $rtf_default == libreoffice* ]] && dpkg -s libreoffice-core-nogui >/dev/null 2>&1; }; then
  xdg-mime default abiword.desktop text/rtf application/rtf
fi
build=build
if [ -n "$cluster" ]; then
  build=build-cluster
  scripts/configure-local.sh "$build" 5427 >/dev/null
  IFS=, read -r node1 _ node3 <<<"$(scripts/localdb.sh cluster-ports "$build")"
  scripts/configure-local.sh "$build" 5427 -DBRELO_PROGRAMME_PORT="$node1" -DBRELO_TICKETING_PORT="$node3" >/dev/null
else
  scripts/configure-local.sh "$build" 5427 >/dev/null
fi
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
echo "Compte de démonstration : nom « Demo », mot de passe « brelo » (droits « all »)."
echo "Compte sans droits : nom « Lecteur », mot de passe « lecture »."
echo
"$build/brelo"
