// The launcher window's layout: every size and font height of the window as
// designed for a 96-DPI screen, and the same scaled for the DPI the window
// is on. The stored window height is kept in 96-DPI units, so that a settings
// file means the same on every screen.
//
//   +--------------------------+  window, 214 x 201 as designed
//   | lstMain: rows of 18      |  fills the client area above the panel
//   |                          |
//   |--------------------------|
//   | edtCommand (20 high)  [#]|  panelCommand, 22 high at the bottom;
//   +--------------------------+  btnConf 18 x 18, 1 below the panel's top
#pragma once

#include "window/geometry.h"

namespace lumora {

class LauncherLayout {
 public:
  static constexpr int kDesignDpi = 96;

  // Sizes at 96 DPI.
  static constexpr int kWindowWidth = 214;
  static constexpr int kWindowHeight = 201;
  static constexpr int kPanelHeight = 22;
  static constexpr int kCommandHeight = 20;
  static constexpr int kButtonSize = 18;
  static constexpr int kButtonTop = 1;
  static constexpr int kButtonGlyph = 16;
  static constexpr int kRowHeight = 18;
  static constexpr int kFontHeight = 12;  // pixels, every font of the window
  static constexpr int kListEdges = 4;    // the list box's sunken edge, top and bottom
  // A row of the list: the icon 3 from the row's left edge, the name 25.
  static constexpr int kRowIconLeft = 3;
  static constexpr int kRowIconSize = 16;
  static constexpr int kRowTextLeft = 25;

  explicit LauncherLayout(int dpi = kDesignDpi) : dpi_(dpi > 0 ? dpi : kDesignDpi) {}

  int Dpi() const { return dpi_; }

  // A 96-DPI length in pixels at this DPI, rounded to the nearest pixel.
  int Scale(int designed) const;
  // Pixels at this DPI back in 96-DPI units, rounded to the nearest unit, so
  // that Designed(Scale(n)) == n at any DPI of 96 or more.
  int Designed(int pixels) const;

  int WindowWidth() const { return Scale(kWindowWidth); }
  int WindowHeight() const { return Scale(kWindowHeight); }
  int RowHeight() const { return Scale(kRowHeight); }
  int FontHeight() const { return Scale(kFontHeight); }
  int ButtonGlyph() const { return Scale(kButtonGlyph); }
  int RowIconLeft() const { return Scale(kRowIconLeft); }
  int RowIconSize() const { return Scale(kRowIconSize); }
  int RowTextLeft() const { return Scale(kRowTextLeft); }
  // The offset that centres a thing of the inner size in the outer one,
  // truncated toward zero (also when the thing is the larger).
  static constexpr int CentredOffset(int outer, int inner) { return (outer - inner) / 2; }
  // The least client height that still shows the command line and one row
  // of the list (with the list's sunken edge).
  int MinimumClientHeight() const { return Scale(kPanelHeight) + Scale(kRowHeight) + Scale(kListEdges); }

  // The window height to show: the wanted one, at least the minimum client
  // height plus the frame, at most the work area's height (when that leaves
  // room for the minimum).
  int UsableWindowHeight(int wanted, int frameHeight, int workAreaHeight) const;

  // The list above the panel and the panel at the bottom of a client area of
  // the given size.
  Rect ListBounds(int clientWidth, int clientHeight) const;
  Rect PanelBounds(int clientWidth, int clientHeight) const;
  // The command line at the panel's left edge and the memo button to its
  // right, for a panel of the given width: the command line leaves the
  // button's width and 4 more; the button stands 2 right of it.
  Rect CommandBounds(int panelWidth) const;
  Rect ButtonBounds(int panelWidth) const;

 private:
  int dpi_;
};

}  // namespace lumora
