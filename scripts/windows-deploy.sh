#!/usr/bin/env bash
# Gathers what the Windows program needs into BUILD_DIR/deploy and packs it as the installer
# BUILD_DIR/Brelo-<version>-setup.exe (installer/brelo.nsi).
#   scripts/windows-deploy.sh BUILD_DIR PREFIX
# BUILD_DIR holds the cross-built brelo.exe, PREFIX the cross-built Qt and client library
# (scripts/build-windows.sh). The DLLs are not listed here: they are found by following the
# imports of the program and of the Qt plugins it loads (objdump -p), from the prefix and the
# cross compiler's run-time; an import found nowhere must be one of Windows' own, or the step
# fails. BRELO_WINDOWS_TLS_DIR, when set, is a folder of authorities' certificates installed as
# tls/ beside the program (where the settings file names them, e.g. tls/ca.pem).
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
build=${1:?usage: windows-deploy.sh BUILD_DIR PREFIX}
prefix=${2:?usage: windows-deploy.sh BUILD_DIR PREFIX}
mingw=x86_64-w64-mingw32
stage=$build/deploy
rm -rf "$stage"
mkdir -p "$stage"

# Qt finds its plugins in these folders beside the executable; print support is in its DLL.
plugins=(platforms/qwindows.dll styles/qwindowsvistastyle.dll)
for plugin in "${plugins[@]}"; do
  [ -e "$prefix/plugins/$plugin" ] || { echo "windows-deploy: no Qt plugin $prefix/plugins/$plugin" >&2; exit 1; }
  mkdir -p "$stage/$(dirname "$plugin")"
  cp "$prefix/plugins/$plugin" "$stage/$plugin"
done
cp "$build/brelo.exe" "$stage/"

# Where the DLLs of the program's own come from; Windows' own are known by the import
# libraries the cross compiler has for them.
runtime=$(dirname "$($mingw-g++-posix -print-file-name=libstdc++-6.dll)")
search=("$prefix/bin" "$prefix/lib" "$prefix/lib/mariadb" "$runtime" "/usr/$mingw/lib")
system_dll() {
  local base=${1%.*}
  # The API sets (api-ms-win-*, ext-ms-*) are names Windows itself resolves.
  case "${base,,}" in api-ms-win-* | ext-ms-*) return 0 ;; esac
  [ -e "/usr/$mingw/lib/lib${base,,}.a" ] || [ -e "/usr/$mingw/lib/lib${base}.a" ]
}
find_dll() {
  local dir hit
  for dir in "${search[@]}"; do
    hit=$(find "$dir" -maxdepth 1 -iname "$1" -print -quit 2>/dev/null)
    if [ -n "$hit" ]; then echo "$hit"; return 0; fi
  done
  return 1
}
queue=("$stage/brelo.exe")
for plugin in "${plugins[@]}"; do queue+=("$stage/$plugin"); done
declare -A seen=()
deployed=()
while [ ${#queue[@]} -gt 0 ]; do
  binary=${queue[0]}
  queue=("${queue[@]:1}")
  for dll in $($mingw-objdump -p "$binary" | sed -n 's/^[[:space:]]*DLL Name: //p' | tr -d '\r'); do
    key=${dll,,}
    [ -z "${seen[$key]:-}" ] || continue
    seen[$key]=1
    if source=$(find_dll "$dll"); then
      cp "$source" "$stage/"
      deployed+=("$(basename "$source")")
      queue+=("$stage/$(basename "$source")")
    elif ! system_dll "$dll"; then
      echo "windows-deploy: $binary needs $dll, which is neither built here nor part of Windows" >&2
      exit 1
    fi
  done
done
echo "DLLs found by the imports: ${deployed[*]}"
# Symbols only a debugger reads stay out of the package (the cross compiler's libstdc++ alone
# carries some 20 MB of them).
find "$stage" -iname '*.dll' -o -iname '*.exe' | while read -r binary; do $mingw-strip --strip-unneeded "$binary"; done

mkdir -p "$stage/translations"
cp /usr/share/qt6/translations/qtbase_fr.qm "$stage/translations/"
cp -r "$here/demo/models" "$here/demo/survey" "$stage/"
# The settings file's template: the office copies it as brelo.ini and fills it in.
cp "$here/installer/brelo-exemple.ini" "$stage/"
if [ -n "${BRELO_WINDOWS_TLS_DIR:-}" ]; then cp -r "$BRELO_WINDOWS_TLS_DIR" "$stage/tls"; fi

# The uninstaller removes what was installed, file by file, and the folders once empty: never
# a whole folder, which may hold the office's own files.
(
  cd "$stage"
  find . -type f | sed 's|^\./||; s|/|\\|g; s|^|  Delete "$INSTDIR\\|; s|$|"|'
  find . -mindepth 1 -type d | sort -r | sed 's|^\./||; s|/|\\|g; s|^|  RMDir "$INSTDIR\\|; s|$|"|'
) >"$build/uninstall-files.nsh"

version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$build/CMakeCache.txt")
installer=$build/Brelo-$version-setup.exe
makensis -V2 -INPUTCHARSET UTF8 -DVERSION="$version" -DSTAGE="$stage" -DUNINSTALL_LIST="$build/uninstall-files.nsh" -DOUTFILE="$installer" "$here/installer/brelo.nsi"
echo "installer: $installer"
