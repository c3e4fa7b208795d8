#!/bin/bash
# Runs a libFuzzer target for a few seconds over its seed corpus; new inputs
# go to a scratch folder, never into the repository.
set -euo pipefail
fuzzer="$1"; corpus="$2"; seconds="$3"
scratch="$(mktemp -d)"
trap 'rm -rf "$scratch"' EXIT
"$fuzzer" -max_total_time="$seconds" -print_final_stats=1 "$scratch" "$corpus"
