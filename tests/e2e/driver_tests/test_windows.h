// Windows the driver's tests create in their own process: a shown top-level
// window with a list box, an edit box and a button, destroyed at scope end.
#pragma once

#include <windows.h>

#include <string>

namespace lumora::e2e::testing {

inline constexpr int kListId = 200;
inline constexpr int kEditId = 201;
inline constexpr int kButtonId = 202;

class TestWindow {
 public:
  // A shown, foreground window at (x, y) of the given size, painted in colour.
  TestWindow(RECT bounds, COLORREF colour = RGB(255, 255, 255), bool withControls = true);
  ~TestWindow();
  TestWindow(const TestWindow&) = delete;
  TestWindow& operator=(const TestWindow&) = delete;

  HWND Handle() const { return window_; }
  HWND List() const { return GetDlgItem(window_, kListId); }
  HWND Edit() const { return GetDlgItem(window_, kEditId); }
  HWND Button() const { return GetDlgItem(window_, kButtonId); }

  int buttonClicks = 0;
  int listDoubleClicks = 0;

 private:
  static LRESULT CALLBACK Proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  HWND window_ = nullptr;
  HBRUSH brush_ = nullptr;
};

}  // namespace lumora::e2e::testing
