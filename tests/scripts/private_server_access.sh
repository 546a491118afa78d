#!/usr/bin/env bash
# Another account of this machine cannot get into the build's private server as its
# administrator: not as root over TCP, not through the socket, and it cannot read the data
# folder or the build's settings file (the program's password), which the program itself does
# not hold; the administrator, on the socket, reads no file outside the build. Makes a throwaway system account for the check and
# removes it; needs root for that (skipped, exit 77, otherwise).
#   tests/scripts/private_server_access.sh BUILD_DIR
set -euo pipefail
build=$(cd "${1:?usage: private_server_access.sh BUILD_DIR}" && pwd)
here=$(cd "$(dirname "$0")/../.." && pwd)
# shellcheck disable=SC1091
source "$build/localdb.env"
[ "$(id -u)" = 0 ] || { echo "a throwaway account needs root: skipped"; exit 77; }
probe="brelo-probe-$$"
useradd --no-create-home --shell /usr/sbin/nologin "$probe"
trap 'userdel "$probe" >/dev/null 2>&1 || true' EXIT
as_probe() { runuser -u "$probe" -- "$@" >/dev/null 2>&1; }
failures=0
refused() {
  local what=$1
  shift
  if as_probe "$@"; then echo "let in: $what"; failures=$((failures + 1)); else echo "refused: $what"; fi
}
client=(mariadb --no-defaults -e "SELECT 1")
refused "root over TCP without a password" "${client[@]}" --protocol=tcp -h127.0.0.1 -P"$LOCALDB_PORT" -uroot
refused "root over TCP with TLS" "${client[@]}" --protocol=tcp -h127.0.0.1 -P"$LOCALDB_PORT" -uroot --ssl
refused "root through the socket" "${client[@]}" --protocol=socket --socket="$build/run/mariadb.sock" -uroot
refused "its own name through the socket" "${client[@]}" --protocol=socket --socket="$build/run/mariadb.sock" -u"$probe"
refused "the data folder" ls "$LOCALDB_DIR"
refused "the build's settings file" cat "$build/brelo.ini"
# The program's account is nowhere in the program: its password is the settings file's alone.
password=$(sed -n 's/^password=//p' "$build/brelo.ini" | head -n 1)
if [ -n "$password" ] && [ -e "$build/brelo" ] && grep -qF "$password" "$build/brelo"; then
  echo "let in: the program's password, read from its executable"; failures=$((failures + 1))
else
  echo "refused: the program's password, read from its executable"
fi
# The administrator gets in, but reads and writes files only inside the build.
answer=$("$here/scripts/localdb.sh" sql "$build" <<<"SELECT LOAD_FILE('/etc/hostname') IS NULL, @@secure_file_priv" | tail -1)
case "$answer" in
  "1	$build/localdb-files/") echo "refused: a file outside the build, to the administrator" ;;
  *) echo "let in: a file outside the build, to the administrator ($answer)"; failures=$((failures + 1)) ;;
esac
echo "$failures let in"
[ "$failures" -eq 0 ]
