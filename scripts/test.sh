#!/bin/bash
# The test command: installs what is missing, builds every configuration and
# runs every test (native unit tests, tests under Wine of the 64-bit and the
# emulated 32-bit build, a short fuzz run), ending with CTest's summary line.
set -euo pipefail
cd "$(dirname "$0")/.."
ROOT="$(pwd)"

scripts/setup.sh
mkdir -p build

for preset in native fuzz win64 win32; do
  if [ ! -f "build/$preset/CMakeCache.txt" ]; then
    cmake --preset "$preset" >/dev/null
  fi
  echo "== build $preset"
  if ! cmake --build --preset "$preset" > "build/$preset.log" 2>&1; then
    cat "build/$preset.log"
    echo "build $preset failed"
    exit 1
  fi
done

# The release packages, checked by the tests below.
echo "== packages"
export PV_PACKAGES_DIR="$ROOT/build/packages"
if ! PV_WIN32_BUILD=build/win32 PV_WIN64_BUILD=build/win64 scripts/package.sh > build/packages.log 2>&1; then
  cat build/packages.log
  echo "packaging failed"
  exit 1
fi

# The 32-bit build runs emulated in a Debian tree built once into
# build/chroot32; where the machine cannot, its tests count as skipped.
if why32="$(scripts/run-wine32.sh --check)" && scripts/chroot32.sh; then
  echo "== 32-bit runs emulated in build/chroot32"
else
  echo "32-bit runs skipped: ${why32:-the 32-bit Wine tree could not be built (see build/chroot32.partial.log)}"
fi

source scripts/wine-env.sh
pv_start_xvfb
trap 'kill $PV_XVFB_PID 2>/dev/null || true; "$WINESERVER" -k 2>/dev/null || true' EXIT
pv_wine_prefix

# One CTest run over all the test trees and the package checks, so that one
# summary line ends it.  Three at a time: the two chains of emulated 32-bit
# runs (cmake/windows.cmake) mostly wait, and the rest keeps going beside them.
mkdir -p build/all
{
  for preset in native fuzz win64 win32; do
    echo "subdirs(\"$ROOT/build/$preset\")"
  done
  echo "add_test(package.contents bash \"$ROOT/tests/package/check_packages.sh\" \"$PV_PACKAGES_DIR\")"
} > build/all/CTestTestfile.cmake
ctest --test-dir build/all -j3 --output-on-failure --timeout 900
