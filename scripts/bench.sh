#!/bin/sh
# Builds the benchmarks in a Release tree under build/bench and runs them.
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
build="$root/build/bench"
(cd "$root" && cmake --preset bench >/dev/null)
cmake --build "$build" -j"$(nproc 2>/dev/null || echo 2)" --target lumora_sheet_bench lumora_filter_bench lumora_time_text_bench >/dev/null
"$build/bench/lumora_sheet_bench" "$@"
"$build/bench/lumora_filter_bench" "$@"
"$build/bench/lumora_time_text_bench" "$@"
