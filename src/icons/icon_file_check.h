// Whether the bytes of an icon file (.ico) hold together before the system's
// icon loader sees them: the loader trusts the sizes a file claims, and a
// file that claims a huge image ends the program inside it.
#pragma once

#include <string_view>

namespace lumora {

// True when the file has an icon header (reserved 0, type 1, at least one
// image) and every image its directory names lies inside the file and has a
// sound image header: a PNG image with a width and height of 1 to 256, or a
// bitmap header with a width of 1 to 256, a height (the image and its mask)
// of 1 to 512, one plane, a bit count an icon can have, no compression but
// bit fields, and its colour table, pixels and mask inside the image's bytes.
bool IsSoundIconFile(std::string_view bytes);

}  // namespace lumora
