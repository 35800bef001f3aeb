#include "test_windows.h"

#include <stdexcept>

namespace lumora::e2e::testing {

namespace {

constexpr wchar_t kClassName[] = L"LumoraDriverTestWindow";

void RegisterOnce(WNDPROC proc) {
  static const bool registered = [proc] {
    WNDCLASSW windowClass{};
    windowClass.lpfnWndProc = proc;
    windowClass.hInstance = GetModuleHandleW(nullptr);
    windowClass.hCursor = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
    windowClass.lpszClassName = kClassName;
    return RegisterClassW(&windowClass) != 0;
  }();
  if (!registered) throw std::runtime_error("cannot register the test window class");
}

}  // namespace

TestWindow::TestWindow(RECT bounds, COLORREF colour, bool withControls) : brush_(CreateSolidBrush(colour)) {
  RegisterOnce(&TestWindow::Proc);
  const HINSTANCE instance = GetModuleHandleW(nullptr);
  window_ = CreateWindowExW(WS_EX_TOPMOST, kClassName, L"driver test", WS_POPUP, bounds.left, bounds.top,
                            bounds.right - bounds.left, bounds.bottom - bounds.top, nullptr, nullptr, instance, this);
  if (!window_) throw std::runtime_error("cannot create the test window");
  if (withControls) {
    HWND list = CreateWindowExW(0, L"LISTBOX", L"", WS_CHILD | WS_VISIBLE | LBS_NOTIFY, 10, 10, 200, 120, window_,
                                reinterpret_cast<HMENU>(kListId), instance, nullptr);
    for (const wchar_t* item : {L"メモ帳", L"電卓", L"abc", L"ウェブ"}) {
      SendMessageW(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(item));
    }
    CreateWindowExW(0, L"EDIT", L"", WS_CHILD | WS_VISIBLE | WS_BORDER | ES_AUTOHSCROLL, 10, 140, 200, 24, window_,
                    reinterpret_cast<HMENU>(kEditId), instance, nullptr);
    CreateWindowExW(0, L"BUTTON", L"OK", WS_CHILD | WS_VISIBLE | BS_PUSHBUTTON, 220, 140, 60, 24, window_,
                    reinterpret_cast<HMENU>(kButtonId), instance, nullptr);
  }
  ShowWindow(window_, SW_SHOW);
  UpdateWindow(window_);
  SetForegroundWindow(window_);
  if (withControls) SetFocus(Edit());
}

TestWindow::~TestWindow() {
  if (window_) DestroyWindow(window_);
  if (brush_) DeleteObject(brush_);
}

LRESULT CALLBACK TestWindow::Proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_NCCREATE) {
    auto* self = static_cast<TestWindow*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
    SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
  }
  auto* self = reinterpret_cast<TestWindow*>(GetWindowLongPtrW(window, GWLP_USERDATA));
  if (!self) return DefWindowProcW(window, message, wParam, lParam);
  switch (message) {
    case WM_ERASEBKGND: {
      RECT client;
      GetClientRect(window, &client);
      FillRect(reinterpret_cast<HDC>(wParam), &client, self->brush_);
      return 1;
    }
    case WM_COMMAND:
      if (LOWORD(wParam) == kButtonId && HIWORD(wParam) == BN_CLICKED) ++self->buttonClicks;
      if (LOWORD(wParam) == kListId && HIWORD(wParam) == LBN_DBLCLK) ++self->listDoubleClicks;
      return 0;
    default:
      return DefWindowProcW(window, message, wParam, lParam);
  }
}

}  // namespace lumora::e2e::testing
