#!/usr/bin/env bash
# The Windows build tried as an office would use it, under Wine on a virtual display: the
# installer run silently into a fresh Wine prefix, the installed program started against the
# private server of a Linux build over TLS verified against that build's authority, logged in
# as Demo; the sales overview's totals and the manager's lists checked against what the
# database holds (read here with the mariadb client, not by the program); a contract generated,
# opened in Wine's WordPad through the program's open-and-wait, closed, and stored.
#   scripts/windows-smoke.sh WINDOWS_BUILD_DIR LINUX_BUILD_DIR
# WINDOWS_BUILD_DIR is scripts/build-windows.sh's (skipped, with one line, when it holds no
# installer); LINUX_BUILD_DIR a configured build whose private server has the port the Windows
# build was given. Screenshots and the driver's report: WINDOWS_BUILD_DIR/smoke/.
# The program is driven from inside by tests/windows/smoke_driver.cpp (a Qt plugin the smoke
# puts beside it, never installed by the installer); the system's file chooser and WordPad,
# which are not Qt's, are answered from here with xdotool.
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
win=${1:?usage: windows-smoke.sh WINDOWS_BUILD_DIR LINUX_BUILD_DIR}
linux=${2:?usage: windows-smoke.sh WINDOWS_BUILD_DIR LINUX_BUILD_DIR}
installer=$(ls "$win"/Brelo-*-setup.exe 2>/dev/null | head -n 1 || true)
if [ -z "$installer" ]; then
  echo "windows smoke test: skipped (no Windows build in $win; scripts/build-windows.sh makes one)"
  exit 0
fi
win=$(cd "$win" && pwd)
linux=$(cd "$linux" && pwd)
installer=$(ls "$win"/Brelo-*-setup.exe | head -n 1)
smoke=$win/smoke
driver=$win/tests/windows/brelo_smoke_driver.dll
cache=${BRELO_WINDOWS_CACHE:-${XDG_CACHE_HOME:-$HOME/.cache}/brelo-windows}

fail() { echo "windows smoke test: FAILED: $*" >&2; exit 1; }
say() { echo "== windows smoke: $*"; }
for tool in wine wineserver xdotool Xvfb import python3 mariadb; do
  command -v "$tool" >/dev/null || fail "$tool is missing (scripts/install-deps.sh --windows installs it)"
done
[ -e "$driver" ] || fail "no $driver: the Windows build is older than its smoke test; run scripts/build-windows.sh again"
# The program is pointed at the Linux build's server by the settings file the smoke writes
# beside it, as an office does: the build's compiled values play no part.
# shellcheck source=/dev/null
. "$linux/localdb.env"
port=$LOCALDB_PORT

# Checks collected and reported together at the end; the first failure does not hide the rest.
failures=()
check() {
  local what=$1
  shift
  if "$@"; then echo "  ok: $what"; else echo "  FAILED: $what"; failures+=("$what"); fi
}

rm -rf "$smoke"
mkdir -p "$smoke"
display=:$((port % 30000))
export DISPLAY=$display WINEPREFIX=$smoke/prefix WINEARCH=win64 WINEDEBUG=-all
# No Mono or Gecko to offer, no menu entries on this machine's desktop.
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
xvfb_pid=
program_pid=
cleanup() {
  [ -z "$program_pid" ] || kill "$program_pid" 2>/dev/null || true
  wineserver -k 2>/dev/null || true
  [ -z "$xvfb_pid" ] || kill "$xvfb_pid" 2>/dev/null || true
  "$here/scripts/localdb.sh" stop "$linux" >/dev/null 2>&1 || true
}
trap cleanup EXIT

