// The launcher window's sizes: exactly as designed at 96 DPI, scaled and
// rounded at other DPIs, and the stored height read back unchanged.
#include <gtest/gtest.h>

#include "window/launcher_layout.h"

namespace lumora {
namespace {

TEST(LauncherLayoutTest, At96DpiEverySizeIsAsDesigned) {
  const LauncherLayout layout(96);
  EXPECT_EQ(layout.WindowWidth(), 214);
  EXPECT_EQ(layout.WindowHeight(), 201);
  EXPECT_EQ(layout.RowHeight(), 18);
  EXPECT_EQ(layout.FontHeight(), 12);
  EXPECT_EQ(layout.ButtonGlyph(), 16);
  // A client area of 206 x 170: the panel's 22 at the bottom.
  EXPECT_EQ(layout.ListBounds(206, 170), (Rect{0, 0, 206, 148}));
  EXPECT_EQ(layout.PanelBounds(206, 170), (Rect{0, 148, 206, 170}));
  // The command line leaves the button's 18 and 4 more; the button stands 2
  // right of it, 1 below the panel's top.
  EXPECT_EQ(layout.CommandBounds(206), (Rect{0, 0, 184, 20}));
  EXPECT_EQ(layout.ButtonBounds(206), (Rect{186, 1, 204, 19}));
  // Smaller than the panel: no negative sizes.
  EXPECT_EQ(layout.ListBounds(10, 5), (Rect{0, 0, 10, 0}));
  EXPECT_EQ(layout.CommandBounds(10).Width(), 0);
}

TEST(LauncherLayoutTest, OtherDpisScaleAndRoundToTheNearestPixel) {
  const LauncherLayout large(144);
  EXPECT_EQ(large.WindowWidth(), 321);
  EXPECT_EQ(large.WindowHeight(), 302);  // 301.5
  EXPECT_EQ(large.RowHeight(), 27);
  EXPECT_EQ(large.FontHeight(), 18);
  EXPECT_EQ(large.Scale(300), 450);
  EXPECT_EQ(large.PanelBounds(300, 400), (Rect{0, 367, 300, 400}));
  EXPECT_EQ(large.CommandBounds(300), (Rect{0, 0, 267, 30}));  // 300 - 27 - 6
  EXPECT_EQ(large.ButtonBounds(300), (Rect{270, 2, 297, 29}));

  EXPECT_EQ(LauncherLayout(120).Scale(201), 251);  // 251.25
  EXPECT_EQ(LauncherLayout(192).RowHeight(), 36);
  EXPECT_EQ(LauncherLayout(0).Dpi(), 96);  // a DPI the system could not tell
}

TEST(LauncherLayoutTest, AStoredHeightComesBackUnchangedAtAnyDpi) {
  for (int dpi : {96, 120, 144, 168, 192, 240, 288}) {
    const LauncherLayout layout(dpi);
    for (int height : {0, 1, 27, 100, 201, 300, 301, 1079, 4321}) {
      EXPECT_EQ(layout.Designed(layout.Scale(height)), height) << dpi << " " << height;
    }
    EXPECT_EQ(layout.Designed(layout.Scale(-40)), -40) << dpi;
  }
  // Huge values saturate instead of wrapping.
  EXPECT_EQ(LauncherLayout(192).Scale(2147483647), 2147483647);
  EXPECT_EQ(LauncherLayout(192).Scale(-2147483647 - 1), -2147483647 - 1);
}

TEST(LauncherLayoutTest, AStoredHeightOfNoUseGivesTheNearestUsableOne) {
  const LauncherLayout layout(96);
  // The command line, one row and the list's edge: 22 + 18 + 4, plus a
  // frame of 31.
  EXPECT_EQ(layout.MinimumClientHeight(), 44);
  EXPECT_EQ(layout.UsableWindowHeight(300, 31, 1040), 300);
  EXPECT_EQ(layout.UsableWindowHeight(0, 31, 1040), 75);
  EXPECT_EQ(layout.UsableWindowHeight(-5, 31, 1040), 75);
  EXPECT_EQ(layout.UsableWindowHeight(-2147483647 - 1, 31, 1040), 75);
  EXPECT_EQ(layout.UsableWindowHeight(99999, 31, 1040), 1040);
  EXPECT_EQ(layout.UsableWindowHeight(2147483647, 31, 1040), 1040);
  // A work area too low for the minimum: the minimum.
  EXPECT_EQ(layout.UsableWindowHeight(300, 31, 50), 75);
  EXPECT_EQ(LauncherLayout(144).MinimumClientHeight(), 33 + 27 + 6);
}

}  // namespace
}  // namespace lumora
