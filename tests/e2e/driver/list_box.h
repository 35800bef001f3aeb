// Reading a list box, in this process or another: items as UTF-16 and as the
// ANSI bytes the program would see, the selection and the item rectangles.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace lumora::e2e {

class ListBox {
 public:
  explicit ListBox(HWND window) : window_(window) {}
  HWND Handle() const { return window_; }

  int Count() const;
  // The selected index, -1 when none.
  int Selection() const;
  int TopIndex() const;
  // False for an owner-drawn list without LBS_HASSTRINGS: it keeps no text.
  bool HasStrings() const;

  std::wstring Item(int index) const;
  // The item as bytes in the system code page, as the program's ANSI calls see it.
  std::string ItemAnsi(int index) const;
  std::vector<std::wstring> Items() const;
  LRESULT ItemData(int index) const;

  // The item's rectangle in the list's client coordinates, and on the screen.
  RECT ItemRect(int index) const;
  RECT ItemRectOnScreen(int index) const;

  // LB_SETCURSEL (single-selection lists).
  void Select(int index) const;

 private:
  HWND window_;
};

}  // namespace lumora::e2e
