// The monitor commands on the real screen, run by a probe program of their
// own against a window of this test as the hotkeys run them. The TwoMonitors
// cases need the two-monitor test screen (LUMORA_MONITORS=2 in
// scripts/wine-env.sh): a primary monitor (0,0) 1920x1080 with a 40-pixel
// taskbar and a secondary (1920,0) 1280x1024 without one. The OneMonitor cases
// need the ordinary one-monitor screen.
#include <gtest/gtest.h>

#include <windows.h>

#include <optional>
#include <ostream>
#include <stdexcept>
#include <string>
#include <vector>

#include "driver/driver.h"
#include "window/monitors_win.h"

namespace lumora {
// Readable rectangles and points in failure messages.
inline void PrintTo(const Rect& r, std::ostream* os) {
  *os << "(" << r.left << "," << r.top << ")-(" << r.right << "," << r.bottom << ")";
}
inline void PrintTo(const Point& p, std::ostream* os) { *os << "(" << p.x << "," << p.y << ")"; }
}  // namespace lumora

namespace lumora::e2e {
namespace {

constexpr wchar_t kClassName[] = L"LumoraMonitorTestWindow";

Rect FromRect(const RECT& r) {
  return {static_cast<int>(r.left), static_cast<int>(r.top), static_cast<int>(r.right), static_cast<int>(r.bottom)};
}
Rect At(int x, int y, int w, int h) { return {x, y, x + w, y + h}; }
Point Cursor() {
  const POINT p = CursorPosition();
  return {static_cast<int>(p.x), static_cast<int>(p.y)};
}

// A framed top-level window of this test with a list box filling most of its
// client area, so the point under the cursor is a child window and the move
// has to climb to the top-level one.
class FramedWindow {
 public:
  explicit FramedWindow(const Rect& rect) {
    static const bool registered = [] {
      WNDCLASSW windowClass{};
      windowClass.lpfnWndProc = DefWindowProcW;
      windowClass.hInstance = GetModuleHandleW(nullptr);
      windowClass.hCursor = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
      windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
      windowClass.lpszClassName = kClassName;
      return RegisterClassW(&windowClass) != 0;
    }();
    if (!registered) throw std::runtime_error("cannot register the monitor test window class");
    window_ = CreateWindowExW(WS_EX_TOPMOST, kClassName, L"monitor test", WS_OVERLAPPEDWINDOW, rect.left, rect.top,
                              rect.Width(), rect.Height(), nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
    if (!window_) throw std::runtime_error("cannot create the monitor test window");
    RECT client{};
    GetClientRect(window_, &client);
    list_ = CreateWindowExW(0, L"LISTBOX", L"", WS_CHILD | WS_VISIBLE | WS_BORDER | LBS_NOINTEGRALHEIGHT, 10, 10,
                            client.right - 20, client.bottom - 20, window_, nullptr, GetModuleHandleW(nullptr), nullptr);
    ShowWindow(window_, SW_SHOWNORMAL);
    UpdateWindow(window_);
    PumpMessages();
  }
  ~FramedWindow() {
    if (window_) DestroyWindow(window_);
  }
  FramedWindow(const FramedWindow&) = delete;
  FramedWindow& operator=(const FramedWindow&) = delete;

  HWND Get() const { return window_; }
  HWND List() const { return list_; }
  Rect Bounds() const { return FromRect(WindowRectOf(window_)); }
  // The cursor over the middle of the list box.
  void PointAt() const { MoveMouse(CenterOf(WindowRectOf(list_))); }

 private:
  HWND window_ = nullptr;
  HWND list_ = nullptr;
};

// A top-level window of one of the shell's own classes, as Windows has them
// under the cursor: the desktop behind the icons ("Progman", "WorkerW") and
// the taskbars ("Shell_TrayWnd", "Shell_SecondaryTrayWnd"). Like the real
// ones it is a frameless popup with a child filling it (the icon view, the
// task buttons), so the move has to climb to it.
class ShellClassWindow {
 public:
  ShellClassWindow(const wchar_t* className, const Rect& rect) {
    WNDCLASSW windowClass{};
    windowClass.lpfnWndProc = DefWindowProcW;
    windowClass.hInstance = GetModuleHandleW(nullptr);
    windowClass.hCursor = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_DESKTOP + 1);
    windowClass.lpszClassName = className;
    if (!RegisterClassW(&windowClass) && GetLastError() != ERROR_CLASS_ALREADY_EXISTS) {
      throw std::runtime_error("cannot register a shell class window");
    }
    window_ = CreateWindowExW(WS_EX_TOPMOST | WS_EX_TOOLWINDOW, className, L"", WS_POPUP, rect.left, rect.top,
                              rect.Width(), rect.Height(), nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
    if (!window_) throw std::runtime_error("cannot create a shell class window");
    child_ = CreateWindowExW(0, L"LISTBOX", L"", WS_CHILD | WS_VISIBLE | LBS_NOINTEGRALHEIGHT, 0, 0, rect.Width(),
                             rect.Height(), window_, nullptr, GetModuleHandleW(nullptr), nullptr);
    ShowWindow(window_, SW_SHOWNOACTIVATE);
    UpdateWindow(window_);
    PumpMessages();
  }
  ~ShellClassWindow() {
    if (window_) DestroyWindow(window_);
  }
  ShellClassWindow(const ShellClassWindow&) = delete;
  ShellClassWindow& operator=(const ShellClassWindow&) = delete;

