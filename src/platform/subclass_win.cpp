#include "platform/subclass_win.h"

#include <memory>
#include <utility>

#include "platform/error.h"
#include "platform/error_report_win.h"

namespace lumora::platform {
namespace {

// What a subclassed control keeps in its GWLP_USERDATA (free for the
// application on the system's control classes). The lookup stays in the
// process; comctl32's subclasses keep theirs in a window property, which on
// Wine is a server round trip at every message.
struct Subclass {
  ControlHandler handler;
  WNDPROC previous = nullptr;
  int running = 0;         // handler calls under way for this control
  bool destroyed = false;  // WM_NCDESTROY came while one was
};

// The subclass was made by SubclassControl and handed to the control.
void Free(Subclass* subclass) { std::unique_ptr<Subclass> owned(subclass); }

Subclass* SubclassOf(HWND control) {
  return reinterpret_cast<Subclass*>(GetWindowLongPtrW(control, GWLP_USERDATA));
}

LRESULT CALLBACK SubclassProc(HWND control, UINT message, WPARAM wParam, LPARAM lParam) noexcept {
  Subclass* subclass = SubclassOf(control);
  if (!subclass) return DefWindowProcW(control, message, wParam, lParam);
  const WNDPROC previous = subclass->previous;
  if (message == WM_NCDESTROY) {
    SetWindowLongPtrW(control, GWLP_USERDATA, 0);
    // Put the class's procedure back unless someone subclassed after us.
    if (reinterpret_cast<WNDPROC>(GetWindowLongPtrW(control, GWLP_WNDPROC)) == SubclassProc) {
      SetWindowLongPtrW(control, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(previous));
    }
    // A handler that destroyed its own control is still running: the
    // outermost call frees the subclass when it returns.
    if (subclass->running > 0) {
      subclass->destroyed = true;
    } else {
      Free(subclass);
    }
    return CallWindowProcW(previous, control, message, wParam, lParam);
  }
  bool handled = false;
  LRESULT result = 0;
  ++subclass->running;
  const bool ok = Guarded(GetAncestor(control, GA_ROOT),
                          [&] { result = subclass->handler(message, wParam, lParam, handled); });
  const bool destroyed = subclass->destroyed;  // then the control is gone too
  if (--subclass->running == 0 && destroyed) Free(subclass);
  if (!ok) return 0;  // the failed message counts as handled
  return handled || destroyed ? result : CallWindowProcW(previous, control, message, wParam, lParam);
}

}  // namespace

void SubclassControl(HWND control, ControlHandler handler) {
  if (!control || SubclassOf(control)) throw AppError("コントロールを準備できません");
  auto owned = std::make_unique<Subclass>();
  owned->handler = std::move(handler);
  owned->previous = reinterpret_cast<WNDPROC>(GetWindowLongPtrW(control, GWLP_WNDPROC));
  SetWindowLongPtrW(control, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(owned.get()));
  SetLastError(0);
  if (!owned->previous ||
      (!SetWindowLongPtrW(control, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(SubclassProc)) && GetLastError() != 0)) {
    SetWindowLongPtrW(control, GWLP_USERDATA, 0);
    throw AppError("コントロールを準備できません");
  }
  owned.release();  // freed by the subclass at WM_NCDESTROY
}

LRESULT CallControlDefault(HWND control, UINT message, WPARAM wParam, LPARAM lParam) {
  const Subclass* subclass = SubclassOf(control);
  return subclass ? CallWindowProcW(subclass->previous, control, message, wParam, lParam)
                  : DefWindowProcW(control, message, wParam, lParam);
}

}  // namespace lumora::platform
