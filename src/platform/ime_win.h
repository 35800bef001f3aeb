// The input method of a window.
#pragma once

#include <windows.h>
#include <imm.h>

namespace lumora::platform {

// The input context of a window, released when the scope ends.
class InputContext {
 public:
  explicit InputContext(HWND window) noexcept : window_(window), context_(ImmGetContext(window)) {}
  ~InputContext() {
    if (context_) ImmReleaseContext(window_, context_);
  }
  InputContext(const InputContext&) = delete;
  InputContext& operator=(const InputContext&) = delete;

  HIMC get() const noexcept { return context_; }

 private:
  HWND window_;
  HIMC context_;
};

// True while an input method is composing text in the window: its Enter
// confirms the composition and must not act on what the window holds.
inline bool IsComposing(HWND window) {
  InputContext context(window);
  if (!context.get()) return false;
  return ImmGetCompositionStringW(context.get(), GCS_COMPSTR, nullptr, 0) > 0;
}

}  // namespace lumora::platform