say "server of $linux with the demo season"
"$here/scripts/localdb.sh" start "$linux" --demo >"$smoke/localdb.log" 2>&1 || { cat "$smoke/localdb.log"; fail "the private server did not start"; }
authority=$linux/tls/ca.pem
# The oracle: the databases as the mariadb client reads them, over the same verified TLS, the
# build's password in an option file of the smoke's own (never on a command line).
password=$(sed -n 's/^password=//p' "$linux/brelo.ini" | head -n 1)
(umask 077 && printf '[client]\npassword=%s\n' "$password" >"$smoke/client.cnf")
sql() {
  local database=$1 user=$PROGRAMME_USER
  if [ "$database" = ticketing ]; then database=$TICKETING_DB user=$TICKETING_USER; fi
  if [ "$database" = programme ]; then database=$PROGRAMME_DB; fi
  mariadb --defaults-file="$smoke/client.cnf" --ssl --ssl-verify-server-cert --ssl-ca="$authority" -h 127.0.0.1 -P "$port" \
    -u"$user" --default-character-set=utf8mb4 -B -N "$database" -e "$2"
}

say "virtual display $display"
Xvfb "$display" -screen 0 1280x1024x24 -nolisten tcp >"$smoke/xvfb.log" 2>&1 &
xvfb_pid=$!
for _ in $(seq 1 100); do [ -e "/tmp/.X11-unix/X${display#:}" ] && break; sleep 0.1; done
[ -e "/tmp/.X11-unix/X${display#:}" ] || fail "Xvfb did not start on $display (log: $smoke/xvfb.log)"

say "fresh Wine prefix"
start=$SECONDS
wine wineboot --init >"$smoke/wineboot.log" 2>&1 || fail "wineboot failed (log: $smoke/wineboot.log)"
wineserver -w
# Qt 6 is made for Windows 10; a new prefix says Windows 7. A program that crashes ends,
# instead of waiting on Wine's crash dialog.
wine winecfg -v win10 >>"$smoke/wineboot.log" 2>&1
wine reg add 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog /t REG_DWORD /d 0 /f >>"$smoke/wineboot.log" 2>&1
wineserver -w
echo "  prefix made in $((SECONDS - start)) s"

# The platform layer's own tests, cross-built, on Windows' side of it: the shell's open verb
# and its wait, wide paths, the French texts beside the executable.
say "the platform layer's tests (test_platform.exe)"
mkdir -p "$win/tests/translations"
cp /usr/share/qt6/translations/qtbase_fr.qm "$win/tests/translations/"
runtime=$(dirname "$(x86_64-w64-mingw32-g++-posix -print-file-name=libstdc++-6.dll)")
dll_path=
for dir in "$cache/prefix/bin" "$cache/prefix/lib/mariadb" "$runtime" /usr/x86_64-w64-mingw32/lib; do
  dll_path="$dll_path;$(winepath -w "$dir" 2>/dev/null)"
done
WINEPATH="${dll_path#;}" QT_PLUGIN_PATH="$(winepath -w "$cache/prefix/plugins" 2>/dev/null)" QT_QPA_PLATFORM=offscreen \
  timeout 600 wine "$win/tests/test_platform.exe" >"$smoke/test_platform.log" 2>&1 || true
wineserver -w
sed -n 's/^\[  PASSED  \] /  passed: /p; s/^\[  SKIPPED \] \([^ ]*\)$/  skipped: \1/p; s/^\[  FAILED  \] \([^ ]*\)$/  FAILED: \1/p' "$smoke/test_platform.log" | tr -d '\r'
check "the platform layer's tests pass under Wine (log: $smoke/test_platform.log)" \
  bash -c "grep -q '^\[  PASSED  \]' '$smoke/test_platform.log' && ! grep -q '^\[  FAILED  \]' '$smoke/test_platform.log'"

say "silent install of $(basename "$installer")"
wine "$installer" /S >"$smoke/install.log" 2>&1 || fail "the installer failed (log: $smoke/install.log)"
wineserver -w
drive_c=$WINEPREFIX/drive_c
app=$drive_c/Program\ Files/Brelo
check "the program, its Qt and client DLLs, plugins, translations and templates are installed" \
  test -e "$app/brelo.exe" -a -e "$app/Qt6Core.dll" -a -e "$app/Qt6Widgets.dll" -a -e "$app/platforms/qwindows.dll" \
  -a -e "$app/libmariadb.dll" -a -e "$app/translations/qtbase_fr.qm" -a -e "$app/models/contrat_standard.rtf" \
  -a -d "$app/survey" -a -d "$app/generated" -a -e "$app/uninstall.exe" -a -e "$app/brelo-exemple.ini"
