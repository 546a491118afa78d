#!/usr/bin/env bash
# Installs, builds, starts the private database server with the demo season and opens the
# program. Under a display-less shell, prefix with xvfb-run.
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
cd "$here"
scripts/install-deps.sh --demo
# "Générer et ouvrir" opens the contract with the desktop's application for RTF documents.
# Where there is none, or only the tests' windowless LibreOffice, AbiWord becomes it.
rtf_default=$(xdg-mime query default text/rtf 2>/dev/null || true)
if [ -z "$rtf_default" ] || { [[ $rtf_default == libreoffice* ]] && dpkg -s libreoffice-core-nogui >/dev/null 2>&1; }; then
  xdg-mime default abiword.desktop text/rtf application/rtf
fi
scripts/configure-local.sh build 35427 >/dev/null
cmake --build build -j"$(nproc)" --target brelo
scripts/localdb.sh start build --demo
# The folder the generated contracts are copied to on OK, which the shared drive's client
# would keep in step on a real installation (the program never creates it).
shared=$(sed -n 's/^BRELO_SHARED_FOLDER:STRING=//p' build/CMakeCache.txt)
shared=${shared/#\~/$HOME}
mkdir -p "$shared"
echo
echo "Compte de démonstration : nom « Demo », mot de passe « brelo » (droits « all »)."
echo "Compte sans droits : nom « Lecteur », mot de passe « lecture »."
echo
build/brelo
