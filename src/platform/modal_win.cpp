// The one modal discipline (the rule is written out in modal_win.h).
#include "platform/modal_win.h"

#include <algorithm>

namespace lumora::platform {
namespace {

// The scopes up now, the innermost last. Modals nest only through the
// calls that open them, so the scopes end in the reverse order.
std::vector<ModalScope*>& Scopes() {
  static std::vector<ModalScope*> scopes;
  return scopes;
}
// EndModals was called: questions are refused until ResumeModals.
bool questionsRefused = false;
// The session ends: every box is refused from now on.
bool sessionEnded = false;

BOOL CALLBACK CollectWindow(HWND window, LPARAM windows) {
  reinterpret_cast<std::vector<HWND>*>(windows)->push_back(window);
  return TRUE;
}

std::vector<HWND> ThreadWindows() {
  std::vector<HWND> windows;
  EnumThreadWindows(GetCurrentThreadId(), CollectWindow, reinterpret_cast<LPARAM>(&windows));
  return windows;
}

// The innermost modal's own windows: every other top-level window of the
// thread is disabled, by a scope or by the box (its owner).
std::vector<HWND> ModalWindows() {
  std::vector<HWND> windows = ThreadWindows();
  windows.erase(std::remove_if(windows.begin(), windows.end(),
                               [](HWND w) { return !IsWindowVisible(w) || !IsWindowEnabled(w); }),
                windows.end());
  return windows;
}

struct ProcessWindow {
  DWORD processId;
  HWND window;
};

BOOL CALLBACK FindProcessWindow(HWND window, LPARAM data) {
  auto& found = *reinterpret_cast<ProcessWindow*>(data);
  DWORD processId = 0;
  GetWindowThreadProcessId(window, &processId);
  if (processId != found.processId || !IsWindowVisible(window) || GetWindow(window, GW_OWNER)) return TRUE;
  found.window = window;
  return FALSE;
}

void BringUp(HWND window) {
  if (IsIconic(window)) ShowWindow(window, SW_RESTORE);
  SetForegroundWindow(window);
  BringWindowToTop(window);
}

}  // namespace

ModalScope::ModalScope(Kind kind, HWND owner, int cancelCommand) : cancelCommand_(cancelCommand) {
  if (sessionEnded || (questionsRefused && kind == Kind::kQuestion)) {
    allowed_ = false;
    return;
  }
  for (HWND window : ThreadWindows()) {
    if (window != owner && IsWindowEnabled(window)) {
      EnableWindow(window, FALSE);
      disabled_.push_back(window);
    }
  }
  Scopes().push_back(this);
}

ModalScope::~ModalScope() {
  if (!allowed_) return;
  for (auto it = disabled_.rbegin(); it != disabled_.rend(); ++it) {
    if (IsWindow(*it)) EnableWindow(*it, TRUE);
  }
  std::vector<ModalScope*>& scopes = Scopes();
  scopes.erase(std::remove(scopes.begin(), scopes.end(), this), scopes.end());
  // The modal under this one is being ended too: its window is enabled again
  // only now, and closes in its turn.
  if (ended_ && !scopes.empty()) scopes.back()->Close();
}

void ModalScope::Close() const {
  for (HWND window : ModalWindows()) {
    PostMessageW(window, WM_COMMAND, MAKEWPARAM(cancelCommand_, BN_CLICKED), 0);
  }
}

bool ModalActive() noexcept { return !Scopes().empty(); }

void BringModalToFront() {
  if (Scopes().empty()) return;
  const ModalScope& top = *Scopes().back();
  if (top.processId_ != 0) {
    ProcessWindow found{top.processId_, nullptr};
    EnumWindows(FindProcessWindow, reinterpret_cast<LPARAM>(&found));
    if (found.window) BringUp(found.window);
    return;
  }
  for (HWND window : ModalWindows()) BringUp(window);
}

void EndModals(bool sessionEnds) {
  questionsRefused = true;
  if (sessionEnds) sessionEnded = true;
  for (ModalScope* scope : Scopes()) scope->ended_ = true;
  if (!Scopes().empty()) Scopes().back()->Close();
}

void ResumeModals() noexcept {
  questionsRefused = false;
  sessionEnded = false;
}

bool ModalsEnding() noexcept { return questionsRefused || sessionEnded; }

int ModalMessageBox(HWND owner, const wchar_t* text, const wchar_t* caption, UINT style) {
  const UINT buttons = style & MB_TYPEMASK;
  const bool question = buttons != MB_OK;
  const int cancel = buttons == MB_YESNO ? IDNO : question ? IDCANCEL : IDOK;
  if (owner && !IsWindow(owner)) owner = nullptr;
  ModalScope scope(question ? ModalScope::Kind::kQuestion : ModalScope::Kind::kNotice, owner,
                   buttons == MB_YESNO ? IDNO : IDCANCEL);
  if (!scope.Allowed()) return cancel;
  const int answer = MessageBoxW(owner, text, caption, style);
  return scope.Ended() ? cancel : answer;
}

}  // namespace lumora::platform
