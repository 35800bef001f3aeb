#include "window/monitors.h"

#include <cstdint>

namespace lumora {
namespace {

// The gap along one axis between the pixel at p and the half-open range
// [low, high): 0 inside, otherwise the number of pixels strictly between.
std::int64_t Gap(int p, int low, int high) {
  const std::int64_t point = p;
  if (point + 1 <= low) return low - (point + 1);
  if (high <= point) return point - high;
  return 0;
}

bool Contains(const Rect& rect, Point p) {
  return p.x >= rect.left && p.x < rect.right && p.y >= rect.top && p.y < rect.bottom;
}

}  // namespace

int NearestMonitorIndex(const MonitorList& monitors, Point point) {
  for (std::size_t i = 0; i < monitors.size(); ++i) {
    if (Contains(monitors[i].bounds, point)) return static_cast<int>(i);
  }
  int nearest = -1;
  std::int64_t best = 0;
  for (std::size_t i = 0; i < monitors.size(); ++i) {
    const Rect& b = monitors[i].bounds;
    const std::int64_t dx = Gap(point.x, b.left, b.right);
    const std::int64_t dy = Gap(point.y, b.top, b.bottom);
    const std::int64_t distance = dx * dx + dy * dy;
    if (nearest < 0 || distance < best) {
      nearest = static_cast<int>(i);
      best = distance;
    }
  }
  return nearest;
}

int NextMonitorIndex(const MonitorList& monitors, Point point) {
  if (monitors.size() < 2) return 0;
  const int nearest = NearestMonitorIndex(monitors, point);
  int position = -1;
  for (std::size_t i = 0; i < monitors.size(); ++i) {
    if (monitors[i].number == monitors[static_cast<std::size_t>(nearest)].number) {
      position = static_cast<int>(i);
      break;
    }
  }
  const int next = position + 1;
  return next >= static_cast<int>(monitors.size()) ? 0 : next;
}

Point MonitorCenter(const MonitorInfo& monitor) {
  const Rect& b = monitor.bounds;
  return {b.left + b.Width() / 2, b.top + b.Height() / 2};
}

std::optional<MonitorMove> PlaceOnNextMonitor(const MonitorList& monitors, const Rect& windowRect,
                                              Point clientTopLeft) {
  if (monitors.size() < 2) return std::nullopt;
  const MonitorInfo& source = monitors[static_cast<std::size_t>(NearestMonitorIndex(monitors, clientTopLeft))];
  const int sourceWorkWidth = source.workArea.Width();
  const int sourceWorkHeight = source.workArea.Height();
  // The ratios divide by the work area; an empty one gives no placement.
  if (sourceWorkWidth == 0 || sourceWorkHeight == 0) return std::nullopt;

  const long long dx = static_cast<long long>(windowRect.left) - source.bounds.left;
  const long long dy = static_cast<long long>(windowRect.top) - source.bounds.top;
  const long double rw = static_cast<long double>(windowRect.Width()) / sourceWorkWidth;
  const long double rh = static_cast<long double>(windowRect.Height()) / sourceWorkHeight;

  const int targetIndex = NextMonitorIndex(monitors, {source.workArea.left, source.workArea.top});
  const MonitorInfo& target = monitors[static_cast<std::size_t>(targetIndex)];
  const Rect& tb = target.bounds;

  long long x = dx + tb.left;
  long long y = dy + tb.top;
  // Conversion to an integer truncates towards zero.
  long long w = static_cast<long long>(target.workArea.Width() * rw);
  long long h = static_cast<long long>(target.workArea.Height() * rh);
  if (x + w > static_cast<long long>(tb.left) + tb.Width()) {
    x = tb.left;
    w = tb.Width();
  }
  if (y + h > static_cast<long long>(tb.top) + tb.Height()) {
    y = tb.top;
    h = tb.Height();
  }
  MonitorMove move;
  move.window = {static_cast<int>(x), static_cast<int>(y), static_cast<int>(x + w), static_cast<int>(y + h)};
  move.target = targetIndex;
  return move;
}

}  // namespace lumora
