#include "platform/error_report_win.h"

#include <exception>
#include <utility>

#include "platform/modal_win.h"
#include "platform/unicode_win.h"

namespace lumora::platform {
namespace {

std::string& TitleSlot() {
  static std::string title = "Lumora";
  return title;
}

ErrorReportHook& HookSlot() {
  static ErrorReportHook hook;
  return hook;
}

}  // namespace

void SetApplicationTitle(const std::string& utf8Title) { TitleSlot() = utf8Title; }
std::string ApplicationTitle() { return TitleSlot(); }

void ShowErrorReport(HWND owner, const std::string& utf8Text) noexcept {
  try {
    if (const ErrorReportHook& hook = HookSlot()) {
      hook(owner, utf8Text);
      return;
    }
    if (owner && !IsWindow(owner)) owner = nullptr;
    const std::wstring text = Utf8ToWide(utf8Text);
    const std::wstring caption = Utf8ToWide(TitleSlot());
    ModalMessageBox(owner, text.c_str(), caption.c_str(), MB_ICONERROR | MB_OK);
  } catch (...) {
    // Out of memory while reporting: nothing more can be said.
    MessageBeep(MB_ICONERROR);
  }
}

void ReportCurrentException(HWND owner) noexcept {
  std::string text;
  try {
    throw;
  } catch (const std::exception& error) {
    try {
      text = error.what();
    } catch (...) {
    }
  } catch (...) {
  }
  try {
    if (text.empty()) text = kUnknownErrorText;
  } catch (...) {
  }
  ShowErrorReport(owner, text);
}

ScopedErrorReportHook::ScopedErrorReportHook(ErrorReportHook hook)
    : previous_(std::exchange(HookSlot(), std::move(hook))) {}

ScopedErrorReportHook::~ScopedErrorReportHook() { HookSlot() = std::move(previous_); }

}  // namespace lumora::platform