check "a Start-menu entry" test -e "$drive_c/ProgramData/Microsoft/Windows/Start Menu/Programs/Brelo/Brelo.lnk"
check "the uninstaller is registered" \
  bash -c 'wine reg query "HKLM\\Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Brelo" /v UninstallString 2>/dev/null | grep -q uninstall.exe'

# What an office puts beside the program: the authority of its servers and the settings file
# made from the installed template. The shared folder is the cloud drive's, which the program
# never creates.
mkdir -p "$app/tls" "$drive_c/gd/generated" "$drive_c/smoke" "$app/generic"
cp "$authority" "$app/tls/ca.pem"
sed -e "s/^host=.*/host=127.0.0.1/" -e "s/^port=.*/port=$port/" -e "s/^user=.*/user=$TICKETING_USER/" \
  -e "s/^password=.*/password=$password/" -e "s/^accounts=.*/accounts=access/" \
  -e "s/^;user=.*/user=$PROGRAMME_USER/" -e "s/^;password=.*/password=$password/" -e "s|^tls_authority=.*|tls_authority=tls/ca.pem|" \
  -e "s/^database=billetterie/database=$TICKETING_DB/" -e "s/^database=programme/database=$PROGRAMME_DB/" \
  "$app/brelo-exemple.ini" >"$app/brelo.ini"
cp "$driver" "$app/generic/"
cp "$cache/prefix/bin/Qt6Test.dll" "$app/"
# RTF documents open in WordPad, as on a workstation without an office suite: Wine's own
# association, checked here so that a change of it is not taken for the program's fault.
check "RTF documents open in WordPad in this prefix" \
  bash -c "wine reg query 'HKCR\\rtffile\\shell\\open\\command' 2>/dev/null | grep -qi wordpad.exe"
wineserver -w

say "the installed program, driven"
report=$drive_c/smoke/report.txt
# Wine keeps the QT_ variables of this side from Windows programs: the driver's are the prefix's
# user's own.
wine reg add 'HKCU\Environment' /v QT_QPA_GENERIC_PLUGINS /d brelosmoke /f >>"$smoke/program.log" 2>&1
wine reg add 'HKCU\Environment' /v BRELO_SMOKE_DIR /d 'C:\smoke' /f >>"$smoke/program.log" 2>&1
# Under Wine, Qt's default font engine leaves out narrow glyphs ("I", "!"), which Windows draws:
# the screenshots are drawn with Qt's FreeType engine, as Windows would show them.
wine reg add 'HKCU\Environment' /v QT_QPA_PLATFORM /d 'windows:fontengine=freetype' /f >>"$smoke/program.log" 2>&1
wineserver -w
wine 'C:\Program Files\Brelo\brelo.exe' >>"$smoke/program.log" 2>&1 &
program_pid=$!
seen=0
closed_at=
deadline=$((SECONDS + 600))
window() { xdotool search --onlyvisible --name "$1" 2>/dev/null | head -n 1; }
await_window() {
  local name=$1 limit=$((SECONDS + $2)) id
  while [ $SECONDS -lt $limit ]; do
    id=$(window "$name")
    if [ -n "$id" ]; then echo "$id"; return 0; fi
    sleep 0.5
  done
  return 1
}
screenshot() {
  import -display "$display" -window root "$smoke/$1.tmp.png"
  mv "$smoke/$1.tmp.png" "$smoke/$1.png"
  echo "  screenshot $smoke/$1.png"
}
while kill -0 "$program_pid" 2>/dev/null; do
  [ $SECONDS -lt $deadline ] || fail "the program did not finish within 10 minutes (report: $report)"
  [ -e "$report" ] || [ $SECONDS -lt $((deadline - 420)) ] ||
    fail "the driver did not start within 3 minutes: the program or its plugin did not load (log: $smoke/program.log)"
  if [ -e "$report" ]; then
    lines=$(wc -l <"$report")
    while [ "$seen" -lt "$lines" ]; do
      seen=$((seen + 1))
      line=$(sed -n "${seen}p" "$report")
      case "$line" in
        "shot "*)
          name=${line#shot }
          screenshot "$name"
          cp "$smoke/$name.png" "$drive_c/smoke/$name.png" ;;
        choose-template)
          # The system's file chooser, its name field focused in the models folder.
          chooser=$(await_window "Chosir un mod" 60) || fail "the file chooser for the template did not open"
          sleep 1
          xdotool windowfocus --sync "$chooser" 2>/dev/null || true
          xdotool type --delay 40 "contrat_standard.rtf"
          xdotool key Return ;;
        "await-wordpad "*)
          number=${line#await-wordpad }
          pad=$(await_window "[Ww]ord[Pp]ad" 90) || fail "the contract $number did not open in WordPad"
          sleep 2
          screenshot 6-wordpad
          xdotool getwindowname "$pad" >"$smoke/wordpad-title.txt"
          closed_at=$(date +%s%3N)
          wine taskkill /im wordpad.exe >>"$smoke/program.log" 2>&1 ;;
        FAIL*) echo "$line" ;;
      esac
    done
  fi
  sleep 0.3
