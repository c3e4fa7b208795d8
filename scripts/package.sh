#!/bin/bash
# Builds the release packages into build/packages/:
#   Pendra_Visualizer-<version>-win32.zip, -win64.zip   the program's folder
#   Pendra_Visualizer-<version>-win32-setup.exe, -win64-setup.exe   installers
#   Pendra_Visualizer-<version>-simulator.zip   the stand-in uusbd.dll
# Builds the win32 and win64 presets first where needed.  Environment:
# PV_WIN32_BUILD, PV_WIN64_BUILD (default build/win32, build/win64) name the
# build folders, PV_PACKAGES_DIR the output folder (default build/packages).
set -euo pipefail
cd "$(dirname "$0")/.."
ROOT="$(pwd)"

scripts/setup.sh

VERSION="$(sed -n 's/^project(Pendra_Visualizer VERSION \([0-9]*\.[0-9]*\.[0-9]*\)\.[0-9]*.*/\1/p' CMakeLists.txt)"
[ -n "$VERSION" ] || { echo "package: no version in CMakeLists.txt" >&2; exit 1; }
NAME="Pendra_Visualizer-$VERSION"
OUT="$(mkdir -p "${PV_PACKAGES_DIR:-build/packages}" && cd "${PV_PACKAGES_DIR:-build/packages}" && pwd)"
STAGE="$OUT/stage"
rm -rf "$STAGE"
rm -f "$OUT"/Pendra_Visualizer-*.zip "$OUT"/Pendra_Visualizer-*-setup.exe
mkdir -p "$STAGE"

declare -A BUILD=([win32]="${PV_WIN32_BUILD:-build/win32}" [win64]="${PV_WIN64_BUILD:-build/win64}")
for arch in win32 win64; do
  dir="${BUILD[$arch]}"
  if [ ! -f "$dir/CMakeCache.txt" ]; then
    cmake --preset "$arch" -B "$dir" >/dev/null
  fi
  if ! cmake --build "$dir" --target Pendra_Visualizer uusbd > "$STAGE/build-$arch.log" 2>&1; then
    cat "$STAGE/build-$arch.log"
    echo "package: build $arch failed" >&2
    exit 1
  fi
done

crlf() { sed 's/\r*$/\r/' "$1"; }
text() { sed "s/@VERSION@/$VERSION/g" "$1" | crlf /dev/stdin; }
zipdir() { (cd "$STAGE" && zip -q -r -X -D "$OUT/$1.zip" "$1"); }

for arch in win32 win64; do
  top="$STAGE/$NAME-$arch"
  mkdir -p "$top"
  cp "${BUILD[$arch]}/bin/Pendra_Visualizer.exe" "$top/"
  cp -r docs/manual/. "$top/"   # the manual and its screenshots/
  text packaging/README.txt > "$top/README.txt"
  crlf LICENSE > "$top/LICENSE.txt"
  zipdir "$NAME-$arch"
  makensis -V2 -DPV_ARCH="$arch" -DPV_VERSION="$VERSION" -DPV_STAGE="$top" \
    -DPV_OUTFILE="$OUT/$NAME-$arch-setup.exe" packaging/pendra_visualizer.nsi
done

sim="$STAGE/$NAME-simulator"
mkdir -p "$sim/win32" "$sim/win64" "$sim/examples"
for arch in win32 win64; do
  cp "${BUILD[$arch]}/sim/uusbd.dll" "$sim/$arch/"
done
for ini in sim/examples/*.ini; do
  crlf "$ini" > "$sim/examples/$(basename "$ini")"
done
text packaging/simulator-README.txt > "$sim/README.txt"
crlf LICENSE > "$sim/LICENSE.txt"
zipdir "$NAME-simulator"

rm -rf "$STAGE"
(cd "$OUT" && ls -l "$NAME"-* | awk '{ printf "%10d  %s\n", $5, $9 }')
