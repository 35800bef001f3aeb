// The launcher window of the real program on a 144-DPI screen
// (LUMORA_DPI=144 in scripts/wine-env.sh; test label "dpi144"): its sizes
// are the 96-DPI ones times 1.5 (214 pixels wide, the stored height 300 shown
// 450 high, list rows 18 pixels high shown 27), the placement at the cursor
// works on the scaled size, and the settings file keeps 96-DPI units.
#include <gtest/gtest.h>

#include <windows.h>

#include <cstdio>
#include <string>

#include "launcher_fixture.h"

namespace lumora::e2e {
namespace {

constexpr int kScreenDpi = 144;
constexpr int kWidth = 321;        // 214 at 96 DPI
constexpr int kHeight = 450;       // [frmLumora] Height=300
constexpr int kItemHeight = 27;    // 18 at 96 DPI
constexpr std::string_view kHeightSetting = "[frmLumora]\r\nHeight=300\r\n";

std::string Describe(const RECT& r) {
  char text[64];
  std::snprintf(text, sizeof text, "(%ld,%ld) %ldx%ld", static_cast<long>(r.left), static_cast<long>(r.top),
                static_cast<long>(r.right - r.left), static_cast<long>(r.bottom - r.top));
  return text;
}

class Dpi144 : public LauncherTest {
 protected:
  void SetUp() override {
    // Sizes in screen pixels, as the system-aware program sees them.
    SetProcessDPIAware();
    const HDC screen = GetDC(nullptr);
    const int dpi = GetDeviceCaps(screen, LOGPIXELSY);
    ReleaseDC(nullptr, screen);
    ASSERT_EQ(dpi, kScreenDpi) << "these tests need the 144-DPI screen (LUMORA_DPI=144 in scripts/wine-env.sh)";
    WriteList({{"1", "メモ帳", "C:\\windows\\notepad.exe", "1", "2026/1/10 9:00:00"},
               {"2", "calc", "C:\\windows\\system32\\calc.exe", "", "2026/12/7 13:05:09"}});
  }
};

TEST_F(Dpi144, TheWindowAndItsRowsAreScaledAndTheStoredHeightStaysIn96DpiUnits) {
  ASSERT_TRUE(Start(kHeightSetting));
  const POINT middle = MiddleOfWorkArea();
  ASSERT_TRUE(ShowAt(middle));
  const RECT shown = WindowRectOf(launcher);
  EXPECT_EQ(shown.right - shown.left, kWidth) << Describe(shown);
  EXPECT_EQ(shown.bottom - shown.top, kHeight) << Describe(shown);
  // Left edge at the cursor, vertical middle at the cursor.
  EXPECT_EQ(shown.left, middle.x) << Describe(shown);
  EXPECT_EQ(shown.top, middle.y - kHeight / 2) << Describe(shown);
  EXPECT_EQ(Send(list, LB_GETITEMHEIGHT, 0, 0), kItemHeight);

  ASSERT_TRUE(HideByTrayClick());
  EXPECT_EQ(SettingsValue(L"frmLumora", L"Height"), "300");
}

// The cursor points lie where the scaled window crosses the work area's edge
// and the 96-DPI one would not: only the scaled size moves the window.
TEST_F(Dpi144, ThePlacementAtTheCursorKeepsTheScaledWindowInsideTheWorkArea) {
  ASSERT_TRUE(Start(kHeightSetting));
  const RECT area = WorkArea();
  const POINT middle = MiddleOfWorkArea();

  // Near the right edge: the right edge lies on the work area's right edge.
  const POINT right{area.right - 250, middle.y};
  auto rect = RectShownAt(right);
  ASSERT_TRUE(rect.has_value());
  EXPECT_EQ(rect->right, area.right) << Describe(*rect);
  EXPECT_EQ(rect->right - rect->left, kWidth) << Describe(*rect);
  EXPECT_EQ(rect->top, right.y - kHeight / 2) << Describe(*rect);

  // Near the bottom: the bottom edge lies on the work area's bottom edge.
  const POINT bottom{middle.x, area.bottom - 200};
  rect = RectShownAt(bottom);
  ASSERT_TRUE(rect.has_value());
  EXPECT_EQ(rect->bottom, area.bottom) << Describe(*rect);
  EXPECT_EQ(rect->bottom - rect->top, kHeight) << Describe(*rect);
  EXPECT_EQ(rect->left, bottom.x) << Describe(*rect);

  // Near the top: the top edge lies on the work area's top edge.
  const POINT top{middle.x, area.top + 200};
  rect = RectShownAt(top);
  ASSERT_TRUE(rect.has_value());
  EXPECT_EQ(rect->top, area.top) << Describe(*rect);
  EXPECT_EQ(rect->bottom - rect->top, kHeight) << Describe(*rect);
}

}  // namespace
}  // namespace lumora::e2e
