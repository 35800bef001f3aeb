// The property dialog's layout: every place and size as designed for a
// 96-DPI screen, and the same scaled for the DPI the dialog is on.
//
//   +- Property ---------------------------+  client 249 x 199
//   | 表示名                               |
//   | [edtName                           ] |
//   | ファイル名/コマンド/URL [フォルダを開く] |
//   | [edtFile                       ][...] |
//   | 最終利用日                           |
//   | [edtDate                       ][今 ] |
//   |--------------------------------------|  bottom panel, 32 high
//   |                           [ OK(&O) ] |
//   +--------------------------------------+
#pragma once

#include "window/geometry.h"

namespace lumora {

class PropLayout {
 public:
  static constexpr int kDesignDpi = 96;
  static constexpr int kClientWidth = 249;
  static constexpr int kClientHeight = 199;
  static constexpr int kBottomPanelHeight = 32;
  static constexpr int kFontHeight = 12;  // pixels

  // The controls, in 96-DPI client coordinates.
  static constexpr Rect kNameLabel{16, 16, 16 + 200, 16 + 14};
  static constexpr Rect kName{16, 32, 16 + 217, 32 + 20};
  // The label ends where the button beside it starts.
  static constexpr Rect kFileLabel{16, 64, 150, 64 + 14};
  static constexpr Rect kOpenDir{152, 60, 152 + 84, 60 + 17};
  static constexpr Rect kFile{16, 80, 16 + 193, 80 + 20};
  static constexpr Rect kPath{211, 79, 211 + 25, 79 + 22};
  static constexpr Rect kDateLabel{16, 112, 16 + 200, 112 + 14};
  static constexpr Rect kDate{16, 128, 16 + 193, 128 + 20};
  static constexpr Rect kNow{211, 127, 211 + 25, 127 + 22};
  // The bottom panel's top edge, and the OK button 162, 4 inside the panel.
  static constexpr Rect kBevel{0, kClientHeight - kBottomPanelHeight, kClientWidth,
                               kClientHeight - kBottomPanelHeight + 2};
  static constexpr Rect kOk{162, kClientHeight - kBottomPanelHeight + 4, 162 + 75,
                            kClientHeight - kBottomPanelHeight + 4 + 25};

  explicit PropLayout(int dpi = kDesignDpi) : dpi_(dpi > 0 ? dpi : kDesignDpi) {}
  int Dpi() const { return dpi_; }

  // A 96-DPI length in pixels at this DPI, rounded to the nearest pixel.
  int Scale(int designed) const;
  // A designed rectangle at this DPI: its edges scaled, so that neighbours
  // stay neighbours.
  Rect Scale(const Rect& designed) const;

  int ClientWidth() const { return Scale(kClientWidth); }
  int ClientHeight() const { return Scale(kClientHeight); }
  int FontHeight() const { return Scale(kFontHeight); }

 private:
  int dpi_;
};

}  // namespace lumora
