#!/bin/bash
# The demonstration session on a virtual display, shared by the run command
# and scripts/screenshots.sh:
#
#   scripts/demo-session.sh BUILD_DIR DATA_DIR SHOT_DIR
#
# Runs BUILD_DIR/tools/demo_session.exe, which starts the program (beside the
# simulator in BUILD_DIR/with-sim/) in DATA_DIR and plays the operator, then
# turns its window pictures into main-dialog.png, config-dialog.png,
# graph-normal.png, graph-menu.png and graph-diffamp.png in SHOT_DIR.  The
# caller has started the display and the Wine prefix (scripts/wine-env.sh).  The board is
# sim/examples/demo.ini unless UUSBD_SIM_CONFIG names another configuration.
set -euo pipefail
ROOT="$(cd "$(dirname "$0")/.." && pwd)"
BUILD="$(cd "$1" && pwd)"
mkdir -p "$2" "$3"
DATA="$(cd "$2" && pwd)"
SHOTS="$(cd "$3" && pwd)"

# Wine maps the host's root folder to drive Z:.
windows_path() { printf 'Z:%s' "${1//\//\\}"; }

# Wine draws the program's frames and captions itself (a virtual display has
# no window manager to draw them), with the caption buttons' symbol font.
if ! grep -q 'AppDefaults\\\\Pendra_Visualizer.exe\\\\X11 Driver' "$WINEPREFIX/user.reg" 2>/dev/null; then
  "$WINE" reg add 'HKCU\Software\Wine\AppDefaults\Pendra_Visualizer.exe\X11 Driver' \
    /v Decorated /t REG_SZ /d N /f >/dev/null 2>&1
fi
FONTS="$WINEPREFIX/drive_c/windows/Fonts"
if [ ! -f "$FONTS/marlett.ttf" ] && [ -f /usr/share/wine/fonts/marlett.ttf ]; then
  mkdir -p "$FONTS"
  cp /usr/share/wine/fonts/marlett.ttf "$FONTS/"
fi

export UUSBD_SIM_CONFIG="${UUSBD_SIM_CONFIG:-$(windows_path "$ROOT/sim/examples/demo.ini")}"
PICTURES="$DATA/window-pictures"
rm -rf "$PICTURES"
mkdir -p "$PICTURES"
cd "$DATA"
# Wine's desktop process, started by this first program on the display,
# inherits stderr and reports there when the caller closes the display.
"$WINE" "$BUILD/tools/demo_session.exe" "$BUILD/with-sim/Pendra_Visualizer.exe" "$PICTURES" \
  2> >(grep -v --line-buffered '^X connection to .* broken' >&2)

# Few colours: an 8-bit palette keeps them exact and the files small; no
# time stamps, so an unchanged picture gives the same file.
for picture in "$PICTURES"/*.bmp; do
  name="$(basename "$picture" .bmp)"
  convert "$picture" -strip PNG8:"$SHOTS/$name.png"
  echo "screenshot: $SHOTS/$name.png"
done
rm -rf "$PICTURES"
echo "csv: $DATA/$(date +%Y_%-m_%-d).csv"
