// TMarlTasktray: the notification-area icon, its retries against a busy
// shell, its two click events and its return after the taskbar is re-created.
#include "tray/unit_tasktray_win.h"

#include <cstring>
#include <utility>

#include "platform/text_platform.h"

namespace lumora {
namespace {

// The shell keeps answering with a time-out while it starts up or hangs:
// retry this many times, this long apart (15.5 s at most).
constexpr int kTimeoutRetries = 31;
constexpr DWORD kRetryWaitMs = 500;

// The record in its first form: size, window, id, flags, callback message,
// icon and a 64-byte tip. Every shell version accepts it.
constexpr DWORD kRecordSize = NOTIFYICONDATAA_V1_SIZE;
#ifndef _WIN64
static_assert(kRecordSize == 88, "the first form of the record is 88 bytes in the 32-bit build");
#endif

constexpr std::size_t kTipBytes = 63;  // szTip[64] with its terminator
// How long a balloon asks to stay (the shell keeps it within its own limits).
constexpr UINT kBalloonTimeoutMs = 10000;

// The longest start of tip that fits in maxBytes without splitting a
// two-byte character of the ANSI code page.
std::size_t TipLength(const std::string& tip, std::size_t maxBytes) {
  const platform::LeadByteTable& lead = platform::Text().LeadBytes();
  std::size_t pos = 0;
  while (pos < tip.size()) {
    const std::size_t step = (lead.IsLead(tip[pos]) && pos + 1 < tip.size()) ? 2 : 1;
    if (pos + step > maxBytes) break;
    pos += step;
  }
  return pos;
}

}  // namespace

TMarlTasktray::TMarlTasktray(HWND owner, HICON icon, std::string tip, NotifyFunction notify,
                             SleepFunction sleep)
    : owner_(owner),
      tip_(std::move(tip)),
      taskbarCreatedMessage_(RegisterWindowMessageA("TaskbarCreated")),
      icon_(icon),
      notify_(std::move(notify)),
      sleep_(std::move(sleep)) {
  if (!notify_) {
    notify_ = [](DWORD message, NOTIFYICONDATAA* data) { return Shell_NotifyIconA(message, data); };
  }
  if (!sleep_) {
    sleep_ = [](DWORD milliseconds) { Sleep(milliseconds); };
  }
}

TMarlTasktray::~TMarlTasktray() {
  try {
    RemoveIcon();
  } catch (...) {
    // Nothing left to tell at clean-up: the shell drops the icon with the window.
  }
}

void TMarlTasktray::FillRecord(NOTIFYICONDATAA& data) const {
  std::memset(&data, 0, sizeof data);
  data.cbSize = kRecordSize;
  data.hWnd = owner_;
  data.uID = kIconId;
  data.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
  data.uCallbackMessage = kCallbackMessage;
  data.hIcon = icon_;
  const std::size_t length = TipLength(tip_, kTipBytes);
  std::memcpy(data.szTip, tip_.data(), length);
  data.szTip[length] = '\0';
}

void TMarlTasktray::EnsureIcon() {
  if (!iconShown_) ShowIcon();
}

void TMarlTasktray::ShowIcon() {
  NOTIFYICONDATAA data;
  // The record goes out afresh with every call: the shell does not keep it.
  auto send = [&](DWORD message) {
    FillRecord(data);
    return notify_(message, &data) != FALSE;
  };
  auto attempt = [&]() { return send(NIM_MODIFY) || send(NIM_ADD); };

  bool shown = attempt();
  for (int retry = 0; !shown && retry < kTimeoutRetries; ++retry) {
    // Read right after the failed NIM_ADD, before anything else can overwrite it.
    if (GetLastError() != ERROR_TIMEOUT) break;
    sleep_(kRetryWaitMs);
    shown = attempt();
  }
  // One more update of the icon and tip; its answer does not change the outcome.
  send(NIM_MODIFY);
  iconShown_ = shown;
}

void TMarlTasktray::SetIcon(HICON icon) {
  icon_ = icon;
  ShowIcon();
}

void TMarlTasktray::ShowBalloon(const std::string& title, const std::string& text) {
  if (!iconShown_) return;
  NOTIFYICONDATAA data;
  std::memset(&data, 0, sizeof data);
  // The record's second form, the first that holds a balloon.
  data.cbSize = NOTIFYICONDATAA_V2_SIZE;
  data.hWnd = owner_;
  data.uID = kIconId;
  data.uFlags = NIF_INFO;
  data.dwInfoFlags = NIIF_INFO;
  data.uTimeout = kBalloonTimeoutMs;
  const std::size_t titleLength = TipLength(title, sizeof data.szInfoTitle - 1);
  std::memcpy(data.szInfoTitle, title.data(), titleLength);
  const std::size_t textLength = TipLength(text, sizeof data.szInfo - 1);
  std::memcpy(data.szInfo, text.data(), textLength);
  notify_(NIM_MODIFY, &data);
}

void TMarlTasktray::RemoveIcon() {
  if (!iconShown_) return;
  NOTIFYICONDATAA data;
  std::memset(&data, 0, sizeof data);
  data.cbSize = kRecordSize;
  data.hWnd = owner_;
  data.uID = kIconId;
  notify_(NIM_DELETE, &data);
  iconShown_ = false;
}

void TMarlTasktray::HandleTrayMessage(UINT message, WPARAM /*wParam*/, LPARAM lParam) {
  if (message == kCallbackMessage) {
    // The mouse message is in the low word; newer shells may put more above it.
    switch (LOWORD(lParam)) {
      case WM_LBUTTONDOWN:
        if (GetAsyncKeyState(VK_SHIFT) & 0x8000) {
          if (OnRightClick) OnRightClick();
        } else {
          if (OnLeftClick) OnLeftClick();
        }
        break;
      case WM_RBUTTONDOWN:
        if (OnRightClick) OnRightClick();
        break;
      default:
        break;
    }
  } else if (taskbarCreatedMessage_ != 0 && message == taskbarCreatedMessage_) {
    // A new taskbar knows no icons: NIM_MODIFY fails and NIM_ADD puts ours back.
    try {
      ShowIcon();
    } catch (...) {
      // The icon stays away until the next re-creation or SetIcon.
    }
  }
}

}  // namespace lumora
