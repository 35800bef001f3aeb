// The general error report: the one place where an error that stopped a
// handler is shown to the user, as a message box with the error's text and
// the application title as caption. Tests put a hook in its place so that no
// modal box appears.
#pragma once

#include <windows.h>

#include <functional>
#include <string>

namespace lumora::platform {

// The application title, the caption of the program's message boxes.
// "Lumora" until the launcher window sets it.
void SetApplicationTitle(const std::string& utf8Title);
std::string ApplicationTitle();

// Shows utf8Text in an error box owned by owner (which may be null), or
// hands it to the hook in force. Never throws.
void ShowErrorReport(HWND owner, const std::string& utf8Text) noexcept;

// The text shown for an exception that carries none of its own.
inline constexpr char kUnknownErrorText[] = "不明なエラーが発生しました";

// Call only inside a catch block: shows the exception being handled (its
// what() text, or kUnknownErrorText) as the error report.
void ReportCurrentException(HWND owner) noexcept;

// The program's one error guard: runs handler and turns any exception that
// leaves it into the error report owned by owner. True when the handler ran
// through. Every procedure the system calls (windows, controls, dialogs)
// runs its handlers through this, so that no exception crosses a system frame.
template <typename Handler>
bool Guarded(HWND owner, Handler&& handler) noexcept {
  try {
    handler();
    return true;
  } catch (...) {
    ReportCurrentException(owner);
    return false;
  }
}

using ErrorReportHook = std::function<void(HWND owner, const std::string& utf8Text)>;

// Routes every error report to hook for the lifetime of the object.
class ScopedErrorReportHook {
 public:
  explicit ScopedErrorReportHook(ErrorReportHook hook);
  ~ScopedErrorReportHook();
  ScopedErrorReportHook(const ScopedErrorReportHook&) = delete;
  ScopedErrorReportHook& operator=(const ScopedErrorReportHook&) = delete;

 private:
  ErrorReportHook previous_;
};

}  // namespace lumora::platform
