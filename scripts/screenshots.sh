#!/bin/bash
# Takes the manual's screenshots (docs/manual/screenshots/*.png) from the
# demonstration session on a virtual display of its own, in a fresh data
# folder with the demonstration settings and board.
set -euo pipefail
cd "$(dirname "$0")/.."
ROOT="$(pwd)"
BUILD="${PV_BUILD_DIR:-build/win64}"

scripts/setup.sh
[ -f "$BUILD/CMakeCache.txt" ] || cmake --preset win64 -B "$BUILD" >/dev/null
cmake --build "$BUILD" --target with_sim demo_session >/dev/null

source scripts/wine-env.sh
unset UUSBD_SIM_CONFIG DISPLAY
DATA="$ROOT/build/screenshots-data"
rm -rf "$DATA"
PV_XVFB_SCREEN=1024x960x24 pv_start_xvfb
# The session ends the program (also when a step fails); closing the display
# ends whatever might be left, without touching other runs in the prefix.
trap 'kill $PV_XVFB_PID 2>/dev/null || true' EXIT
pv_wine_prefix
scripts/demo-session.sh "$BUILD" "$DATA" docs/manual/screenshots
