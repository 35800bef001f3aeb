#include "window/launcher_placement.h"

namespace lumora {

Point PlaceLauncher(Point cursor, int width, int height, const Rect& workArea) {
  // The left edge at the cursor, the middle at its height; integer division
  // truncates toward zero, also for a cursor above the primary display.
  int x = cursor.x;
  int y = cursor.y - height / 2;

  // Only the right edge limits x: on a monitor left of the primary display
  // the window opens at the cursor.
  if (workArea.right < x + width) x = workArea.right - width;

  if (workArea.bottom < y + height) {
    y = workArea.bottom - height;
  } else if (y < workArea.top) {
    y = workArea.top;
  }
  return {x, y};
}

}  // namespace lumora
