#!/bin/bash
# Runs one Windows program under the project's Wine prefix (used by CTest).
source "$(dirname "$0")/wine-env.sh"
if [ -z "${DISPLAY:-}" ]; then
  pv_start_xvfb
  trap 'kill $PV_XVFB_PID 2>/dev/null' EXIT
fi
pv_wine_prefix
"$WINE" "$@"