done
wait "$program_pid" || true
program_pid=
cat "$report" >"$smoke/report.txt" 2>/dev/null || true

say "checks"
report=$smoke/report.txt
field() { sed -n "s/^$1 //p" "$report" | head -n 1; }
check "the driver went through every step ($(grep -m1 '^FAIL' "$report" 2>/dev/null || echo 'no failure'))" \
  grep -qx done "$report"

# The sales overview against the ticketing tables, aggregated here from the rows the server
# sends this client: every performance of the window's range, its seats reserved and paid.
range=$(field range)
from=${range:0:19}
to=${range:20:19}
sql ticketing "SELECT s.id, s.name, DATE_FORMAT(s.starts_at, '%Y-%m-%d %H:%i:%s'), IFNULL(r.seats, ''),
  IFNULL(r.prices, ''), IFNULL(r.paid, '') FROM shows s LEFT JOIN res r ON r.show_id = s.id
  WHERE DATE_FORMAT(s.starts_at, '%Y-%m-%d %H:%i:%s') BETWEEN '$from' AND '$to'" >"$smoke/sales-rows.tsv"
python3 - "$smoke/sales-rows.tsv" >"$smoke/sales-expected.txt" <<'EOF'
import sys
shows, seats, euros, paid, paid_euros = set(), 0, 0.0, 0, 0.0
for line in open(sys.argv[1], encoding="utf-8"):
    show, name, starts, count, prices, flags = line.rstrip("\n").split("\t")
    shows.add((show, name))
    if count == "":
        continue
    count = int(count)
    price_list, flag_list = prices.split(":"), flags.split(";")
    seats += count
    for k in range(count):
        price = float(price_list[k]) if k < len(price_list) and price_list[k] else 0.0
        euros += price
        if k < len(flag_list) and flag_list[k].strip() not in ("", "0"):
            paid += 1
            paid_euros += price
line = lambda n, e: "%u/%.2f€/%.2f€" % (n, e, e / (n if n else 1))
print("performances %d" % len(shows))
print("field 1007 %s" % line(seats, euros))
print("field 1008 %s" % line(paid, paid_euros))
EOF
check "the sales overview lists the $(sed -n 's/^performances //p' "$smoke/sales-expected.txt") performances of its range ($range)" \
  test "$(grep -c '^row 1002 ' "$report")" = "$(sed -n 's/^performances //p' "$smoke/sales-expected.txt")"
for id in 1007 1008; do
  expected=$(sed -n "s/^field $id //p" "$smoke/sales-expected.txt")
  check "total $id shows $expected" test "$(field "field $id")" = "$expected"
done

