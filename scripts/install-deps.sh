#!/usr/bin/env bash
# Installs what the build, the tests, the demo and the benchmarks need (Debian 12, as root).
#   scripts/install-deps.sh [--demo | --windows]
# --demo adds a word processor that shows a window, to open the demo's contracts in: the
# tests' LibreOffice has none, and its windowed build would replace it (the two conflict).
# --windows adds what scripts/build-windows.sh and scripts/windows-smoke.sh need: the MinGW-w64
# cross compilers, Ninja, NSIS for the installer, apt-get source's unpacking tools, Wine and
# xdotool to try the installed program under Xvfb. The test command never installs them.
# galera-4, rsync and iproute2 run the tests' local cluster (scripts/localdb.sh cluster): the
# replication, the full copy of a joining node's data, the check that a node's ports are free.
# poppler-utils reads the printed planning's PDF back as text in its tests.
set -euo pipefail
packages=(build-essential cmake pkg-config qt6-base-dev libgl-dev qt6-charts-dev libqt6opengl6-dev libmariadb-dev mariadb-server mariadb-client
  libgtest-dev libgmock-dev googletest libbenchmark-dev xvfb xauth imagemagick fonts-liberation fonts-dejavu-core
  libreoffice-writer-nogui poppler-utils xdg-utils clang-14 libclang-rt-14-dev openssl qt6-translations-l10n galera-4 rsync iproute2)
case "${1:-}" in
  --demo) packages+=(abiword) ;;
  --windows) packages+=(g++-mingw-w64-x86-64-posix ninja-build nsis dpkg-dev wine wine64 xdotool) ;;
esac
missing=()
for p in "${packages[@]}"; do dpkg -s "$p" >/dev/null 2>&1 || missing+=("$p"); done
if [ ${#missing[@]} -gt 0 ]; then
  export DEBIAN_FRONTEND=noninteractive
  apt-get update -q
  apt-get install -y -q --no-install-recommends "${missing[@]}"
fi
# The program's private server is started by scripts/localdb.sh; the system service stays off.
if command -v systemctl >/dev/null 2>&1; then systemctl disable --now mariadb >/dev/null 2>&1 || true; fi
