#include "editing/memo_layout.h"

#include <algorithm>
#include <cstdint>

namespace lumora {

int MemoLayout::Scale(int designed) const {
  // Rounded half away from zero, as the launcher window's sizes are.
  const std::int64_t product = static_cast<std::int64_t>(designed) * dpi_;
  const std::int64_t half = kDesignDpi / 2;
  const std::int64_t result = product >= 0 ? (product + half) / kDesignDpi : -((-product + half) / kDesignDpi);
  return static_cast<int>(std::clamp<std::int64_t>(result, INT32_MIN, INT32_MAX));
}

Rect MemoLayout::PagesBounds(int clientWidth, int clientHeight) const {
  return Rect{0, 0, std::max(0, clientWidth), std::max(0, clientHeight - Scale(kBackHeight))};
}

Rect MemoLayout::BackBounds(int clientWidth, int clientHeight) const {
  const int top = std::max(0, clientHeight - Scale(kBackHeight));
  return Rect{0, top, std::max(0, clientWidth), std::max(top, clientHeight)};
}

Rect MemoLayout::ButtonPanelBounds(int backWidth, int backHeight) const {
  const int width = Scale(kButtonPanelWidth);
  const int height = Scale(kButtonPanelHeight);
  const int left = (backWidth - width) / 2;  // C++ division rounds toward zero
  const int top = std::max(0, (backHeight - height) / 2);
  return Rect{left, top, left + width, top + height};
}

Rect MemoLayout::ButtonBounds(int index) const {
  const int left = Scale(kButtonLefts[std::clamp(index, 0, 2)]);
  const int top = Scale(kButtonTop);
  return Rect{left, top, left + Scale(kButtonWidth), top + Scale(kButtonHeight)};
}

Rect MemoLayout::AboutBoxBounds() const {
  return Rect{Scale(kAboutBox.left), Scale(kAboutBox.top), Scale(kAboutBox.right), Scale(kAboutBox.bottom)};
}

Point MemoCornerPlace(const Rect& workArea, int width, int height) {
  return Point{workArea.right - width, workArea.bottom - height};
}

}  // namespace lumora
