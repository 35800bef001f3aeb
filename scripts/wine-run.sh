#!/bin/bash
# Runs a Windows program under Wine with the test run's settings: the prefix
# in WINEPREFIX, the Wine loader in LUMORA_WINE (wine for a 32-bit prefix,
# the wine64 loader where the kernel runs no 32-bit code), code page 932.
# The environment comes from lumora_wine_setup in wine-env.sh.
: "${LUMORA_WINE:=wine}"
. "$(dirname "${BASH_SOURCE[0]}")/wine-env.sh"
lumora_wine_setup
exec "$LUMORA_WINE" "$@"
