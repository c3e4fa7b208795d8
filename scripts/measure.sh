#!/bin/bash
# Scripted runs of the real program under Wine at the finest intervals, and
# the native benchmarks.  Prints figures; nothing here is a pass/fail test.
#   PV_MEASURE_SECONDS  length of each Wine run (default 30)
#   PV_FLOOR_ROUNDS, PV_FLOOR_SOURCE  see bench/wine/floor_ratio.sh
# The timing measure runs twice: on its own, then beside two CPU-bound shell
# loops (a busy lab PC).
set -euo pipefail
cd "$(dirname "$0")/.."
ROOT="$(pwd)"

scripts/setup.sh
for preset in bench win64; do
  [ -f "build/$preset/CMakeCache.txt" ] || cmake --preset "$preset" >/dev/null
  cmake --build --preset "$preset" >/dev/null
done

for bench in build/bench/*_bench; do
  echo "== $bench"
  "$bench" --benchmark_repetitions=3 --benchmark_report_aggregates_only=true
done

source scripts/wine-env.sh
pv_start_xvfb
LOAD_PIDS=()
stop_load() {
  for pid in "${LOAD_PIDS[@]}"; do kill "$pid" 2>/dev/null || true; done
  LOAD_PIDS=()
}
trap 'stop_load; kill $PV_XVFB_PID 2>/dev/null || true; "$WINESERVER" -k 2>/dev/null || true' EXIT
pv_wine_prefix
export PV_WITH_SIM="$ROOT/build/win64/with-sim" PV_BIN="$ROOT/build/win64/bin" PV_SIM_DIR="$ROOT/build/win64/sim" PV_SOURCE_DIR="$ROOT"
for measure in build/win64/wine-tests/*_measure.exe; do
  [ "${measure##*/}" = cpu_measure.exe ] && continue  # driven by floor_ratio below
  echo "== $measure (load average $(cut -d' ' -f1-3 /proc/loadavg))"
  "$WINE" "$measure"
  [[ $measure == *timing_measure.exe ]] || continue
  for _ in 1 2; do
    bash -c 'while :; do :; done' &
    LOAD_PIDS+=($!)
  done
  echo "== $measure beside two CPU-bound loops (load average $(cut -d' ' -f1-3 /proc/loadavg))"
  "$WINE" "$measure"
  stop_load
done

echo "== CPU at the 1 ms job against the floor"
source bench/wine/floor_ratio.sh
floor_ratio
