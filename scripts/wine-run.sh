#!/bin/sh
# Runs a Windows program under Wine with the test run's settings: the prefix
# in WINEPREFIX, the Wine loader in LUMORA_WINE (wine for a 32-bit prefix,
# the wine64 loader where the kernel runs no 32-bit code), code page 932.
: "${LUMORA_WINE:=wine}"
export LANG="${LUMORA_WINE_LANG:-ja_JP.UTF-8}"
export LC_ALL="$LANG"
export WINEDEBUG="${WINEDEBUG:--all}"
export WINEDLLOVERRIDES="${WINEDLLOVERRIDES:-mscoree,mshtml=}"
exec "$LUMORA_WINE" "$@"
