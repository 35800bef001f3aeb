// The shell's icons of files and folders, and icons turned into the pixels
// of the icon cache. Every function here may run on any thread; the shell
// calls need COM on the calling thread.
#pragma once

#include <windows.h>

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "icons/icon_cache.h"
#include "platform/handles_win.h"

namespace lumora {

// The shell's small icon of a file or folder (SHGetFileInfoA with
// SHGFI_ICON | SHGFI_SMALLICON); empty when the shell supplies none.
platform::IconHandle GetFileIcon(const std::string& path);

// The icon drawn through its mask at (0, 0) on a white 16x16 cell.
IconPixels IconOnWhite(HICON icon);
// The header of a square bitmap of side pixels, top row first, uncompressed.
BITMAPINFO SquareTopDownBitmap(int side, WORD bitCount);

// The icon of an entry's target as the cache keeps it: the shell's icon on
// white when the target names an existing file or folder and the shell has
// an icon for it; nothing otherwise (the entry then shows the default icon).
std::optional<IconPixels> LookUpTargetIcon(const std::string& target);

// The icon drawn through its mask on a white cell of size pixels square:
// size rows of size 32-bit pixels (0x00RRGGBB), top row first.
std::vector<std::uint32_t> IconOnWhiteAt(HICON icon, int size);

// LookUpTargetIcon at size pixels square, for rows above 96 DPI: the icon
// the shell names for the target (SHGFI_ICONLOCATION) extracted at that
// size, or else the shell's large icon scaled to it.
std::optional<std::vector<std::uint32_t>> LookUpTargetIconAt(const std::string& target, int size);

}  // namespace lumora