# The manager's lists against the programme tables.
list_ids() { sed -n "s/^row $1 \([^\t]*\).*/\1/p" "$report" | sort; }
same_set() { [ "$(list_ids "$1")" = "$(sql programme "$2" | sort)" ]; }
check "the manager's companies are the live rows of comp" same_set 1019 "SELECT id FROM comp WHERE deleted + 0 <> 1"
check "its shows are the live rows of showname" same_set 1020 "SELECT id FROM showname WHERE deleted + 0 <> 1"
check "its groups are the live group heads of timeslot" \
  same_set 1023 "SELECT id FROM timeslot WHERE deleted + 0 <> 1 AND childof + 0 = -1"
companies=$(sed -n 's/^row 1019 [^\t]*\t//p' "$report" | sort | tr '\n' '|')
check "the companies' names read as the database holds them, accents included" \
  test "$companies" = "$(sql programme "SELECT nom FROM comp WHERE deleted + 0 <> 1" | sort | tr '\n' '|')"
check "the manager's caption names the account" bash -c "grep -q '^field caption .*(Demo)' '$report'"

# The contract: generated beside the program, opened, waited for, copied to the shared folder
# on OK and stored with its audit line.
number=$(sed -n 's/^await-wordpad //p' "$report")
generated=$app/generated/$number.rtf
# Each value stands where the template has its token, after the same text.
values_in_place() {
  python3 - "$app/models/contrat_standard.rtf" "$generated" "NUM=$number" PRIX=1200 FT=150 <<'EOF'
import sys
template, generated = (open(p, "rb").read() for p in sys.argv[1:3])
for pair in sys.argv[3:]:
    key, value = pair.split("=", 1)
    token = b"<<<" + key.encode() + b">>>"
    at = template.index(token)
    before = template[max(0, at - 24):at].split(b">>>")[-1]
    if token in generated or before + value.encode() not in generated:
        sys.exit("%s: %r not found after %r" % (key, value, before))
EOF
}
check "the contract $number was generated with its number, the price and the fee typed" values_in_place
check "WordPad showed it ($(cat "$smoke/wordpad-title.txt" 2>/dev/null))" grep -q "$number" "$smoke/wordpad-title.txt"
returned=$(sed -n 's/^generate-returned //p' "$report")
check "the program waited until WordPad was closed (closed at ${closed_at:-?}, returned at ${returned:-?})" \
  test -n "$closed_at" -a -n "$returned" -a "${returned:-0}" -ge "${closed_at:-0}"
check "OK copied it to the shared folder" cmp -s "$generated" "$drive_c/gd/generated/$number.rtf"
stored_list=$(sed -n '/^step contract stored/,$p' "$report" | grep -c '^row 1026 ' || true)
check "the manager lists it among the $stored_list live contracts" \
  test "$stored_list" = "$(sql programme "SELECT COUNT(*) FROM contract WHERE deleted + 0 <> 1")"
contract_id=$(sql programme "SELECT id FROM contract WHERE extra LIKE 'Num%\$\$\$$number###%'" | head -n 1)
check "the contract is stored (id ${contract_id:-none}) with its audit line by Demo" \
  test -n "$contract_id" -a "$(sql programme "SELECT COUNT(*) FROM logs WHERE log LIKE 'Demo : contrat $contract_id : %'")" = 1

# The uninstaller takes away what the installer put, and leaves the office's contracts.
rm -rf "$app/generic" "$app/tls" "$app/Qt6Test.dll"
wine "$app/uninstall.exe" /S >>"$smoke/install.log" 2>&1 || true
wineserver -w
check "the silent uninstall removed the program and its Start-menu entry" \
  test ! -e "$app/brelo.exe" -a ! -e "$app/Qt6Core.dll" -a ! -d "$app/models" \
  -a ! -e "$drive_c/ProgramData/Microsoft/Windows/Start Menu/Programs/Brelo/Brelo.lnk"
check "and kept the generated contract" test -e "$generated"

for shot in 1-login 2-sales 3-manager 4-contract 5-manager-contract 6-wordpad; do
  check "screenshot $shot" test -s "$smoke/$shot.png"
done
if [ ${#failures[@]} -gt 0 ]; then fail "${#failures[@]} check(s) failed (report, logs and screenshots in $smoke)"; fi
echo "windows smoke test: passed (screenshots in $smoke)"
