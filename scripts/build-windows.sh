#!/usr/bin/env bash
# Builds the program for 64-bit Windows on this Debian machine and packs its installer.
#   scripts/build-windows.sh [BUILD_DIR [PORT [more cmake arguments]]]
# BUILD_DIR (default build-windows) receives the program and Brelo-<version>-setup.exe.
# The connection settings come from the settings file beside the installed program (brelo.ini,
# made by the office from the installed template brelo-exemple.ini); the compiled values are
# only its defaults: the private server of the test command's plain build (port 5441, as
# scripts/run-tests.sh sets it), the authority read from tls/ca.pem beside the executable.
#
# What the program needs that Debian does not ship for Windows is cross-built once, from
# Debian's source packages, into a cache folder outside the build folders, and reused:
#   ${BRELO_WINDOWS_CACHE:-${XDG_CACHE_HOME:-~/.cache}/brelo-windows}
#     src/      the source packages      prefix/  Qt, OpenSSL and the MariaDB client, installed
#     work/     their build folders      logs/    one log per step, and the time each step took
# Every long step runs under nice -n 19 with two jobs: the machine is shared.
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-build-windows}
port=${2:-5441}
shift $(( $# > 2 ? 2 : $# ))
cache=${BRELO_WINDOWS_CACHE:-${XDG_CACHE_HOME:-$HOME/.cache}/brelo-windows}
prefix=$cache/prefix
toolchain=$here/cmake/WindowsCross.cmake
jobs=2
mkdir -p "$cache/src" "$cache/work" "$cache/logs" "$prefix" "$build"
build=$(cd "$build" && pwd)

say() { echo "== build-windows: $*"; }
fail() { echo "build-windows: $*" >&2; exit 1; }

# A step runs once: its stamp in the prefix says it is done. Its output goes to its log, shown
# in part when it fails; the time it took goes to logs/times.txt.
step() {
  local name=$1
  shift
  if [ -e "$prefix/.done-$name" ]; then return 0; fi
  say "$name (log: $cache/logs/$name.log)"
  local start=$SECONDS status
  # In a subshell of its own, outside any condition, so that its first failing command ends it.
  set +e
  (set -e; "$@") >"$cache/logs/$name.log" 2>&1
  status=$?
  set -e
  if [ $status -ne 0 ]; then
    tail -n 40 "$cache/logs/$name.log" >&2
    fail "step $name failed; its whole log: $cache/logs/$name.log"
  fi
  echo "$name $((SECONDS - start)) s" >>"$cache/logs/times.txt"
  touch "$prefix/.done-$name"
}

# The source code comes from the archive this machine installs from: its own apt sources, as
# deb-src entries.
add_source_entries() {
  local entries=/etc/apt/sources.list.d/brelo-windows-src
  if apt-get indextargets --format '$(IDENTIFIER)' 2>/dev/null | grep -qx Sources; then return 0; fi
  for f in /etc/apt/sources.list.d/*.sources; do
    [ -e "$f" ] && [ "$f" != "$entries.sources" ] || continue
    awk 'BEGIN { RS = ""; ORS = "\n\n" }
         /(^|\n)Types:[^\n]*deb/ && !/(^|\n)Enabled: *no/ {
           gsub(/(^|\n)Types:[^\n]*/, "\nTypes: deb-src"); sub(/^\n/, ""); print }' "$f"
  done >"$entries.sources"
  cat /etc/apt/sources.list $(ls /etc/apt/sources.list.d/*.list 2>/dev/null | grep -vx "$entries.list") 2>/dev/null |
    sed -n 's/^[[:space:]]*deb[[:space:]]/deb-src /p' >"$entries.list"
  apt-get update -q
}

# The newest version of a source package whose files the archive still serves (a snapshot
# mirror may have dropped the newest one's).
fetch_source() {
  local package=$1 version
  if ls "$cache/src/${package}"_*.dsc >/dev/null 2>&1; then return 0; fi
  for version in $(apt-cache showsrc "$package" | sed -n 's/^Version: //p' | sort -rV | uniq); do
    if (cd "$cache/src" && apt-get source --download-only "$package=$version"); then return 0; fi
    rm -f "$cache/src/${package}_"*
  done
  fail "no version of the source package $package could be downloaded"
}

# The original tarball of a source package, unpacked into src/ once (only MEMBERS when given);
# prints the folder it makes.
unpack() {
  local package=$1
  shift
  local tarball top
  tarball=$(ls "$cache/src/${package}"_*.orig.tar.* | grep -v '\.asc$' | head -n 1)
  top=$(tar -tf "$tarball" | head -n 1 | cut -d/ -f1 || true)
  if [ ! -d "$cache/src/$top" ]; then
    tar -xf "$tarball" -C "$cache/src" --wildcards "$@"
  fi
  echo "$cache/src/$top"
}

packages() {
  "$here/scripts/install-deps.sh" --windows
  add_source_entries
}

sources() {
  fetch_source openssl
  fetch_source mariadb
  fetch_source qt6-base
  unpack openssl >/dev/null
  # The server's source holds the client library in libmariadb/; nothing else of it is built.
  unpack mariadb '*/libmariadb/*' >/dev/null
  unpack qt6-base >/dev/null
}

# OpenSSL gives the client library its TLS, with the server's certificate verified against the
# authority named in the settings, the same library and checks as on Linux.
openssl_build() {
  cd "$(unpack openssl)"
  ./Configure mingw64 --cross-compile-prefix=x86_64-w64-mingw32- CC=gcc-posix \
    --prefix="$prefix" --libdir=lib shared no-tests no-engine no-legacy
  nice -n 19 make -j"$jobs" build_libs
  make install_dev install_runtime_libs
}

mariadb_build() {
  local work=$cache/work/mariadb
  rm -rf "$work"
  nice -n 19 cmake -G Ninja -S "$(unpack mariadb '*/libmariadb/*')/libmariadb" -B "$work" \
    -DCMAKE_TOOLCHAIN_FILE="$toolchain" -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX="$prefix" \
    -DCMAKE_PREFIX_PATH="$prefix" -DOPENSSL_ROOT_DIR="$prefix" -DWITH_SSL=OPENSSL \
    -DWITH_UNIT_TESTS=OFF -DWITH_CURL=OFF -DCLIENT_PLUGIN_AUTH_GSSAPI_CLIENT=OFF \
    -DCLIENT_PLUGIN_REMOTE_IO=OFF -DCLIENT_PLUGIN_DIALOG=OFF -DCLIENT_PLUGIN_CLIENT_ED25519=OFF \
    -DCLIENT_PLUGIN_SHA256_PASSWORD=OFF -DCLIENT_PLUGIN_CACHING_SHA2_PASSWORD=OFF
  nice -n 19 cmake --build "$work" -j"$jobs"
  cmake --install "$work"
}

# Qt's modules for the program: Core, Gui, Widgets, PrintSupport (and Test, small, for the
# platform layer's tests under Wine), the Windows platform plugin and styles. The host's Qt
# (the same 6.4) runs moc, rcc and uic. What the program never uses stays out: it halves a
# build that takes the better part of an hour of a core. The cross linker takes the ELF version
# scripts Qt writes for its private interfaces, but a Windows DLL then leaves out the private
# symbols that the print support and the platform plugin import: none is given.
qt_build() {
  local work=$cache/work/qtbase tree
  tree=$(unpack qt6-base)
  # Qt 6.4 compiles its DirectWrite font engine and database only along with Direct2D, yet the
  # print support and the platform plugin link to them whenever DirectWrite is on: without
  # Direct2D, they are compiled all the same.
  sed -i 's/CONDITION QT_FEATURE_direct2d AND QT_FEATURE_directwrite/CONDITION QT_FEATURE_directwrite/' \
    "$tree/src/gui/CMakeLists.txt"
  sed -i 's/QT_CONFIG(directwrite) && QT_CONFIG(direct2d)/QT_CONFIG(directwrite)/; s/^#if QT_CONFIG(direct2d)$/#if QT_CONFIG(directwrite)/' \
    "$tree/src/gui/text/windows/qwindowsfontdatabase.cpp" "$tree/src/gui/text/windows/qwindowsfontdatabasebase.cpp"
  # Debian's source leaves out the headers of Wintab (the drivers of graphics tablets): the
  # Windows platform plugin goes without it, and a pen is then a mouse.
  local plugin=$tree/src/plugins/platforms/windows
  sed -i 's/^qt_internal_extend_target(QWindowsIntegrationPlugin CONDITION QT_FEATURE_tabletevent$/& AND EXISTS "${QtBase_SOURCE_DIR}\/src\/3rdparty\/wintab"/' \
    "$plugin/CMakeLists.txt"
  sed -i 's/QT_CONFIG(tabletevent)/0 \/* no Wintab *\//' "$plugin/qwindowscontext.cpp" "$plugin/qwindowspointerhandler.cpp" \
    "$plugin/qwindowspointerhandler.h"
  # Nor does it know that dynamic OpenGL goes with OpenGL, which is left out here.
  sed -i 's/^#if QT_CONFIG(dynamicgl)$/#if QT_CONFIG(dynamicgl) \&\& QT_CONFIG(opengl)/' "$plugin/qwindowswindow.cpp"
  nice -n 19 cmake -G Ninja -S "$tree" -B "$work" \
    -DCMAKE_TOOLCHAIN_FILE="$toolchain" -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX="$prefix" \
    -DQT_HOST_PATH=/usr -DQT_HOST_PATH_CMAKE_DIR=/usr/lib/x86_64-linux-gnu/cmake \
    -DQT_BUILD_EXAMPLES=OFF -DQT_BUILD_TESTS=OFF -DFEATURE_sql=OFF -DFEATURE_network=OFF \
    -DFEATURE_dbus=OFF -DFEATURE_opengl=OFF -DFEATURE_concurrent=OFF -DFEATURE_xml=OFF \
    -DFEATURE_vulkan=OFF -DFEATURE_jpeg=OFF -DFEATURE_system_zlib=OFF -DFEATURE_system_pcre2=OFF \
    -DFEATURE_system_png=OFF -DFEATURE_system_harfbuzz=OFF -DFEATURE_system_freetype=OFF \
    -DFEATURE_system_doubleconversion=OFF -DFEATURE_direct2d=OFF -DFEATURE_gif=OFF -DFEATURE_ico=OFF \
    -DFEATURE_textodfwriter=OFF -DFEATURE_textmarkdownreader=OFF -DFEATURE_textmarkdownwriter=OFF \
    -DFEATURE_movie=OFF -DHAVE_LD_VERSION_SCRIPT=OFF
  nice -n 19 cmake --build "$work" -j"$jobs"
  cmake --install "$work"
}

# GoogleTest, from the sources Debian ships with libgtest-dev, for the platform layer's tests.
gtest_build() {
  local work=$cache/work/gtest
  rm -rf "$work"
  nice -n 19 cmake -G Ninja -S /usr/src/googletest -B "$work" -DCMAKE_TOOLCHAIN_FILE="$toolchain" \
    -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX="$prefix" -DBUILD_GMOCK=OFF -Dgtest_disable_pthreads=OFF
  nice -n 19 cmake --build "$work" -j"$jobs"
  cmake --install "$work"
}

# The program, Release; beside it the smoke test's driver, and the platform layer's test program
# with the application it registers, run under Wine by scripts/windows-smoke.sh. Qt Charts is
# not among Debian's sources that the archive serves here: the Windows program goes without
# the charts.
program() {
  # The private server's settings, as for a Linux build of the tests, but the authority beside
  # the executable; what the caller gives comes last and wins.
  "$here/scripts/configure-local.sh" "$build" "$port" -G Ninja -DCMAKE_TOOLCHAIN_FILE="$toolchain" \
    -DCMAKE_PREFIX_PATH="$prefix" -DQT_HOST_PATH=/usr -DQT_HOST_PATH_CMAKE_DIR=/usr/lib/x86_64-linux-gnu/cmake \
    -DCMAKE_BUILD_TYPE=Release -DBRELO_BENCH=OFF -DBRELO_CHARTS=OFF -DBRELO_TESTS=ON -DBRELO_SMOKE_DRIVER=ON \
    -DBRELO_TICKETING_TLS_CA=tls/ca.pem -DBRELO_PROGRAMME_TLS_CA=tls/ca.pem "$@"
  nice -n 19 cmake --build "$build" -j"$jobs" --target brelo brelo_smoke_driver test_platform brelo_fake_opener
}

step packages packages
step sources sources
step openssl openssl_build
step mariadb mariadb_build
step qt qt_build
step gtest gtest_build
start=$SECONDS
say "program ($build)"
program "$@"
"$here/scripts/windows-deploy.sh" "$build" "$prefix"
echo "program $((SECONDS - start)) s" >>"$cache/logs/times.txt"
installer=$(ls "$build"/Brelo-*-setup.exe)
say "done: $installer ($(du -h "$installer" | cut -f1)); times of each step: $cache/logs/times.txt"
