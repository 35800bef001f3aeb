#!/bin/bash
# Whole-program measurements of Lumora.exe under Wine: the filter's keystroke
# with 10,000 entries, start-up with 10,000 entries and memory with 1,000.
# Builds a Release tree under build/perf-<arch>, starts its own Xvfb and Wine
# prefix, runs tests/e2e/perf/lumora_perf and stops what it started.
# Usage: scripts/perf.sh [keystrokes]
set -euo pipefail
ROOT="$(cd "$(dirname "$0")/.." && pwd)"
. "$ROOT/scripts/wine-env.sh"
lumora_pick_wine
BUILD="${LUMORA_PERF_BUILD:-$ROOT/build/perf-$LUMORA_WIN_ARCH}"
JOBS="${LUMORA_JOBS:-2}"

(cd "$ROOT" && cmake --preset "perf-$LUMORA_WIN_ARCH" -B "$BUILD" >/dev/null)
cmake --build "$BUILD" -j"$JOBS" --target Lumora lumora_perf >/dev/null

RUNDIR="$(mktemp -d /tmp/lumora-perf.XXXXXX)"
trap 'lumora_wine_stop; rm -rf "$RUNDIR"' EXIT
lumora_wine_start "$RUNDIR"
echo "Lumora.exe: $BUILD/bin/Lumora.exe ($LUMORA_WIN_ARCH, Release) under $("$LUMORA_WINE" --version)"
(cd "$BUILD/tests/e2e" && "$LUMORA_WINE" ./lumora_perf.exe "$BUILD/bin/Lumora.exe" "${1:-50}")
