# Sourced: the private Wine environment of this project's runs and tests.
PV_ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
export WINEPREFIX="${PV_WINEPREFIX:-$PV_ROOT/build/wineprefix}"
export WINEDEBUG=-all
# winemenubuilder off: shortcuts made in the prefix (the installer test's)
# add no menu entries to the host desktop.
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
if command -v wine64 >/dev/null 2>&1; then
  WINE=wine64
elif [ -x /usr/lib/wine/wine64 ]; then
  WINE=/usr/lib/wine/wine64
else
  WINE=wine
fi
export WINE
# The server of this Wine (Debian keeps it off PATH); Wine reads the same
# variable to find it.
WINESERVER="$(command -v wineserver || true)"
for candidate in /usr/lib/wine/wineserver64 /usr/lib/wine/wineserver; do
  [ -n "$WINESERVER" ] && break
  [ -x "$candidate" ] && WINESERVER="$candidate"
done
export WINESERVER

# pv_start_xvfb: starts a private virtual display, exports DISPLAY and sets
# PV_XVFB_PID; the caller kills it.  PV_XVFB_SCREEN sets its size
# (default 1280x1024x24).
pv_start_xvfb() {
  # Xvfb picks a free display itself and writes its number once it listens:
  # tests started side by side never take the same one.
  local number
  number="$(mktemp)"
  Xvfb -displayfd 3 -screen 0 "${PV_XVFB_SCREEN:-1280x1024x24}" -nolisten tcp 3>"$number" >/dev/null 2>&1 &
  PV_XVFB_PID=$!
  for _ in $(seq 1 100); do
    if [ -s "$number" ]; then
      export DISPLAY=":$(tr -dc '0-9' < "$number")"
      rm -f "$number"
      return 0
    fi
    kill -0 "$PV_XVFB_PID" 2>/dev/null || break
    sleep 0.1
  done
  rm -f "$number"
  kill "$PV_XVFB_PID" 2>/dev/null || true
  echo "Xvfb did not start" >&2
  return 1
}

# pv_wine_prefix: creates the prefix once (the first boot takes a while).
pv_wine_prefix() {
  if [ ! -f "$WINEPREFIX/system.reg" ]; then
    mkdir -p "$WINEPREFIX"
    "$WINE" wineboot -i >/dev/null 2>&1 || true
    "$WINESERVER" -w 2>/dev/null || true
  fi
}
