#!/bin/bash
# Installs what is needed, builds every tree and runs every test tier:
#   1. native unit tests (AddressSanitizer and UndefinedBehaviorSanitizer),
#      and a short run of each libFuzzer target (scripts/fuzz.sh)
# Both Windows trees (i686 and x86_64) are built with their tests; tiers 2
# and 3 run the i686 one under 32-bit Wine where this kernel runs 32-bit code
# and the x86_64 one under 64-bit Wine elsewhere (LUMORA_TEST_ARCH=i686 or
# x86_64 forces either):
#   2. Windows unit tests under Wine with code page 932
#   3. end-to-end tests of the real Lumora.exe under Wine in Xvfb
#      (the monitor tests, labelled "twomonitors", on a second screen split
#      into two monitors; the tests labelled "dpi144" on a third screen of
#      144 DPI)
# and ends with the line "N passed, N failed", which tools/test_summary
# computes from the test programs' reports and ctest's records. Exit status 0
# only when every test passed. Build trees live in build/ of the checkout and
# are configured through the presets of CMakePresets.json.
set -uo pipefail

ROOT="$(cd "$(dirname "$0")/.." && pwd)"
cd "$ROOT"
JOBS="$(nproc)"
BUILD="$ROOT/build"
. "$ROOT/scripts/wine-env.sh"

step() { printf '\n=== %s (%ss)\n' "$1" "$SECONDS"; }
die() { echo "test-all: $*" >&2; exit 2; }

step "install"
had_locale="$(locale -a 2>/dev/null | grep -cix 'ja_JP.utf8' || true)"
bash "$ROOT/scripts/setup.sh" || die "installing the packages failed"
# A locale generated just now is not seen by this shell: start afresh once.
if [ "$had_locale" = 0 ] && [ -z "${LUMORA_RUN_AGAIN:-}" ]; then
  LUMORA_RUN_AGAIN=1 exec bash "$0" "$@"
fi

lumora_pick_wine || die "choosing the Wine loader failed"

step "native build"
rm -rf "$BUILD/native/reports"
cmake --preset native >/dev/null || die "native configure failed"
cmake --build "$BUILD/native" -j"$JOBS" || die "native build failed"

# Both Windows trees are built with all their tests on every machine, so that
# code one of them cannot compile fails everywhere; tiers 2 and 3 run the one
# this machine's Wine runs: the 32-bit product under 32-bit Wine where the
# kernel runs 32-bit code, the x86_64 build under 64-bit Wine elsewhere.
for arch in i686 x86_64; do
  step "Windows build ($arch)"
  rm -rf "$BUILD/win-$arch/reports"
  cmake --preset "win-$arch" >/dev/null || die "Windows configure ($arch) failed"
  cmake --build "$BUILD/win-$arch" -j"$JOBS" || die "Windows build ($arch) failed"
done
WIN="$BUILD/win-$LUMORA_WIN_ARCH"
PRODUCT="$BUILD/win-i686"
if [ "$LUMORA_WIN_ARCH" = i686 ]; then
  TIERS_RAN="the 32-bit program (build/win-i686) under 32-bit Wine"
else
  TIERS_RAN="the x86_64 build (build/win-x86_64) under 64-bit Wine"
fi
if [ -n "${LUMORA_TEST_ARCH:-}" ]; then
  TIERS_RAN="$TIERS_RAN, chosen by LUMORA_TEST_ARCH"
elif [ "$LUMORA_WIN_ARCH" != i686 ]; then
  TIERS_RAN="$TIERS_RAN, as this kernel runs no 32-bit code"
fi
echo "tiers 2 and 3 will run $TIERS_RAN"

EXTRA_FAILED=0 EXTRA_PASSED=0

step "callbacks: no lambda handed to Windows"
# A captureless lambda converted with unary + is a cdecl function; handed to
# Windows as a window procedure or callback through a cast it is called as
# stdcall on i686. The i686 build catches the direct conversions; this the cast ones.
if lambdas="$(grep -rnE '\+\[\][^{;]*\((HWND|LPARAM|UINT|DWORD|int nCode)' src tests tools bench)"; then
  echo "FAILED: a lambda where Windows calls back (use a named CALLBACK function):"
  echo "$lambdas"
  EXTRA_FAILED=$((EXTRA_FAILED + 1))
else
  echo "no lambda converted to a function pointer of a Windows callback's form"
  EXTRA_PASSED=$((EXTRA_PASSED + 1))
fi

step "32-bit program imports"
imports="$(i686-w64-mingw32-objdump -p "$PRODUCT/bin/Lumora.exe" | awk '/DLL Name/ {print $3}')"
echo "$imports" | tr '\n' ' '; echo
if echo "$imports" | grep -qiE 'libstdc|libgcc|winpthread|mingw'; then
  echo "FAILED: Lumora.exe needs a MinGW runtime DLL"; EXTRA_FAILED=$((EXTRA_FAILED + 1))
else
  EXTRA_PASSED=$((EXTRA_PASSED + 1))
fi

step "executable hardening: PE header and symbols"
# DllCharacteristics: 0x40 address space layout randomization, 0x100 data
# execution prevention, and on 64-bit 0x20 high-entropy randomization.
check_pe() {  # objdump exe required-bits
  local flags
  flags="$("$1" -p "$2" | awk '/^DllCharacteristics/ {print $2}')"
  if [ -n "$flags" ] && [ $((0x$flags & $3)) = $(($3)) ]; then
    echo "$2: DllCharacteristics 0x$flags"
    EXTRA_PASSED=$((EXTRA_PASSED + 1))
  else
    echo "FAILED: $2: DllCharacteristics 0x${flags:-?} lacks some of $3"
    EXTRA_FAILED=$((EXTRA_FAILED + 1))
  fi
}
check_pe i686-w64-mingw32-objdump "$PRODUCT/bin/Lumora.exe" 0x140
check_pe x86_64-w64-mingw32-objdump "$BUILD/win-x86_64/bin/Lumora.exe" 0x160
if i686-w64-mingw32-nm "$PRODUCT/bin/Lumora.exe" 2>&1 | grep -q 'no symbols'; then
  echo "$PRODUCT/bin/Lumora.exe: stripped, $(stat -c %s "$PRODUCT/bin/Lumora.exe") bytes"
  EXTRA_PASSED=$((EXTRA_PASSED + 1))
