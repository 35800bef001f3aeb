#!/bin/bash
# Installs what is needed, builds every tree and runs every test tier:
#   1. native unit tests (AddressSanitizer and UndefinedBehaviorSanitizer)
#   2. Windows unit tests under Wine with code page 932
#   3. end-to-end tests of the real Lumora.exe under Wine in Xvfb
#      (the monitor tests, labelled "twomonitors", on a second screen split
#      into two monitors)
# and ends with the line "N passed, N failed". Exit status 0 only when every
# test passed. Build trees live in build/ of the checkout.
set -uo pipefail

ROOT="$(cd "$(dirname "$0")/.." && pwd)"
cd "$ROOT"
JOBS="$(nproc)"
BUILD="$ROOT/build"
. "$ROOT/scripts/wine-env.sh"

step() { printf '\n=== %s (%ss)\n' "$1" "$SECONDS"; }
die() { echo "test-all: $*" >&2; exit 2; }

step "install"
bash "$ROOT/scripts/setup.sh" || die "installing the packages failed"

step "native build"
rm -rf "$BUILD/native/reports"
cmake -S "$ROOT" -B "$BUILD/native" -DCMAKE_BUILD_TYPE=Debug -DLUMORA_SANITIZE=ON >/dev/null \
  || die "native configure failed"
cmake --build "$BUILD/native" -j"$JOBS" || die "native build failed"

lumora_pick_wine
WIN="$BUILD/win-$LUMORA_WIN_ARCH"
step "Windows build ($LUMORA_WIN_ARCH, tests run under $LUMORA_WINE)"
rm -rf "$WIN/reports"
cmake -S "$ROOT" -B "$WIN" -DCMAKE_BUILD_TYPE=Release \
  -DCMAKE_TOOLCHAIN_FILE="$ROOT/cmake/mingw-$LUMORA_WIN_ARCH.cmake" >/dev/null \
  || die "Windows configure failed"
cmake --build "$WIN" -j"$JOBS" || die "Windows build failed"

# The product is the 32-bit program; where the tests run a 64-bit build, the
# 32-bit one is still built and checked.
PRODUCT="$BUILD/win-i686"
if [ "$LUMORA_WIN_ARCH" != i686 ]; then
  step "32-bit program build"
  cmake -S "$ROOT" -B "$PRODUCT" -DCMAKE_BUILD_TYPE=Release -DLUMORA_TESTS=OFF \
    -DCMAKE_TOOLCHAIN_FILE="$ROOT/cmake/mingw-i686.cmake" >/dev/null || die "32-bit configure failed"
  cmake --build "$PRODUCT" -j"$JOBS" --target Lumora || die "32-bit build failed"
fi

declare -i EXTRA_FAILED=0 EXTRA_PASSED=0

step "32-bit program imports"
imports="$(i686-w64-mingw32-objdump -p "$PRODUCT/bin/Lumora.exe" | awk '/DLL Name/ {print $3}')"
echo "$imports" | tr '\n' ' '; echo
if echo "$imports" | grep -qiE 'libstdc|libgcc|winpthread|mingw'; then
  echo "FAILED: Lumora.exe needs a MinGW runtime DLL"; EXTRA_FAILED+=1
else
  EXTRA_PASSED+=1
fi

step "tier 1: native unit tests"
CTEST_RESULTS="$BUILD/ctest-results"
rm -rf "$CTEST_RESULTS"; mkdir -p "$CTEST_RESULTS"
(cd "$BUILD/native" && ctest --output-on-failure --timeout 300 --output-junit "$CTEST_RESULTS/native.xml")
NATIVE_RC=$?

step "tier 2 and 3: Windows unit tests and end-to-end tests under Wine"
RUNDIR="$(mktemp -d /tmp/lumora-test.XXXXXX)"
RUNDIR2="$(mktemp -d /tmp/lumora-test.XXXXXX)"
trap 'lumora_wine_stop; rm -rf "$RUNDIR" "$RUNDIR2"' EXIT
lumora_wine_start "$RUNDIR" || die "starting Xvfb and Wine failed"
export LUMORA_REPORTS_DIR="$WIN/reports"
# The tests labelled "twomonitors" need a screen of their own (below).
(cd "$WIN" && ctest --output-on-failure --timeout 600 -LE twomonitors --output-junit "$CTEST_RESULTS/wine.xml")
WIN_RC=$?
lumora_wine_stop

step "end-to-end tests on two monitors"
LUMORA_MONITORS=2 lumora_wine_start "$RUNDIR2" || die "starting Xvfb and Wine with two monitors failed"
(cd "$WIN" && ctest --output-on-failure --timeout 600 -L twomonitors --output-junit "$CTEST_RESULTS/wine-two-monitors.xml")
[ $? = 0 ] || WIN_RC=1
lumora_wine_stop

# Screenshots arrive as BMP; keep PNG copies beside them.
for f in "$WIN"/reports/*.bmp; do
  [ -e "$f" ] && convert "$f" "${f%.bmp}.png" 2>/dev/null && rm -f "$f"
done

step "summary"
# GoogleTest writes <testsuites tests="N" failures="F" disabled="D" errors="E" ...>.
declare -i PASSED=$EXTRA_PASSED FAILED=$EXTRA_FAILED
count_reports() {
  local dir="$1" f t fl d e
  for f in "$dir"/*.xml; do
    [ -e "$f" ] || continue
    read -r t fl d e < <(grep -m1 -o '<testsuites [^>]*' "$f" | sed -E \
      's/.* tests="([0-9]+)".* failures="([0-9]+)".* disabled="([0-9]+)".* errors="([0-9]+)".*/\1 \2 \3 \4/')
    echo "  $(basename "$f" .xml): $t tests, $fl failures, $e errors"
    PASSED+=$((t - fl - d - e)); FAILED+=$((fl + e))
  done
}
# A test program that crashed or hung writes no report, or one without the
# failure: ctest's own record of each program counts it once then.
count_crashes() {
  local name report
  for name in $(cat "$CTEST_RESULTS"/*.xml 2>/dev/null |
                grep -o '<testcase name="[^"]*"[^>]*status="fail"' | sed -E 's/<testcase name="([^"]*)".*/\1/'); do
    report="$(ls "$BUILD/native/reports/$name.xml" "$WIN/reports/$name.xml" 2>/dev/null | head -1)"
    if [ -z "$report" ] || grep -m1 -o '<testsuites [^>]*' "$report" | grep -q ' failures="0".* errors="0"'; then
      echo "  $name: crashed or timed out"; FAILED+=1
    fi
  done
}
count_reports "$BUILD/native/reports"
count_reports "$WIN/reports"
count_crashes
echo "screenshots: $(ls "$WIN"/reports/*.png 2>/dev/null | tr '\n' ' ')"
echo "$PASSED passed, $FAILED failed"
[ "$FAILED" = 0 ] && [ "$NATIVE_RC" = 0 ] && [ "$WIN_RC" = 0 ]
