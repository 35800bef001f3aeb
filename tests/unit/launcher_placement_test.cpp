// Where the launcher window comes up: at the cursor, kept inside the primary
// work area on the right, at the bottom and at the top, never on the left.
#include <gtest/gtest.h>

#include "window/launcher_placement.h"

namespace lumora {
namespace {

constexpr int kW = 214;
constexpr int kH = 201;  // odd: the middle is 100 below the top
const Rect kWork{0, 0, 1920, 1040};  // a taskbar of 40 at the bottom

TEST(PlaceLauncherTest, LeftEdgeAndMiddleAtTheCursor) {
  EXPECT_EQ(PlaceLauncher({800, 500}, kW, kH, kWork), (Point{800, 400}));
  EXPECT_EQ(PlaceLauncher({0, 100}, kW, kH, kWork), (Point{0, 0}));
}

TEST(PlaceLauncherTest, RightEdgeKeptInsideTheWorkArea) {
  EXPECT_EQ(PlaceLauncher({1706, 500}, kW, kH, kWork), (Point{1706, 400}));  // touches
  EXPECT_EQ(PlaceLauncher({1707, 500}, kW, kH, kWork), (Point{1706, 400}));
  EXPECT_EQ(PlaceLauncher({1919, 500}, kW, kH, kWork), (Point{1706, 400}));
  // A monitor right of the primary display: the primary's right edge.
  EXPECT_EQ(PlaceLauncher({2500, 300}, kW, kH, kWork), (Point{1706, 200}));
}

TEST(PlaceLauncherTest, NoLimitOnTheLeft) {
  EXPECT_EQ(PlaceLauncher({-1000, 500}, kW, kH, kWork), (Point{-1000, 400}));
  const Rect offset{100, 0, 1920, 1040};  // a task bar on the left
  EXPECT_EQ(PlaceLauncher({20, 500}, kW, kH, offset), (Point{20, 400}));
}

TEST(PlaceLauncherTest, BottomThenTopKeptInsideTheWorkArea) {
  EXPECT_EQ(PlaceLauncher({800, 939}, kW, kH, kWork), (Point{800, 839}));  // touches
  EXPECT_EQ(PlaceLauncher({800, 940}, kW, kH, kWork), (Point{800, 839}));
  EXPECT_EQ(PlaceLauncher({800, 1070}, kW, kH, kWork), (Point{800, 839}));  // on the taskbar
  EXPECT_EQ(PlaceLauncher({800, 99}, kW, kH, kWork), (Point{800, 0}));
  EXPECT_EQ(PlaceLauncher({800, -500}, kW, kH, kWork), (Point{800, 0}));  // a monitor above

  const Rect topBar{0, 40, 1920, 1080};
  EXPECT_EQ(PlaceLauncher({800, 140}, kW, kH, topBar), (Point{800, 40}));
  EXPECT_EQ(PlaceLauncher({800, 141}, kW, kH, topBar), (Point{800, 41}));
  // Taller than the work area: the bottom rule wins, the top is not checked.
  EXPECT_EQ(PlaceLauncher({800, 500}, kW, 1200, topBar), (Point{800, -120}));
  // Right and bottom together: the lower right corner.
  EXPECT_EQ(PlaceLauncher({1900, 1030}, kW, kH, kWork), (Point{1706, 839}));
}

}  // namespace
}  // namespace lumora
