// Monitor arithmetic of the hotkey commands: which monitor is nearest to a
// point, which one comes next, where the cursor goes on a monitor, and where a
// window lands when it moves to the next monitor. Pure functions over a list
// of monitors in the platform's enumeration order.
#pragma once

#include <optional>
#include <vector>

#include "window/geometry.h"

namespace lumora {

struct MonitorInfo {
  Rect bounds;    // the whole monitor
  Rect workArea;  // the monitor less its taskbars
  int number = 0; // identifies the monitor within its list
};

using MonitorList = std::vector<MonitorInfo>;

// The position of the monitor nearest to the point, as the platform's
// MonitorFromPoint with MONITOR_DEFAULTTONEAREST picks it: the first monitor
// whose bounds contain the point; otherwise the one with the smallest squared
// gap between the point's pixel and the monitor's bounds (the point counts as
// the 1x1 rectangle it covers), the first in list order on a tie. -1 for an
// empty list.
int NearestMonitorIndex(const MonitorList& monitors, Point point);

// The position of the monitor after the one nearest to the point, wrapping
// from the last to the first. 0 for fewer than two monitors. The nearest
// monitor is looked up in the list by its number; a number that is not found
// counts as position -1, so the result is then the first monitor.
int NextMonitorIndex(const MonitorList& monitors, Point point);

// The middle of the monitor's bounds (not its work area), integer division.
Point MonitorCenter(const MonitorInfo& monitor);

struct MonitorMove {
  Rect window;      // the window's new rectangle
  int target = 0;   // position of the monitor it lands on
};

// Where a window goes when it moves to the next monitor.
//   windowRect      the window's rectangle on the screen
//   clientTopLeft   the top-left corner of its client area on the screen
// The source monitor is the one nearest to clientTopLeft; the window keeps
// its offset from the source monitor's top-left corner and its size relative
// to the source work area, taken to the monitor after the one nearest to the
// source work area's top-left corner. A window that would pass the target
// monitor's right (bottom) edge fills the monitor's width (height) instead.
// Nothing for fewer than two monitors or a source work area without width or
// height.
std::optional<MonitorMove> PlaceOnNextMonitor(const MonitorList& monitors, const Rect& windowRect,
                                              Point clientTopLeft);

}  // namespace lumora
