#include "platform/window_win.h"

#include "platform/error.h"
#include "platform/error_report_win.h"

namespace lumora::platform {
namespace {

HINSTANCE ModuleInstance() { return GetModuleHandleW(nullptr); }

void RegisterOnce(const wchar_t* name, UINT style, HICON icon, HICON smallIcon,
                  HCURSOR cursor, HBRUSH background, WNDPROC procedure) {
  WNDCLASSEXW existing{};
  existing.cbSize = sizeof existing;
  if (GetClassInfoExW(ModuleInstance(), name, &existing)) return;

  WNDCLASSEXW wc{};
  wc.cbSize = sizeof wc;
  wc.style = style;
  wc.lpfnWndProc = procedure;
  wc.hInstance = ModuleInstance();
  wc.hIcon = icon;
  wc.hIconSm = smallIcon;
  wc.hCursor = cursor ? cursor : LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
  wc.hbrBackground = background;
  wc.lpszClassName = name;
  if (!RegisterClassExW(&wc)) throw AppError("ウィンドウクラスを登録できません");
}

}  // namespace

Window::~Window() {
  if (hwnd_) {
    // The derived part is gone already: unbind first, so that the messages of
    // the destruction go to the default handling only.
    HWND hwnd = hwnd_;
    hwnd_ = nullptr;
    SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
    DestroyWindow(hwnd);
  }
}

void Window::Create(const ClassSpec& windowClass, const CreateSpec& window) {
  if (hwnd_) throw AppError("ウィンドウは作成済みです");
  RegisterOnce(windowClass.name, windowClass.style, windowClass.icon, windowClass.smallIcon,
               windowClass.cursor, windowClass.background, &Window::WindowProc);
  HWND hwnd = CreateWindowExW(window.exStyle, windowClass.name, window.title.c_str(), window.style,
                              window.x, window.y, window.width, window.height, window.parent, window.menu,
                              ModuleInstance(), this);
  if (!hwnd) throw AppError("ウィンドウを作成できません");
}

LRESULT Window::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  return DefaultHandling(message, wParam, lParam);
}

LRESULT CALLBACK Window::WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) noexcept {
  Window* self = nullptr;
  if (message == WM_NCCREATE) {
    const auto* create = reinterpret_cast<const CREATESTRUCTW*>(lParam);
    self = static_cast<Window*>(create->lpCreateParams);
    self->hwnd_ = hwnd;
    SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
  } else {
    self = reinterpret_cast<Window*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
  }
  if (!self) return DefWindowProcW(hwnd, message, wParam, lParam);

  LRESULT result = 0;
  const bool failed = !Guarded(hwnd, [&] {
    try {
      result = self->HandleMessage(message, wParam, lParam);
    } catch (...) {
      // A failed paint would be asked for again at once; take it as done.
      if (message == WM_PAINT) ValidateRect(hwnd, nullptr);
      throw;
    }
  });

  if (message == WM_NCDESTROY) {
    // The last message of the window: the object no longer has one.
    SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
    self->hwnd_ = nullptr;
  }

  if (failed) {
    // Creation goes on as without the handler; every other message counts as handled.
    if (message == WM_NCCREATE) return DefWindowProcW(hwnd, message, wParam, lParam);
    return 0;
  }
  return result;
}

}  // namespace lumora::platform
