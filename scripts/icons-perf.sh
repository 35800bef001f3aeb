#!/bin/bash
# Measures the entry icons under Wine (bench/icons_bench_win.cpp): the warm
# page against plain row drawing, the cold show of 10,000 entries, GDI
# objects and private bytes after a scroll through all of them, and the
# longest paint with a slow lookup. Not part of the tests.
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
. "$root/scripts/wine-env.sh"
lumora_pick_wine
preset=win-$LUMORA_WIN_ARCH
(cd "$root" && cmake --preset "$preset" >/dev/null)
cmake --build "$root/build/$preset" -j2 --target lumora_icons_bench >/dev/null
work=$(mktemp -d)
trap 'lumora_wine_stop; rm -rf "$work"' EXIT
lumora_wine_start "$work"
"$LUMORA_WINE" "$root/build/$preset/bin/lumora_icons_bench.exe"