  HWND Get() const { return window_; }
  HWND Child() const { return child_; }
  Rect Bounds() const { return FromRect(WindowRectOf(window_)); }
  void PointAt() const { MoveMouse(CenterOf(WindowRectOf(window_))); }

 private:
  HWND window_ = nullptr;
  HWND child_ = nullptr;
};

// Runs the probe with one command and waits for it to end, dispatching this
// thread's messages meanwhile (the probe moves a window of this thread).
void RunProbe(const wchar_t* command) {
  // A pointer move of the test (PointAt) reaches this thread's windows as X
  // events, and Wine sets the cursor where such an event says: read them
  // now, so that none lands after the probe's own move and puts it back.
  PumpFor(100ms);
  LumoraProcess probe = LumoraProcess::Start(WindowsPathFromAnyPath(LUMORA_MONITOR_PROBE), L"", command);
  const std::optional<DWORD> code = probe.WaitForExit(20s);
  ASSERT_TRUE(code.has_value()) << "the probe did not end";
  EXPECT_EQ(*code, 0u) << "the probe did not know the command";
  PumpFor(100ms);
}

BOOL CALLBACK CollectHandle(HMONITOR monitor, HDC, LPRECT, LPARAM data) {
  try {
    reinterpret_cast<std::vector<HMONITOR>*>(data)->push_back(monitor);
    return TRUE;
  } catch (...) {
    return FALSE;
  }
}

std::vector<HMONITOR> MonitorHandles() {
  std::vector<HMONITOR> handles;
  EnumDisplayMonitors(nullptr, nullptr, CollectHandle, reinterpret_cast<LPARAM>(&handles));
  return handles;
}

const Rect kPrimaryBounds{0, 0, 1920, 1080};
const Rect kPrimaryWork{0, 0, 1920, 1040};
const Rect kSecondaryBounds{1920, 0, 3200, 1024};
const Point kPrimaryCenter{960, 540};
const Point kSecondaryCenter{2560, 512};

class TwoMonitors : public ::testing::Test {
 protected:
  void SetUp() override {
    monitors = ListMonitors();
    ASSERT_EQ(monitors.size(), 2u) << "this test needs the two-monitor screen (LUMORA_MONITORS=2)";
  }
  std::vector<MonitorInfo> monitors;
};

TEST_F(TwoMonitors, ThePlatformListsTheTestScreensMonitorsInOrder) {
  EXPECT_EQ(monitors[0].bounds, kPrimaryBounds);
  EXPECT_EQ(monitors[0].workArea, kPrimaryWork);
  EXPECT_EQ(monitors[0].number, 0);
  EXPECT_EQ(monitors[1].bounds, kSecondaryBounds);
  EXPECT_EQ(monitors[1].workArea, kSecondaryBounds);
  EXPECT_EQ(monitors[1].number, 1);
  EXPECT_TRUE(HasMultipleMonitors());
}

TEST_F(TwoMonitors, NearestMonitorAgreesWithThePlatformInsideAndOutside) {
  const std::vector<HMONITOR> handles = MonitorHandles();
  ASSERT_EQ(handles.size(), monitors.size());
  int compared = 0;
  std::vector<POINT> points;
  for (int y = -150; y <= 1250; y += 50) {
    for (int x = -150; x <= 3350; x += 50) points.push_back({x, y});
  }
  // Around the corner where the secondary ends above the primary's bottom edge.
  for (int y = 1015; y <= 1110; ++y) {
    for (int x = 1900; x <= 2010; x += 3) points.push_back({x, y});
  }
  for (const POINT p : points) {
    const HMONITOR platform = MonitorFromPoint(p, MONITOR_DEFAULTTONEAREST);
    const int ours = NearestMonitorIndex(monitors, {static_cast<int>(p.x), static_cast<int>(p.y)});
    ASSERT_GE(ours, 0);
    EXPECT_EQ(handles[static_cast<std::size_t>(ours)], platform) << "at (" << p.x << "," << p.y << ")";
    ++compared;
  }
  EXPECT_EQ(compared, static_cast<int>(points.size()));
}

TEST_F(TwoMonitors, AWindowMovesToTheNextMonitorKeepingItsOffsetAndShareOfTheWorkArea) {
  FramedWindow window(At(100, 100, 960, 520));
  ASSERT_EQ(window.Bounds(), At(100, 100, 960, 520));
  window.PointAt();
  RunProbe(L"move-window");
  // 1280 * 960/1920 = 640 wide, 1024 * 520/1040 = 512 high, 100 from the secondary's corner.
  EXPECT_EQ(window.Bounds(), At(2020, 100, 640, 512));
  EXPECT_EQ(Cursor(), kSecondaryCenter);
  EXPECT_TRUE(IsWindowVisible(window.Get()));

  // The cursor is over the secondary's middle, which the window now covers:
  // the next move takes it back to where it was.
  ASSERT_EQ(WindowFromPoint(POINT{kSecondaryCenter.x, kSecondaryCenter.y}), window.List());
  RunProbe(L"move-window");
  EXPECT_EQ(window.Bounds(), At(100, 100, 960, 520));
  EXPECT_EQ(Cursor(), kPrimaryCenter);
}

TEST_F(TwoMonitors, AWindowPassingTheRightEdgeTakesTheWholeWidth) {
  FramedWindow window(At(1000, 100, 960, 520));
  window.PointAt();
  RunProbe(L"move-window");
  // 2920 + 640 would pass 3200: the window starts at the secondary's left edge, 1280 wide.
  EXPECT_EQ(window.Bounds(), At(1920, 100, 1280, 512));
  EXPECT_EQ(Cursor(), kSecondaryCenter);
}

TEST_F(TwoMonitors, OnlyTheWindowUnderTheCursorMoves) {
  FramedWindow left(At(50, 50, 500, 300));
  FramedWindow right(At(700, 300, 600, 400));
  right.PointAt();
  RunProbe(L"move-window");
  EXPECT_EQ(left.Bounds(), At(50, 50, 500, 300));
  EXPECT_EQ(right.Bounds(), At(2620, 300, 400, 393));  // 1280*600/1920, 1024*400/1040 = 393.8
}

TEST_F(TwoMonitors, AMaximisedWindowIsRestoredAndPlacedFromItsMaximisedRectangle) {
  FramedWindow window(At(100, 100, 960, 520));
  ShowWindow(window.Get(), SW_MAXIMIZE);
  PumpMessages();
  ASSERT_TRUE(IsZoomed(window.Get()));
  const Rect maximised = window.Bounds();
  ASSERT_GE(maximised.Width(), kPrimaryWork.Width()) << "not maximised on the primary";
  window.PointAt();
  RunProbe(L"move-window");
  EXPECT_FALSE(IsZoomed(window.Get())) << "the window is still maximised";
  // Its maximised size is at least the primary's work area, so on the
  // secondary it fills the whole monitor in both directions.
  EXPECT_EQ(window.Bounds(), kSecondaryBounds);
  EXPECT_EQ(Cursor(), kSecondaryCenter);
}

TEST_F(TwoMonitors, TheShellsDesktopAndTaskbarsUnderTheCursorStayWhereTheyAre) {
  struct Case {
    const wchar_t* className;
    const char* name;
    Rect rect;
  };
  const Case cases[] = {
      {L"Progman", "Progman", kPrimaryBounds},
      {L"WorkerW", "WorkerW", kPrimaryBounds},
      {L"WorkerW", "WorkerW over both monitors", Rect{0, 0, 3200, 1080}},
      {L"Shell_TrayWnd", "Shell_TrayWnd", Rect{0, 1040, 1920, 1080}},
      {L"Shell_SecondaryTrayWnd", "Shell_SecondaryTrayWnd", Rect{1920, 984, 3200, 1024}},
      // a desktop of the size of an ordinary window, which the move would place
      {L"WorkerW", "a small WorkerW", At(100, 100, 960, 520)},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    ShellClassWindow shell(c.className, c.rect);
    ASSERT_EQ(shell.Bounds(), c.rect);
    shell.PointAt();
    const Point cursor = Cursor();
    ASSERT_EQ(WindowFromPoint(POINT{cursor.x, cursor.y}), shell.Child());
    RunProbe(L"move-window");
    EXPECT_EQ(shell.Bounds(), c.rect);
    EXPECT_EQ(Cursor(), cursor);
  }

  // An ordinary window in the same place still moves.
  FramedWindow window(At(100, 100, 960, 520));
  window.PointAt();
  RunProbe(L"move-window");
  EXPECT_EQ(window.Bounds(), At(2020, 100, 640, 512));
  EXPECT_EQ(Cursor(), kSecondaryCenter);
}

TEST_F(TwoMonitors, TheCursorVisitsTheMonitorsInListOrderAndWraps) {
  MoveMouse({300, 200});
  std::vector<Point> visited;
  for (int i = 0; i < 4; ++i) {
    RunProbe(L"center-cursor-next");
    visited.push_back(Cursor());
  }
  EXPECT_EQ(visited, (std::vector<Point>{kSecondaryCenter, kPrimaryCenter, kSecondaryCenter, kPrimaryCenter}));

  // From the primary's taskbar, and from beyond the secondary's lower edge
  // (nearest to the secondary).
  MoveMouse({1000, 1060});
  RunProbe(L"center-cursor-next");
  EXPECT_EQ(Cursor(), kSecondaryCenter);
  MoveMouse({3100, 1060});
  RunProbe(L"center-cursor-next");
  EXPECT_EQ(Cursor(), kPrimaryCenter);
}

class OneMonitor : public ::testing::Test {
 protected:
  void SetUp() override {
    monitors = ListMonitors();
    ASSERT_EQ(monitors.size(), 1u) << "this test needs the one-monitor screen";
  }
  std::vector<MonitorInfo> monitors;
};

TEST_F(OneMonitor, TheMonitorCommandsLeaveTheWindowAndTheCursorAlone) {
  EXPECT_FALSE(HasMultipleMonitors());
  FramedWindow window(At(100, 100, 960, 520));
  window.PointAt();
  const Point cursor = Cursor();
  RunProbe(L"move-window");
  EXPECT_EQ(window.Bounds(), At(100, 100, 960, 520));
  EXPECT_EQ(Cursor(), cursor);
  RunProbe(L"center-cursor-next");
  EXPECT_EQ(Cursor(), cursor);
}

}  // namespace
}  // namespace lumora::e2e
