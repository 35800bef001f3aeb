// Where the launcher window comes up: its left edge at the cursor and its
// middle at the cursor's height, kept inside the primary work area on the
// right, at the bottom and at the top (not on the left).
#pragma once

#include "window/geometry.h"

namespace lumora {

// The top-left corner for a window of width x height shown at cursor.
Point PlaceLauncher(Point cursor, int width, int height, const Rect& workArea);

}  // namespace lumora
