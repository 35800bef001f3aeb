// The monitor moves on the real screen: the platform's list of monitors, the
// cursor to a monitor's middle, and the window under the cursor to the next
// monitor.
#pragma once

#include <vector>

#include "window/monitors.h"

namespace lumora {

// The display monitors in EnumDisplayMonitors order, each with its bounds and
// work area from GetMonitorInfoW. A monitor's number is its position in that
// order: the list is read afresh for every command, so the position names the
// monitor for as long as the list is used. A monitor whose information cannot
// be read is left out (and does not take a number).
std::vector<MonitorInfo> ListMonitors();

// True when the platform reports two or more monitors.
bool HasMultipleMonitors();

// Moves the mouse cursor to the middle of the monitor's bounds.
void CenterCursorOn(const MonitorInfo& monitor);

// The move-cursor hotkey: with two or more monitors, the cursor goes to the
// middle of the monitor after the one nearest to it; with one, nothing happens.
void MoveCursorToNextMonitor();

// Moves the top-level window under the mouse cursor to the next monitor (see
// PlaceOnNextMonitor), restoring it first when it is maximised or minimised,
// and then the cursor to that monitor's middle. Does nothing with fewer than
// two monitors or without a window under the cursor; the desktop and the
// taskbars (the shell's "Progman", "WorkerW", "Shell_TrayWnd" and
// "Shell_SecondaryTrayWnd" windows) count as none. Never throws: a failing
// step leaves the rest undone.
void MoveWindowToNextMonitor() noexcept;

}  // namespace lumora
