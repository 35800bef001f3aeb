#!/bin/bash
# Builds the libFuzzer targets (preset "fuzz": clang with AddressSanitizer and
# UndefinedBehaviorSanitizer) and runs each on its seed files from fuzz/seeds.
# Usage: scripts/fuzz.sh [short|long|RUNS]
#   short (default): about 20 seconds per target, the run the test command
#                    keeps so that a regression is caught
#   long:            10,000,000 inputs per target
#   RUNS:            that many inputs per target
# The corpus grows under build/fuzz/corpus/<target>; an input that fails is
# kept in build/fuzz/findings/. Prints one line per target and exits 1 when
# any target failed.
set -uo pipefail

ROOT="$(cd "$(dirname "$0")/.." && pwd)"
cd "$ROOT"
MODE="${1:-short}"
case "$MODE" in
  short) LIMIT=(-max_total_time=20) ;;
  long) LIMIT=(-runs=10000000) ;;
  *[!0-9]*|"") echo "usage: scripts/fuzz.sh [short|long|RUNS]" >&2; exit 2 ;;
  *) LIMIT=(-runs="$MODE") ;;
esac

cmake --preset fuzz >/dev/null || { echo "fuzz: configure failed" >&2; exit 2; }
cmake --build build/fuzz -j"$(nproc)" >/dev/null || { echo "fuzz: build failed" >&2; exit 2; }

FAILED=0
mkdir -p build/fuzz/findings
for target in list_file text hotkey_text; do
  corpus="build/fuzz/corpus/$target"
  log="build/fuzz/$target.log"
  mkdir -p "$corpus"
  start=$SECONDS
  # Inputs up to 4 KiB; one input may take 10 seconds at most.
  build/fuzz/fuzz/lumora_fuzz_$target "${LIMIT[@]}" -max_len=4096 -timeout=10 \
    -artifact_prefix="build/fuzz/findings/$target-" -print_final_stats=1 \
    "$corpus" "fuzz/seeds/$target" >"$log" 2>&1
  rc=$?
  runs="$(awk '/stat::number_of_executed_units/ {print $NF}' "$log")"
  if [ "$rc" -eq 0 ]; then
    echo "fuzz $target: passed, ${runs:-?} inputs in $((SECONDS - start)) s"
  else
    FAILED=1
    echo "fuzz $target: FAILED (exit $rc) after ${runs:-?} inputs; input kept in build/fuzz/findings/, log $log"
    grep -m1 -A12 'ERROR\|deadly signal' "$log" | sed 's/^/  /'
  fi
done
exit $FAILED
