// Base class for the program's windows: one registered window class per C++
// class, the object bound to its window at WM_NCCREATE, and every message
// handed to the virtual HandleMessage. An exception that leaves a handler is
// caught by the window procedure (the error guard of error_report_win.h) and
// shown in the general error report, owned by the window; the message
// counts as handled and the program goes on.
#pragma once

#include <windows.h>

#include <string>

namespace lumora::platform {

class Window {
 public:
  Window() = default;
  virtual ~Window();
  Window(const Window&) = delete;
  Window& operator=(const Window&) = delete;

  // The window, or null before Create and after the window was destroyed.
  HWND Handle() const noexcept { return hwnd_; }

 protected:
  struct ClassSpec {
    const wchar_t* name = nullptr;
    UINT style = 0;
    HICON icon = nullptr;
    HICON smallIcon = nullptr;
    HCURSOR cursor = nullptr;  // null: the arrow
    HBRUSH background = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  };

  struct CreateSpec {
    DWORD exStyle = 0;
    DWORD style = WS_OVERLAPPEDWINDOW;
    std::wstring title;
    int x = CW_USEDEFAULT;
    int y = CW_USEDEFAULT;
    int width = CW_USEDEFAULT;
    int height = CW_USEDEFAULT;
    HWND parent = nullptr;
    HMENU menu = nullptr;
  };

  // Registers the class on first use and creates the window. Messages sent
  // during creation (WM_NCCREATE, WM_CREATE, ...) already reach
  // HandleMessage. Throws AppError when the window cannot be created.
  void Create(const ClassSpec& windowClass, const CreateSpec& window);

  // Handles one message; the default passes it to DefWindowProcW.
  virtual LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);

  LRESULT DefaultHandling(UINT message, WPARAM wParam, LPARAM lParam) {
    return DefWindowProcW(hwnd_, message, wParam, lParam);
  }

 private:
  static LRESULT CALLBACK WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) noexcept;

  HWND hwnd_ = nullptr;
};

}  // namespace lumora::platform
