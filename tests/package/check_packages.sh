#!/bin/bash
# Checks the release packages that scripts/package.sh wrote:
#   bash tests/package/check_packages.sh [packages folder, default build/packages]
# Each zip and installer holds exactly its files, the programs and DLLs are of
# the right architecture, and only the simulator's package has a uusbd.dll.
set -uo pipefail
SRC="$(cd "$(dirname "$0")/../.." && pwd)"
PKG="${1:-$SRC/build/packages}"
VERSION="$(sed -n 's/^project(Pendra_Visualizer VERSION \([0-9]*\.[0-9]*\.[0-9]*\)\.[0-9]*.*/\1/p' "$SRC/CMakeLists.txt")"
NAME="Pendra_Visualizer-$VERSION"
TMP="$(mktemp -d)"
trap 'rm -rf "$TMP"' EXIT
failures=0

fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

# same_list <what> <expected file> <actual file>
same_list() {
  if ! diff <(sort "$2") <(sort "$3") > "$TMP/diff"; then
    fail "$1 (< expected, > found):"
    cat "$TMP/diff"
  fi
}

# architecture <what> <file> <pattern that `file` prints for it>
architecture() {
  file -b "$2" | grep -q "$3" || fail "$1 is not $3: $(file -b "$2")"
}

zip_files() { unzip -Z1 "$1" | grep -v '/$'; }
# An NSIS installer's files, without the installer's own plug-ins.
installer_files() { 7z l -ba -slt "$1" | sed -n 's/^Path = //p' | grep -v '^\$PLUGINSDIR/'; }

# The program's folder: program, manual (+ screenshots), README, LICENSE.
MANUAL="$SRC/docs/manual"
[ -f "$MANUAL/PENDRA_VISUALIZER_HELP.html" ] || MANUAL="$SRC/src/resources"
{
  printf '%s\n' Pendra_Visualizer.exe PENDRA_VISUALIZER_HELP.html README.txt LICENSE.txt
  if [ -d "$MANUAL/screenshots" ]; then
    (cd "$MANUAL" && find screenshots -type f)
  fi
} > "$TMP/program-files"

for row in "win32 PE32 executable.*Intel 80386" "win64 PE32+ executable.*x86-64"; do
  arch="${row%% *}"
  pe="${row#* }"
  zip="$PKG/$NAME-$arch.zip"
  setup="$PKG/$NAME-$arch-setup.exe"
  for f in "$zip" "$setup"; do
    [ -f "$f" ] || { fail "missing $f"; continue 2; }
  done

  sed "s|^|$NAME-$arch/|" "$TMP/program-files" > "$TMP/expected"
  zip_files "$zip" > "$TMP/found"
  same_list "$arch zip contents" "$TMP/expected" "$TMP/found"
  { cat "$TMP/program-files"; echo uninstall.exe; } > "$TMP/expected"
  installer_files "$setup" > "$TMP/found"
  same_list "$arch installer contents" "$TMP/expected" "$TMP/found"

  mkdir -p "$TMP/$arch"
  unzip -q -o "$zip" -d "$TMP/$arch"
  top="$TMP/$arch/$NAME-$arch"
  architecture "$arch program" "$top/Pendra_Visualizer.exe" "$pe"
  architecture "$arch installer" "$setup" "$pe"
  7z e -so "$setup" Pendra_Visualizer.exe > "$TMP/$arch/installed.exe" 2>/dev/null
  cmp -s "$top/Pendra_Visualizer.exe" "$TMP/$arch/installed.exe" ||
    fail "$arch installer and zip hold different programs"
  strings -el "$top/Pendra_Visualizer.exe" | grep -A1 -x FileVersion | grep -qx "${VERSION//./, }, 0" ||
    fail "$arch program's FileVersion is not $VERSION"
  grep -q 'requestedExecutionLevel level="asInvoker"' "$top/Pendra_Visualizer.exe" ||
    fail "$arch program has no asInvoker manifest"
  for t in README.txt LICENSE.txt; do
    grep -q $'[^\r]$' "$top/$t" && fail "$arch $t has lines without CR LF"
    grep -q '@VERSION@' "$top/$t" && fail "$arch $t has an unfilled @VERSION@"
  done
done

# The simulator: a DLL per architecture, the example configurations.
sim="$PKG/$NAME-simulator.zip"
if [ -f "$sim" ]; then
  {
    printf '%s\n' README.txt LICENSE.txt win32/uusbd.dll win64/uusbd.dll
    (cd "$SRC/sim" && ls examples/*.ini)
  } | sed "s|^|$NAME-simulator/|" > "$TMP/expected"
  zip_files "$sim" > "$TMP/found"
  same_list "simulator zip contents" "$TMP/expected" "$TMP/found"
  unzip -q -o "$sim" -d "$TMP/sim"
  architecture "win32 simulator" "$TMP/sim/$NAME-simulator/win32/uusbd.dll" "PE32 executable (DLL).*Intel 80386"
  architecture "win64 simulator" "$TMP/sim/$NAME-simulator/win64/uusbd.dll" "PE32+ executable (DLL).*x86-64"
else
  fail "missing $sim"
fi

# The driver library (real or simulated) is never shipped with the program.
for f in "$PKG/$NAME"-win*; do
  case "$f" in
    *.zip) zip_files "$f" ;;
    *.exe) 7z l -ba -slt "$f" | sed -n 's/^Path = //p' ;;
  esac | grep -i 'uusbd' && fail "$(basename "$f") holds a driver library"
done

[ "$failures" -eq 0 ] && echo "packages of $VERSION: all checks passed"
exit $((failures > 0))
