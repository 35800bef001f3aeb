#include "platform/subclass_win.h"

#include <commctrl.h>

#include <memory>
#include <utility>

#include "platform/error.h"
#include "platform/error_report_win.h"

namespace lumora::platform {
namespace {

constexpr UINT_PTR kSubclassId = 0x4C4D;  // one subclass of ours per control

LRESULT CALLBACK SubclassProc(HWND control, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR id,
                              DWORD_PTR data) noexcept {
  auto* handler = reinterpret_cast<ControlHandler*>(data);
  if (message == WM_NCDESTROY) {
    RemoveWindowSubclass(control, SubclassProc, id);
    std::unique_ptr<ControlHandler> owned(handler);  // the subclass owned it
    return DefSubclassProc(control, message, wParam, lParam);
  }
  bool handled = false;
  LRESULT result = 0;
  if (!Guarded(GetAncestor(control, GA_ROOT), [&] { result = (*handler)(message, wParam, lParam, handled); })) {
    return 0;  // the failed message counts as handled
  }
  return handled ? result : DefSubclassProc(control, message, wParam, lParam);
}

}  // namespace

void SubclassControl(HWND control, ControlHandler handler) {
  auto owned = std::make_unique<ControlHandler>(std::move(handler));
  if (!SetWindowSubclass(control, SubclassProc, kSubclassId, reinterpret_cast<DWORD_PTR>(owned.get()))) {
    throw AppError("コントロールを準備できません");
  }
  owned.release();  // freed by the subclass at WM_NCDESTROY
}

LRESULT CallControlDefault(HWND control, UINT message, WPARAM wParam, LPARAM lParam) {
  return DefSubclassProc(control, message, wParam, lParam);
}

}  // namespace lumora::platform
