#include "editing/prop_layout.h"

#include "window/launcher_layout.h"

namespace lumora {

int PropLayout::Scale(int designed) const { return LauncherLayout(dpi_).Scale(designed); }

Rect PropLayout::Scale(const Rect& designed) const {
  return Rect{Scale(designed.left), Scale(designed.top), Scale(designed.right), Scale(designed.bottom)};
}

}  // namespace lumora
