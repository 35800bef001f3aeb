#!/bin/bash
# Builds the release package dist/Lumora-<version>.zip: the 32-bit
# Lumora.exe (stripped), readme.txt when the build put one beside it, and an
# empty "data" folder for the list, at the top of the zip and nothing else.
# The version comes from src/app/version.h; the script checks that the
# program's version resource and its menu caption "Lumora &5" carry it.
# Prints the zip's path and contents.
set -euo pipefail

ROOT="$(cd "$(dirname "$0")/.." && pwd)"
cd "$ROOT"
VERSION="$(sed -n 's/^#define LUMORA_VERSION_TEXT "\(.*\)"$/\1/p' src/app/version.h)"
[ -n "$VERSION" ] || { echo "package: no version in src/app/version.h" >&2; exit 2; }

bash scripts/setup.sh
cmake --preset win-i686 >/dev/null
cmake --build --preset program-i686 -j"$(nproc)" >/dev/null
EXE=build/win-i686/bin/Lumora.exe

# The version resource and the About item, read back from the program.
texts="$(strings -el "$EXE")"
grep -qx "$VERSION" <<<"$texts" || { echo "package: the version resource does not say $VERSION" >&2; exit 1; }
grep -qx 'Lumora &5' <<<"$texts" || { echo "package: the menu item \"Lumora &5\" is missing" >&2; exit 1; }

STAGE="$(mktemp -d)"
trap 'rm -rf "$STAGE"' EXIT
cp "$EXE" "$STAGE/Lumora.exe"
[ -f build/win-i686/bin/readme.txt ] && cp build/win-i686/bin/readme.txt "$STAGE/readme.txt"
mkdir "$STAGE/data"

mkdir -p dist
ZIP="$ROOT/dist/Lumora-$VERSION.zip"
rm -f "$ZIP"
(cd "$STAGE" && zip -q -X -r "$ZIP" Lumora.exe data $( [ -f readme.txt ] && echo readme.txt ))
echo "$ZIP"
unzip -l "$ZIP" | sed -n '4,$p' | head -n -2
