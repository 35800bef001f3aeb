// The monitor hotkeys of the real program on the two-monitor test screen
// (LUMORA_MONITORS=2 in scripts/wine-env.sh: a primary monitor (0,0)
// 1920x1080 with a 40-pixel taskbar, a secondary (1920,0) 1280x1024 without
// one), pressed as a user presses them: the move-cursor key visits the
// monitors in order and wraps, the move-window key takes the window under the
// cursor to the next monitor.
#include <gtest/gtest.h>

#include <windows.h>

#include <cstdio>
#include <stdexcept>
#include <string>
#include <vector>

#include "lumora_test.h"

namespace lumora::e2e {
namespace {

constexpr wchar_t kClassName[] = L"LumoraHotKeyMonitorTestWindow";
constexpr POINT kPrimaryCenter{960, 540};
constexpr POINT kSecondaryCenter{2560, 512};

bool Same(POINT a, POINT b) { return a.x == b.x && a.y == b.y; }
bool Same(const RECT& a, const RECT& b) {
  return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}
std::string Describe(const RECT& r) {
  char text[64];
  std::snprintf(text, sizeof text, "(%ld,%ld) %ldx%ld", static_cast<long>(r.left), static_cast<long>(r.top),
                static_cast<long>(r.right - r.left), static_cast<long>(r.bottom - r.top));
  return text;
}
std::string Describe(POINT p) {
  char text[32];
  std::snprintf(text, sizeof text, "(%ld,%ld)", static_cast<long>(p.x), static_cast<long>(p.y));
  return text;
}

// A framed top-level window of this test process.
class TestWindow {
 public:
  TestWindow(int x, int y, int width, int height) {
    static const bool registered = [] {
      WNDCLASSW windowClass{};
      windowClass.lpfnWndProc = DefWindowProcW;
      windowClass.hInstance = GetModuleHandleW(nullptr);
      windowClass.hCursor = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
      windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
      windowClass.lpszClassName = kClassName;
      return RegisterClassW(&windowClass) != 0;
    }();
    if (!registered) throw std::runtime_error("cannot register the test window class");
    window_ = CreateWindowExW(WS_EX_TOPMOST, kClassName, L"hotkey monitor test", WS_OVERLAPPEDWINDOW, x, y, width,
                              height, nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
    if (!window_) throw std::runtime_error("cannot create the test window");
    ShowWindow(window_, SW_SHOWNORMAL);
    UpdateWindow(window_);
    PumpMessages();
  }
  ~TestWindow() { DestroyWindow(window_); }
  TestWindow(const TestWindow&) = delete;
  TestWindow& operator=(const TestWindow&) = delete;

  HWND Get() const { return window_; }

 private:
  HWND window_ = nullptr;
};

RECT At(int x, int y, int width, int height) { return RECT{x, y, x + width, y + height}; }

class TwoMonitorHotKeys : public LumoraTest {
 protected:
  void SetUp() override {
    ASSERT_EQ(GetSystemMetrics(SM_CMONITORS), 2) << "this test needs the two-monitor screen (LUMORA_MONITORS=2)";
    folder.WriteSettings(std::string(kInstalledSettings) +
                         "[hotkey]\r\nmovecur=Ctrl+Alt+F10\r\nmovewin=Ctrl+Alt+F12\r\n");
    lumora = StartLumora();
    ASSERT_NE(WaitForLauncher(lumora), nullptr) << "no launcher window";
    ASSERT_TRUE(lumora.WaitForIdle());
  }
  ~TwoMonitorHotKeys() override { lumora.Kill(); }

  // Presses the move-cursor key; the cursor position once it moved away
  // from where it was (or where it still is after the timeout).
  static POINT MoveCursorByKey() {
    const POINT before = CursorPosition();
    PressKey(VK_F10, kCtrl | kAlt);
    WaitUntil([&] { return !Same(CursorPosition(), before); }, 3s);
    return CursorPosition();
  }

  LumoraProcess lumora;
};

TEST_F(TwoMonitorHotKeys, TheMoveCursorKeyVisitsTheMonitorsInOrderAndWraps) {
  MoveMouse({300, 200});
  std::vector<std::string> visited;
  for (int i = 0; i < 4; ++i) visited.push_back(Describe(MoveCursorByKey()));
  const std::string primary = Describe(kPrimaryCenter);
  const std::string secondary = Describe(kSecondaryCenter);
  EXPECT_EQ(visited, (std::vector<std::string>{secondary, primary, secondary, primary}));
}

TEST_F(TwoMonitorHotKeys, TheMoveWindowKeyTakesTheWindowUnderTheCursorToTheNextMonitor) {
  TestWindow window(100, 100, 960, 520);
  ASSERT_TRUE(Same(WindowRectOf(window.Get()), At(100, 100, 960, 520))) << Describe(WindowRectOf(window.Get()));
  MoveMouse(CenterOf(WindowRectOf(window.Get())));

  PressKey(VK_F12, kCtrl | kAlt);
  // The program moves a window of this thread: the wait dispatches its messages.
  const RECT expected = At(2020, 100, 640, 512);
  EXPECT_TRUE(WaitUntil([&] { return Same(WindowRectOf(window.Get()), expected); }, 5s))
      << "the window is at " << Describe(WindowRectOf(window.Get()));
  EXPECT_TRUE(WaitUntil([&] { return Same(CursorPosition(), kSecondaryCenter); }, 3s))
      << "the cursor is at " << Describe(CursorPosition());

  // From the secondary's middle, under which the window now lies, it goes back.
  PressKey(VK_F12, kCtrl | kAlt);
  EXPECT_TRUE(WaitUntil([&] { return Same(WindowRectOf(window.Get()), At(100, 100, 960, 520)); }, 5s))
      << "the window is at " << Describe(WindowRectOf(window.Get()));
  EXPECT_TRUE(WaitUntil([&] { return Same(CursorPosition(), kPrimaryCenter); }, 3s))
      << "the cursor is at " << Describe(CursorPosition());
  EXPECT_TRUE(lumora.IsRunning());
}

}  // namespace
}  // namespace lumora::e2e
