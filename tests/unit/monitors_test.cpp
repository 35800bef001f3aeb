// Monitor arithmetic: the nearest monitor to a point, the next monitor in list
// order, the cursor's place on a monitor, and where a window lands on the next
// monitor.
#include <gtest/gtest.h>

#include "window/monitors.h"

namespace lumora {
namespace {

// Primary 1920x1080 with a 40-pixel taskbar at the bottom, secondary 1280x1024
// to its right without one.
const MonitorInfo kPrimary{{0, 0, 1920, 1080}, {0, 0, 1920, 1040}, 0};
const MonitorInfo kSecondary{{1920, 0, 3200, 1024}, {1920, 0, 3200, 1024}, 1};
const MonitorList kTwo{kPrimary, kSecondary};

Rect At(int x, int y, int w, int h) { return {x, y, x + w, y + h}; }

// The client area's top-left corner of a window with a small frame and caption.
Point ClientOf(const Rect& window) { return {window.left + 4, window.top + 23}; }

TEST(NearestMonitorTest, TheMonitorThatHoldsThePoint) {
  EXPECT_EQ(NearestMonitorIndex(kTwo, {0, 0}), 0);
  EXPECT_EQ(NearestMonitorIndex(kTwo, {1919, 1079}), 0);
  EXPECT_EQ(NearestMonitorIndex(kTwo, {1919, 1060}), 0);  // in the taskbar: bounds count
  EXPECT_EQ(NearestMonitorIndex(kTwo, {1920, 0}), 1);     // right edges are exclusive
  EXPECT_EQ(NearestMonitorIndex(kTwo, {3199, 1023}), 1);
  EXPECT_EQ(NearestMonitorIndex({}, {0, 0}), -1);
}

TEST(NearestMonitorTest, APointOutsideEveryMonitorTakesTheNearest) {
  EXPECT_EQ(NearestMonitorIndex(kTwo, {-50, -50}), 0);
  EXPECT_EQ(NearestMonitorIndex(kTwo, {3300, 500}), 1);
  EXPECT_EQ(NearestMonitorIndex(kTwo, {3000, 1050}), 1);   // 26 below the secondary
  EXPECT_EQ(NearestMonitorIndex(kTwo, {2500, 2000}), 1);
  EXPECT_EQ(NearestMonitorIndex(kTwo, {1900, 5000}), 0);
  // The gap is measured as a straight line: 60 across and 20 down from the
  // primary is nearer than 76 down from the secondary.
  EXPECT_EQ(NearestMonitorIndex(kTwo, {1980, 1100}), 0);
  // The point is the pixel it covers: at (1976,1080) both gaps are 56 and
  // the first monitor wins the tie; one pixel further right the secondary is nearer.
  EXPECT_EQ(NearestMonitorIndex(kTwo, {1976, 1080}), 0);
  EXPECT_EQ(NearestMonitorIndex(kTwo, {1977, 1080}), 1);
  EXPECT_EQ(NearestMonitorIndex(kTwo, {1976, 1081}), 0);
  EXPECT_EQ(NearestMonitorIndex(kTwo, {1920, 1024}), 0);  // touching both corners: a tie
  // Far away, without overflowing the squared distance.
  EXPECT_EQ(NearestMonitorIndex(kTwo, {2147483000, -2147483000}), 1);
  EXPECT_EQ(NearestMonitorIndex(kTwo, {-2147483000, 2147483000}), 0);
}

// Three monitors in a row, numbered out of list order.
const MonitorList kThree{
    {{0, 0, 1920, 1080}, {0, 0, 1920, 1040}, 7},
    {{1920, 0, 3200, 1024}, {1920, 0, 3200, 1024}, 3},
    {{3200, 0, 4000, 600}, {3200, 0, 4000, 600}, 5},
};

TEST(NextMonitorTest, ThreeMonitorsAreVisitedInListOrderAndWrap) {
  Point cursor{100, 100};
  std::vector<int> visited;
  for (int i = 0; i < 6; ++i) {
    const int next = NextMonitorIndex(kThree, cursor);
    visited.push_back(next);
    cursor = MonitorCenter(kThree[static_cast<std::size_t>(next)]);
  }
  EXPECT_EQ(visited, (std::vector<int>{1, 2, 0, 1, 2, 0}));
  // From a point outside every monitor: after the nearest one.
  EXPECT_EQ(NextMonitorIndex(kThree, {5000, 300}), 0);
  EXPECT_EQ(NextMonitorIndex(kThree, {-10, 2000}), 1);
  EXPECT_EQ(NextMonitorIndex(kThree, {2500, -300}), 2);
}

TEST(NextMonitorTest, FewerThanTwoMonitorsGiveTheFirst) {
  EXPECT_EQ(NextMonitorIndex({}, {0, 0}), 0);
  EXPECT_EQ(NextMonitorIndex({kPrimary}, {100, 100}), 0);
  EXPECT_EQ(NextMonitorIndex({kPrimary}, {5000, 5000}), 0);
  EXPECT_EQ(NextMonitorIndex(kTwo, {100, 100}), 1);
  EXPECT_EQ(NextMonitorIndex(kTwo, {2000, 100}), 0);
}

TEST(MonitorCenterTest, MiddleOfTheBoundsNotTheWorkArea) {
  EXPECT_EQ(MonitorCenter(kPrimary), (Point{960, 540}));
  EXPECT_EQ(MonitorCenter(kSecondary), (Point{2560, 512}));
  const MonitorInfo odd{{-1279, -7, 0, 0}, {-1279, -7, 0, -1}, 0};
  EXPECT_EQ(MonitorCenter(odd), (Point{-1279 + 639, -7 + 3}));
}

TEST(PlaceOnNextMonitorTest, KeepsTheOffsetAndTheShareOfTheWorkArea) {
  const Rect window = At(100, 100, 960, 520);
  const auto move = PlaceOnNextMonitor(kTwo, window, ClientOf(window));
  ASSERT_TRUE(move.has_value());
  EXPECT_EQ(move->window, At(2020, 100, 640, 512));  // 1280 * 960/1920, 1024 * 520/1040
  EXPECT_EQ(move->target, 1);

  // And back: the secondary's half of its work area is half the primary's work area.
  const auto back = PlaceOnNextMonitor(kTwo, move->window, ClientOf(move->window));
  ASSERT_TRUE(back.has_value());
  EXPECT_EQ(back->window, window);
  EXPECT_EQ(back->target, 0);
}

TEST(PlaceOnNextMonitorTest, SizesAreTruncatedTowardsZero) {
  const Rect window = At(10, 20, 1000, 700);
  const auto move = PlaceOnNextMonitor(kTwo, window, ClientOf(window));
  ASSERT_TRUE(move.has_value());
  // 1280 * 1000/1920 = 666.67, 1024 * 700/1040 = 689.23
  EXPECT_EQ(move->window, At(1930, 20, 666, 689));
}

TEST(PlaceOnNextMonitorTest, PassingTheRightEdgeFillsTheTargetWidth) {
  const Rect window = At(1000, 100, 960, 520);  // 2920 + 640 > 3200
  const auto move = PlaceOnNextMonitor(kTwo, window, ClientOf(window));
  ASSERT_TRUE(move.has_value());
  EXPECT_EQ(move->window, At(1920, 100, 1280, 512));
  // Exactly on the edge still fits.
  const Rect edge = At(640, 100, 960, 520);  // 2560 + 640 = 3200
  EXPECT_EQ(PlaceOnNextMonitor(kTwo, edge, ClientOf(edge))->window, At(2560, 100, 640, 512));
}

TEST(PlaceOnNextMonitorTest, PassingTheBottomEdgeFillsTheTargetHeight) {
  const Rect window = At(100, 600, 960, 520);  // 600 + 512 > 1024
  const auto move = PlaceOnNextMonitor(kTwo, window, ClientOf(window));
  ASSERT_TRUE(move.has_value());
  EXPECT_EQ(move->window, At(2020, 0, 640, 1024));
  // Both directions at once fill the whole monitor's bounds.
  const Rect corner = At(1500, 900, 960, 520);
  EXPECT_EQ(PlaceOnNextMonitor(kTwo, corner, ClientOf(corner))->window, kSecondary.bounds);
}

TEST(PlaceOnNextMonitorTest, TheSourceIsTheMonitorOfTheClientArea) {
  // The frame starts on the primary, the client area on the secondary: the
  // window moves from the secondary to the primary, keeping its offset of -10.
  const Rect window = At(1910, 100, 640, 512);
  const auto move = PlaceOnNextMonitor(kTwo, window, {1925, 130});
  ASSERT_TRUE(move.has_value());
  EXPECT_EQ(move->target, 0);
  EXPECT_EQ(move->window, At(-10, 100, 960, 520));
}

TEST(PlaceOnNextMonitorTest, AMonitorOnTheLeftWithNegativeCoordinates) {
  const MonitorInfo left{{-1280, -200, 0, 824}, {-1280, -200, 0, 824}, 1};
  const MonitorList monitors{kPrimary, left};
  const Rect window = At(100, 100, 960, 520);
  const auto move = PlaceOnNextMonitor(monitors, window, ClientOf(window));
  ASSERT_TRUE(move.has_value());
  EXPECT_EQ(move->target, 1);
  EXPECT_EQ(move->window, At(-1180, -100, 640, 512));
  const auto back = PlaceOnNextMonitor(monitors, move->window, ClientOf(move->window));
  ASSERT_TRUE(back.has_value());
  EXPECT_EQ(back->target, 0);
  EXPECT_EQ(back->window, window);
}

TEST(PlaceOnNextMonitorTest, ThreeMonitorsMoveInListOrder) {
  const Rect window = At(100, 100, 960, 520);
  auto move = PlaceOnNextMonitor(kThree, window, ClientOf(window));
  ASSERT_TRUE(move.has_value());
  EXPECT_EQ(move->target, 1);
  move = PlaceOnNextMonitor(kThree, move->window, ClientOf(move->window));
  ASSERT_TRUE(move.has_value());
  EXPECT_EQ(move->target, 2);
  // 800 * 640/1280 = 400 wide, 600 * 512/1024 = 300 high, at offset (100,100).
  EXPECT_EQ(move->window, At(3300, 100, 400, 300));
  move = PlaceOnNextMonitor(kThree, move->window, ClientOf(move->window));
  ASSERT_TRUE(move.has_value());
  EXPECT_EQ(move->target, 0);
}

TEST(PlaceOnNextMonitorTest, NothingWithoutASecondMonitorOrWithAnEmptyWorkArea) {
  const Rect window = At(100, 100, 960, 520);
  EXPECT_FALSE(PlaceOnNextMonitor({}, window, ClientOf(window)).has_value());
  EXPECT_FALSE(PlaceOnNextMonitor({kPrimary}, window, ClientOf(window)).has_value());

  MonitorInfo noWidth = kPrimary;
  noWidth.workArea.right = noWidth.workArea.left;
  EXPECT_FALSE(PlaceOnNextMonitor({noWidth, kSecondary}, window, ClientOf(window)).has_value());
  MonitorInfo noHeight = kPrimary;
  noHeight.workArea.bottom = noHeight.workArea.top;
  EXPECT_FALSE(PlaceOnNextMonitor({noHeight, kSecondary}, window, ClientOf(window)).has_value());

  // An empty work area on the target only gives an empty size.
  MonitorInfo emptyTarget = kSecondary;
  emptyTarget.workArea = {1920, 0, 1920, 0};
  const auto move = PlaceOnNextMonitor({kPrimary, emptyTarget}, window, ClientOf(window));
  ASSERT_TRUE(move.has_value());
  EXPECT_EQ(move->window, At(2020, 100, 0, 0));
}

}  // namespace
}  // namespace lumora
