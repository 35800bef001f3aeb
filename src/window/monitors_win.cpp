#include "window/monitors_win.h"

#include <windows.h>

#include <cwchar>
#include <optional>

namespace lumora {
namespace {

Rect FromRect(const RECT& r) {
  return {static_cast<int>(r.left), static_cast<int>(r.top), static_cast<int>(r.right), static_cast<int>(r.bottom)};
}

// EnumDisplayMonitors callback: appends the monitor to the list in data.
// Runs inside a system frame, so nothing may escape it.
BOOL CALLBACK CollectMonitor(HMONITOR monitor, HDC, LPRECT, LPARAM data) {
  try {
    auto& list = *reinterpret_cast<std::vector<MonitorInfo>*>(data);
    MONITORINFO info{};
    info.cbSize = sizeof info;
    if (!GetMonitorInfoW(monitor, &info)) return TRUE;
    MonitorInfo entry;
    entry.bounds = FromRect(info.rcMonitor);
    entry.workArea = FromRect(info.rcWork);
    entry.number = static_cast<int>(list.size());
    list.push_back(entry);
    return TRUE;
  } catch (...) {
    return FALSE;
  }
}

// The shell's own top-level windows: the desktop behind the icons
// ("Progman", "WorkerW") and the taskbars. They are not windows to move.
bool IsShellDesktopOrTaskbar(HWND window) {
  wchar_t name[64] = {};
  if (GetClassNameW(window, name, 64) == 0) return false;
  for (const wchar_t* shell : {L"Progman", L"WorkerW", L"Shell_TrayWnd", L"Shell_SecondaryTrayWnd"}) {
    if (_wcsicmp(name, shell) == 0) return true;
  }
  return false;
}

// The top-level window at the screen point: the window there, then its
// parents up to the last one. Null when there is none, and when the point is
// over the bare desktop or a taskbar, which are not moved.
HWND TopWindowAt(POINT point) {
  HWND window = WindowFromPoint(point);
  if (!window) return nullptr;
  while (HWND parent = GetParent(window)) window = parent;
  if (window == GetDesktopWindow() || IsShellDesktopOrTaskbar(window)) return nullptr;
  return window;
}

void SetCursorTo(Point point) { SetCursorPos(point.x, point.y); }

}  // namespace

std::vector<MonitorInfo> ListMonitors() {
  std::vector<MonitorInfo> monitors;
  EnumDisplayMonitors(nullptr, nullptr, CollectMonitor, reinterpret_cast<LPARAM>(&monitors));
  return monitors;
}

bool HasMultipleMonitors() { return ListMonitors().size() >= 2; }

void CenterCursorOn(const MonitorInfo& monitor) { SetCursorTo(MonitorCenter(monitor)); }

void MoveCursorToNextMonitor() {
  const std::vector<MonitorInfo> monitors = ListMonitors();
  if (monitors.size() < 2) return;
  POINT cursor{};
  if (!GetCursorPos(&cursor)) return;
  const int next = NextMonitorIndex(monitors, {static_cast<int>(cursor.x), static_cast<int>(cursor.y)});
  CenterCursorOn(monitors[static_cast<std::size_t>(next)]);
}

void MoveWindowToNextMonitor() noexcept {
  try {
    const std::vector<MonitorInfo> monitors = ListMonitors();
    if (monitors.size() < 2) return;
    POINT cursor{};
    if (!GetCursorPos(&cursor)) return;
    HWND window = TopWindowAt(cursor);
    if (!window) return;
    WINDOWINFO info{};
    info.cbSize = sizeof info;
    if (!GetWindowInfo(window, &info)) return;
    const std::optional<MonitorMove> move = PlaceOnNextMonitor(
        monitors, FromRect(info.rcWindow), {static_cast<int>(info.rcClient.left), static_cast<int>(info.rcClient.top)});
    if (!move) return;
    const Rect& r = move->window;
    ShowWindow(window, SW_SHOWNORMAL);
    SetWindowPos(window, HWND_TOP, r.left, r.top, r.Width(), r.Height(), SWP_SHOWWINDOW);
    CenterCursorOn(monitors[static_cast<std::size_t>(move->target)]);
  } catch (...) {
    // The move is a convenience: a failure leaves things as they are.
  }
}

}  // namespace lumora
