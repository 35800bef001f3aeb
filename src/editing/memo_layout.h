// The memo window's layout: every size of the window as designed for a
// 96-DPI screen, the same scaled for the DPI the window is on, and where the
// window goes in the work area.
//
//   +-------------------------------+  window, 324 x 251 as designed
//   | [Memo][About]                 |  PageControl1 fills the client area
//   | +---------------------------+ |  above the button bar
//   | | memo                      | |
//   | +---------------------------+ |
//   |-------------------------------|  panelBack, 31 high at the bottom,
//   |   [設定(&S)][開く(&O)][閉じる(&C)]  |  panelBtn 249 x 28 centred in it,
//   +-------------------------------+  buttons 73 x 25 at x = 7, 86, 166
#pragma once

#include "window/geometry.h"

namespace lumora {

class MemoLayout {
 public:
  static constexpr int kDesignDpi = 96;

  // Sizes at 96 DPI.
  static constexpr int kWindowWidth = 324;
  static constexpr int kWindowHeight = 251;
  static constexpr int kFontHeight = 12;  // pixels, every font of the window
  static constexpr int kBackHeight = 31;
  static constexpr int kButtonPanelWidth = 249;
  static constexpr int kButtonPanelHeight = 28;
  static constexpr int kButtonWidth = 73;
  static constexpr int kButtonHeight = 25;
  static constexpr int kButtonTop = 1;
  static constexpr int kButtonLefts[3] = {7, 86, 166};
  // The About tab: a framed box at (8, 8), 105 x 49, holding the product name.
  static constexpr Rect kAboutBox{8, 8, 8 + 105, 8 + 49};
  static constexpr int kPageMargin = 4;  // between a tab's frame and its page

  explicit MemoLayout(int dpi = kDesignDpi) : dpi_(dpi > 0 ? dpi : kDesignDpi) {}

  int Dpi() const { return dpi_; }
  // A 96-DPI length in pixels at this DPI, rounded to the nearest pixel.
  int Scale(int designed) const;

  int WindowWidth() const { return Scale(kWindowWidth); }
  int WindowHeight() const { return Scale(kWindowHeight); }
  int FontHeight() const { return Scale(kFontHeight); }

  // The tabs above the bar and the bar along the bottom of a client area of
  // the given size.
  Rect PagesBounds(int clientWidth, int clientHeight) const;
  Rect BackBounds(int clientWidth, int clientHeight) const;
  // panelBtn in panelBack: its left is (panelBack's width - its width) / 2,
  // rounded toward zero (negative when the bar is narrower than the buttons);
  // its top centres it in the bar's height.
  Rect ButtonPanelBounds(int backWidth, int backHeight) const;
  // Button 0, 1 or 2 in panelBtn.
  Rect ButtonBounds(int index) const;
  Rect AboutBoxBounds() const;

 private:
  int dpi_;
};

// The place of a window of the given size whose bottom-right corner sits on
// the work area's bottom-right corner.
Point MemoCornerPlace(const Rect& workArea, int width, int height);

}  // namespace lumora
