#include "window/launcher_layout.h"

#include <algorithm>
#include <cstdint>

namespace lumora {
namespace {

// value * numerator / denominator, rounded half away from zero.
int MulDivRounded(int value, int numerator, int denominator) {
  const std::int64_t product = static_cast<std::int64_t>(value) * numerator;
  const std::int64_t half = denominator / 2;
  const std::int64_t result = product >= 0 ? (product + half) / denominator : -((-product + half) / denominator);
  return static_cast<int>(std::clamp<std::int64_t>(result, INT32_MIN, INT32_MAX));
}

}  // namespace

int LauncherLayout::Scale(int designed) const { return MulDivRounded(designed, dpi_, kDesignDpi); }

int LauncherLayout::Designed(int pixels) const { return MulDivRounded(pixels, kDesignDpi, dpi_); }

int LauncherLayout::UsableWindowHeight(int wanted, int frameHeight, int workAreaHeight) const {
  const int least = MinimumClientHeight() + std::max(0, frameHeight);
  return std::max(least, std::min(wanted, workAreaHeight));
}

Rect LauncherLayout::ListBounds(int clientWidth, int clientHeight) const {
  const int panel = Scale(kPanelHeight);
  return Rect{0, 0, clientWidth, std::max(0, clientHeight - panel)};
}

Rect LauncherLayout::PanelBounds(int clientWidth, int clientHeight) const {
  const int top = ListBounds(clientWidth, clientHeight).bottom;
  return Rect{0, top, clientWidth, top + Scale(kPanelHeight)};
}

Rect LauncherLayout::CommandBounds(int panelWidth) const {
  const int width = std::max(0, panelWidth - Scale(kButtonSize) - Scale(4));
  return Rect{0, 0, width, Scale(kCommandHeight)};
}

Rect LauncherLayout::ButtonBounds(int panelWidth) const {
  const int left = CommandBounds(panelWidth).right + Scale(2);
  const int top = Scale(kButtonTop);
  return Rect{left, top, left + Scale(kButtonSize), top + Scale(kButtonSize)};
}

}  // namespace lumora
