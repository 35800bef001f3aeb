#include "driver/wait.h"

#include <windows.h>

#include <algorithm>

namespace lumora::e2e {

void PumpMessages() {
  MSG msg;
  while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
}

void PumpFor(Millis duration) {
  const auto deadline = std::chrono::steady_clock::now() + duration;
  for (;;) {
    PumpMessages();
    const auto now = std::chrono::steady_clock::now();
    if (now >= deadline) return;
    const auto left = std::chrono::duration_cast<Millis>(deadline - now);
    // Wake early when a message arrives, so this thread's windows stay responsive.
    MsgWaitForMultipleObjects(0, nullptr, FALSE, static_cast<DWORD>(std::min(left, kPollInterval).count()), QS_ALLINPUT);
  }
}

bool WaitUntil(const std::function<bool()>& done, Millis timeout) {
  const auto deadline = std::chrono::steady_clock::now() + timeout;
  for (;;) {
    PumpMessages();
    if (done()) return true;
    if (std::chrono::steady_clock::now() >= deadline) return false;
    PumpFor(kPollInterval);
  }
}

bool HoldsFor(const std::function<bool()>& holds, Millis duration) {
  const auto deadline = std::chrono::steady_clock::now() + duration;
  for (;;) {
    PumpMessages();
    if (!holds()) return false;
    if (std::chrono::steady_clock::now() >= deadline) return true;
    PumpFor(kPollInterval);
  }
}

}  // namespace lumora::e2e