else
  echo "FAILED: $PRODUCT/bin/Lumora.exe carries a symbol table"
  EXTRA_FAILED=$((EXTRA_FAILED + 1))
fi

step "release package"
if package_out="$(bash "$ROOT/scripts/package.sh")" && zip_path="${package_out%%$'\n'*}" &&
   [ "$(unzip -Z1 "$zip_path" | sort | tr '\n' ' ')" = "Lumora.exe data/ readme.txt " ]; then
  echo "$zip_path: Lumora.exe data/ readme.txt"
  EXTRA_PASSED=$((EXTRA_PASSED + 1))
else
  echo "FAILED: the release package is missing or holds other files"
  EXTRA_FAILED=$((EXTRA_FAILED + 1))
fi

step "tier 1: native unit tests"
CTEST_RESULTS="$BUILD/ctest-results"
rm -rf "$CTEST_RESULTS"; mkdir -p "$CTEST_RESULTS"
(cd "$BUILD/native" && ctest --output-on-failure --timeout 300 --output-junit "$CTEST_RESULTS/native.xml")
NATIVE_RC=$?

step "fuzzing: a short run of each reader's fuzz target"
FUZZ_LOG="$BUILD/fuzz-short.log"
bash "$ROOT/scripts/fuzz.sh" short >"$FUZZ_LOG" 2>&1
FUZZ_RC=$?
cat "$FUZZ_LOG"
fuzz_passed="$(grep -c '^fuzz .*: passed' "$FUZZ_LOG")"
fuzz_failed="$(grep -c '^fuzz .*: FAILED' "$FUZZ_LOG")"
# A build that failed reports no target: it counts as one failure.
[ "$FUZZ_RC" != 0 ] && [ "$fuzz_failed" = 0 ] && fuzz_failed=1
EXTRA_PASSED=$((EXTRA_PASSED + fuzz_passed)) EXTRA_FAILED=$((EXTRA_FAILED + fuzz_failed))

step "tier 2 and 3: Windows unit tests and end-to-end tests under Wine"
RUNDIR="$(mktemp -d /tmp/lumora-test.XXXXXX)"
RUNDIR2="$(mktemp -d /tmp/lumora-test.XXXXXX)"
RUNDIR3="$(mktemp -d /tmp/lumora-test.XXXXXX)"
trap 'lumora_wine_stop; rm -rf "$RUNDIR" "$RUNDIR2" "$RUNDIR3"' EXIT
lumora_wine_start "$RUNDIR" || die "starting Xvfb and Wine failed"
export LUMORA_REPORTS_DIR="$WIN/reports"
# The tests labelled "twomonitors" and "dpi144" need screens of their own (below).
(cd "$WIN" && ctest --output-on-failure --timeout 600 -LE 'twomonitors|dpi144' --output-junit "$CTEST_RESULTS/wine.xml")
WIN_RC=$?
lumora_wine_stop

step "end-to-end tests on two monitors"
LUMORA_MONITORS=2 lumora_wine_start "$RUNDIR2" || die "starting Xvfb and Wine with two monitors failed"
(cd "$WIN" && ctest --output-on-failure --timeout 600 -L twomonitors --output-junit "$CTEST_RESULTS/wine-two-monitors.xml")
[ $? = 0 ] || WIN_RC=1
lumora_wine_stop

step "end-to-end tests at 144 DPI"
LUMORA_DPI=144 lumora_wine_start "$RUNDIR3" || die "starting Xvfb and Wine at 144 DPI failed"
(cd "$WIN" && ctest --output-on-failure --timeout 600 -L dpi144 --output-junit "$CTEST_RESULTS/wine-dpi144.xml")
[ $? = 0 ] || WIN_RC=1
lumora_wine_stop

# Screenshots arrive as BMP; keep PNG copies beside them.
for f in "$WIN"/reports/*.bmp; do
  [ -e "$f" ] && convert "$f" "${f%.bmp}.png" 2>/dev/null && rm -f "$f"
done

step "summary"
echo "tiers 2 and 3 ran $TIERS_RAN"
echo "screenshots: $(ls "$WIN"/reports/*.png 2>/dev/null | tr '\n' ' ')"
# One line per report, a line for each program that crashed or hung (counted
# as one failure), and "N passed, N failed" last.
"$BUILD/native/bin/lumora_test_summary" --passed "$EXTRA_PASSED" --failed "$EXTRA_FAILED" \
  --reports "$BUILD/native/reports" --reports "$WIN/reports" \
  --ctest "$CTEST_RESULTS/native.xml" --ctest "$CTEST_RESULTS/wine.xml" \
  --ctest "$CTEST_RESULTS/wine-two-monitors.xml" --ctest "$CTEST_RESULTS/wine-dpi144.xml"
SUMMARY_RC=$?
if [ "$SUMMARY_RC" -gt 1 ]; then
  # The reader itself failed: the run cannot count as passed.
  echo "test-all: reading the test reports failed"
  echo "$EXTRA_PASSED passed, $((EXTRA_FAILED + 1)) failed"
fi
[ "$SUMMARY_RC" = 0 ] && [ "$NATIVE_RC" = 0 ] && [ "$WIN_RC" = 0 ]
