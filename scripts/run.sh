#!/bin/bash
# Builds Lumora and starts it under Wine.
# With a usable $DISPLAY the program starts there and keeps running.
# Without one it starts on a private Xvfb, waits for the program's window,
# saves a screenshot of the screen to build/run/screenshot.png and stops it.
set -euo pipefail

ROOT="$(cd "$(dirname "$0")/.." && pwd)"
. "$ROOT/scripts/wine-env.sh"
bash "$ROOT/scripts/setup.sh"

lumora_pick_wine
TREE="$ROOT/build/run-$LUMORA_WIN_ARCH"
(cd "$ROOT" && cmake --preset "run-$LUMORA_WIN_ARCH" >/dev/null)
cmake --build "$TREE" -j"$(nproc)" --target Lumora lumora_ctl

# The program folder keeps the user's list and settings between runs.
RUN="$ROOT/build/run"
APPDIR="$RUN/Lumora"
mkdir -p "$APPDIR/data"
cp "$TREE/bin/Lumora.exe" "$APPDIR/Lumora.exe"
CTL="$TREE/bin/lumora_ctl.exe"

if [ -n "${DISPLAY:-}" ] && xdpyinfo >/dev/null 2>&1; then
  # A desktop has a window manager: the program's windows stay managed there.
  LUMORA_WINE_MANAGED=Y lumora_wine_setup "${WINEPREFIX:-$RUN/prefix-$LUMORA_WIN_ARCH}"
  (cd "$APPDIR" && nohup "$LUMORA_WINE" Lumora.exe >/dev/null 2>&1 &)
  echo "Lumora is running on $DISPLAY (program folder $APPDIR)."
  echo "Click its tray icon or press Ctrl+Shift+Q; quit it from its menu."
  exit 0
fi

# No display: a private one, and everything started here is stopped again.
WORK="$(mktemp -d /tmp/lumora-run.XXXXXX)"
LUMORA_PID=
cleanup() {
  [ -n "$LUMORA_PID" ] && kill "$LUMORA_PID" 2>/dev/null || true
  lumora_wine_stop
  rm -rf "$WORK"
}
trap cleanup EXIT
lumora_wine_start "$WORK"
(cd "$APPDIR" && exec "$LUMORA_WINE" Lumora.exe >/dev/null 2>&1) &
LUMORA_PID=$!
if ! "$LUMORA_WINE" "$CTL" wait-window "[LM]" 30000; then
  echo "run: Lumora's window did not appear" >&2
  exit 1
fi
sleep 1
SHOT="$RUN/screenshot.png"
import -display "$DISPLAY" -window root "$SHOT"
echo "Lumora started; screenshot saved to $SHOT"
"$LUMORA_WINE" "$CTL" close "[LM]" || true
for _ in $(seq 1 100); do
  kill -0 "$LUMORA_PID" 2>/dev/null || break
  sleep 0.1
done
