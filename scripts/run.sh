#!/bin/bash
# The run command: builds the 64-bit program and starts it under Wine against
# the simulated board.  With no X display it runs on a virtual one, connects
# to the simulated board and starts the Graph (tools/operator_demo), waits a
# few seconds, saves a screenshot and prints its path.
set -euo pipefail
cd "$(dirname "$0")/.."
ROOT="$(pwd)"

scripts/setup.sh
[ -f build/win64/CMakeCache.txt ] || cmake --preset win64 >/dev/null
cmake --build --preset win64 --target with_sim operator_demo >/dev/null

source scripts/wine-env.sh
DATA="$ROOT/build/run-data"          # the operator's folder: settings and CSV files
mkdir -p "$DATA"
cd "$DATA"

if [ -n "${DISPLAY:-}" ]; then
  pv_wine_prefix
  exec "$WINE" "$ROOT/build/win64/with-sim/Pendra_Visualizer.exe"
fi

pv_start_xvfb
trap 'kill $PV_XVFB_PID 2>/dev/null || true; wineserver -k 2>/dev/null || true' EXIT
pv_wine_prefix
"$WINE" "$ROOT/build/win64/with-sim/Pendra_Visualizer.exe" &
APP=$!
# Connect to the simulated board and start the Graph, so the picture shows
# live values and traces.
"$WINE" "$ROOT/build/win64/tools/operator_demo.exe" || echo "run: the demo session could not drive the program" >&2
sleep "${PV_RUN_SECONDS:-5}"
SHOT="$ROOT/build/run-screenshot.png"
import -window root "$SHOT"
echo "screenshot: $SHOT"
kill "$APP" 2>/dev/null || true
