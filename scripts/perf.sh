#!/bin/bash
# Whole-program measurements of Lumora.exe under Wine, beside lumora_minimal.exe
# (bench/minimal_main.cpp, the simplest program that shows the same list and
# narrows it as one types), measured the same way in the same run: one
# keystroke of the filter, start-up to the list holding every entry, and the
# memory after start-up, at 1,000, 10,000 and 100,000 entries, and the memory
# of a 1,000-entry list whose rows are 5,005 cells wide. Each figure is printed
# for both programs with the ratio.
# Builds a Release tree under build/perf-<arch>, starts its own Xvfb and Wine
# prefix, runs tests/e2e/perf/lumora_perf and stops what it started.
# Usage: scripts/perf.sh [sizes]
#   sizes: comma-separated entry counts and "wide"; default
#   1000,10000,100000,wide (a quick run: scripts/perf.sh 1000,10000)
set -euo pipefail
ROOT="$(cd "$(dirname "$0")/.." && pwd)"
. "$ROOT/scripts/wine-env.sh"
lumora_pick_wine
BUILD="${LUMORA_PERF_BUILD:-$ROOT/build/perf-$LUMORA_WIN_ARCH}"
JOBS="${LUMORA_JOBS:-2}"

(cd "$ROOT" && cmake --preset "perf-$LUMORA_WIN_ARCH" -B "$BUILD" >/dev/null)
cmake --build "$BUILD" -j"$JOBS" --target Lumora lumora_minimal lumora_perf >/dev/null

RUNDIR="$(mktemp -d /tmp/lumora-perf.XXXXXX)"
trap 'lumora_wine_stop; rm -rf "$RUNDIR"' EXIT
lumora_wine_start "$RUNDIR"
echo "Lumora.exe: $BUILD/bin/Lumora.exe ($LUMORA_WIN_ARCH, Release) under $("$LUMORA_WINE" --version)," \
  "beside $BUILD/bin/lumora_minimal.exe; $(nproc) CPUs"
(cd "$BUILD/tests/e2e" && "$LUMORA_WINE" ./lumora_perf.exe "$BUILD/bin/Lumora.exe" "$BUILD/bin/lumora_minimal.exe" \
  "${1:-1000,10000,100000,wide}")
