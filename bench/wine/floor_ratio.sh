#!/bin/bash
# The program's CPU at the 1 ms job (GETDATA = NOWREAD = 1 ms, Graph open
# with eight channels, saving) against the floor: a program doing the least
# work of the same job with the same system calls (../shared/perf/floor.cpp,
# built against our simulator).  Program and floor alternate ROUNDS times in
# one session; each run prints per-thread CPU (from /proc), the
# wineserver's CPU, records per second, the largest gap and the load
# average; the last lines give the medians and the ratio.  Figures only.
#
# Sourced by scripts/measure.sh after the win64 build, with wine-env.sh
# loaded, a display and the prefix ready.  Settings:
#   PV_MEASURE_SECONDS  length of each run (default 30)
#   PV_FLOOR_ROUNDS     alternations (default 3)
#   PV_FLOOR_SOURCE     floor.cpp (default ../shared/perf/floor.cpp)

floor_ratio() {
  local seconds="${PV_MEASURE_SECONDS:-30}" rounds="${PV_FLOOR_ROUNDS:-3}"
  local source="${PV_FLOOR_SOURCE:-$ROOT/../shared/perf/floor.cpp}"
  local work="$ROOT/build/perf"
  if [ ! -f "$source" ]; then
    echo "floor: $source not found; set PV_FLOOR_SOURCE (skipped)"
    return 0
  fi
  mkdir -p "$work"
  if [ ! -x "$work/floor.exe" ] || [ "$source" -nt "$work/floor.exe" ]; then
    x86_64-w64-mingw32-g++-posix -std=c++17 -O2 -Wall -Wextra -static -mwindows \
      -o "$work/floor.exe" "$source" -lwinmm -lgdi32 || return 1
  fi
  local hz
  hz=$(getconf CLK_TCK)
  local program_cpu=() floor_cpu=()
  for round in $(seq 1 "$rounds"); do
    program_cpu+=("$(floor_run_program "$work" "$seconds" "$hz" "$round")")
    floor_cpu+=("$(floor_run_floor "$work" "$seconds" "$hz" "$round")")
  done
  local p f
  p=$(printf '%s\n' "${program_cpu[@]}" | sort -g | awk '{ v[NR] = $1 } END { print v[int((NR + 1) / 2)] }')
  f=$(printf '%s\n' "${floor_cpu[@]}" | sort -g | awk '{ v[NR] = $1 } END { print v[int((NR + 1) / 2)] }')
  echo "process CPU per ${seconds} s, median of $rounds: program $p s, floor $f s, ratio $(awk -v p="$p" -v f="$f" 'BEGIN { printf "%.2f", p / f }')"
}

# CPU ticks (user + system) of a process or one of its threads.
floor_ticks() { awk '{ sub(/.*\) /, ""); print $12 + $13 }' "$1" 2>/dev/null || echo 0; }

# "tid ticks" for every thread of a process.
floor_thread_ticks() {
  local t
  for t in /proc/"$1"/task/*; do
    echo "${t##*/} $(floor_ticks "$t/stat")"
  done
}

# The first process matching the pattern that runs in this prefix (other
# prefixes may run the same programs at the same time).
floor_prefix_pid() {
  local pid
  for pid in $(pgrep -f "$1"); do
    if tr '\0' '\n' < "/proc/$pid/environ" 2>/dev/null | grep -qx "WINEPREFIX=$WINEPREFIX"; then
      echo "$pid"
      return
    fi
  done
}

# Samples a Wine process for $2 seconds: prints its per-thread CPU in
# seconds (main thread first) and the wineserver's, and echoes on fd 3 the
# process total.
floor_sample() {
  local pid="$1" seconds="$2" hz="$3" label="$4"
  local server before_threads after_threads server0 server1
  server=$(floor_prefix_pid '/wineserver(64)?( |$)')
  before_threads=$(floor_thread_ticks "$pid")
  server0=$([ -n "$server" ] && floor_ticks "/proc/$server/stat" || echo 0)
  local load
  load=$(cut -d' ' -f1-3 /proc/loadavg)
  sleep "$seconds"
  after_threads=$(floor_thread_ticks "$pid")
  server1=$([ -n "$server" ] && floor_ticks "/proc/$server/stat" || echo 0)
  join <(sort <<<"$before_threads") <(sort <<<"$after_threads") |
    awk -v pid="$pid" -v hz="$hz" -v label="$label" -v load="$load" -v s0="$server0" -v s1="$server1" '
      { d = ($3 - $2) / hz; total += d; if ($1 == pid) main = d; else if (d > 0.05) other = other sprintf(" %.2f", d) }
      END {
        printf "%s: process %.2f s (main thread %.2f, others%s), wineserver %.2f s, load %s\n",
               label, total, main, other, (s1 - s0) / hz, load > "/dev/stderr"
        printf "%.2f\n", total
      }'
}

floor_run_program() {
  local work="$1" seconds="$2" hz="$3" round="$4"
  local ready="$work/program-ready" log="$work/program-$round.log"
  rm -f "$ready"
  PV_MEASURE_READY="$ready" PV_MEASURE_SECONDS="$seconds" \
    "$WINE" "$ROOT/build/win64/wine-tests/cpu_measure.exe" > "$log" 2>&1 &
  local driver=$!
  local i pid=""
  for i in $(seq 1 600); do
    [ -e "$ready" ] && break
    sleep 0.1
  done
  pid=$(floor_prefix_pid 'with-sim.Pendra_Visualizer\.exe')
  if [ -z "$pid" ] || [ ! -e "$ready" ]; then
    echo "program run $round did not start (see $log)" >&2
    wait "$driver"
    echo 0
    return
  fi
  floor_sample "$pid" "$seconds" "$hz" "program round $round"
  wait "$driver"
  grep -h '^program:' "$log" | awk '{ split($2, r, "="); split($3, s, "="); split($4, g, "=");
    printf "  records %.0f per second, largest gap %s ms\n", r[2] * 1000 / s[2], g[2] }' >&2
}

floor_run_floor() {
  local work="$1" seconds="$2" hz="$3" round="$4"
  local folder="$work/floor-run"
  rm -rf "$folder"
  mkdir -p "$folder"
  # The board of the program's run (bench/wine/lively_board.h), line by line.
  sed -n '/kLivelyBoard\[\] =/,/;/p' "$ROOT/bench/wine/lively_board.h" |
    sed -n 's/^ *"\(.*\)\\n";\{0,1\}$/\1/p' > "$folder/board.ini"
  (cd "$folder" && UUSBD_SIM_CONFIG="Z:${folder//\//\\}\\board.ini" \
    "$WINE" "$work/floor.exe" "Z:${ROOT//\//\\}\\build\\win64\\sim\\uusbd.dll" $((seconds + 3)) paint \
      > "$folder/floor.log" 2>&1) &
  local runner=$!
  local i
  for i in $(seq 1 600); do
    [ -e "$folder/floor-ready" ] && break
    sleep 0.1
  done
  local pid
  pid=$(floor_prefix_pid 'floor\.exe')
  if [ -z "$pid" ]; then
    echo "floor run $round did not start (see $folder/floor.log)" >&2
    wait "$runner"
    echo 0
    return
  fi
  floor_sample "$pid" "$seconds" "$hz" "floor round $round"
  wait "$runner"
  awk -F, '/^[0-9]/ { n++; if (n > 1 && $1 - t > g) g = $1 - t; t = $1 }
    END { printf "  records %.0f per second, largest gap %d ms\n", n * 1000 / (t > 0 ? t : 1), g }' \
    "$folder/floor.csv" >&2
}
