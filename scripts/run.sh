#!/bin/bash
# The run command: builds the 64-bit program and starts it under Wine against
# the simulated board.  With no X display it plays a short scripted session
# on a virtual display instead (scripts/demo-session.sh): connect, ports and
# I/O Update, the Config dialog, Go, Diff Amp, a few seconds of saving, Stop,
# Exit; it prints each step, the screenshots it took and the CSV file.
set -euo pipefail
cd "$(dirname "$0")/.."
ROOT="$(pwd)"
BUILD="${PV_BUILD_DIR:-build/win64}"   # another configured win64 build, for development

scripts/setup.sh
[ -f "$BUILD/CMakeCache.txt" ] || cmake --preset win64 -B "$BUILD" >/dev/null
cmake --build "$BUILD" --target with_sim demo_session >/dev/null
BUILD="$(cd "$BUILD" && pwd)"

source scripts/wine-env.sh
DATA="$ROOT/build/run-data"          # the operator's folder: settings and CSV files
mkdir -p "$DATA"
# The demonstration board unless a configuration was chosen (Wine maps the
# host's root folder to drive Z:).
export UUSBD_SIM_CONFIG="${UUSBD_SIM_CONFIG:-Z:${ROOT//\//\\}\\sim\\examples\\demo.ini}"

if [ -n "${DISPLAY:-}" ]; then
  pv_wine_prefix
  cd "$DATA"
  exec "$WINE" "$BUILD/with-sim/Pendra_Visualizer.exe"
fi

PV_XVFB_SCREEN=1024x960x24 pv_start_xvfb
# The session ends the program (also when a step fails); closing the display
# ends whatever might be left, without touching other runs in the prefix.
trap 'kill $PV_XVFB_PID 2>/dev/null || true' EXIT
pv_wine_prefix
scripts/demo-session.sh "$BUILD" "$DATA" "$DATA/screenshots"
