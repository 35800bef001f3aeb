// TMarlTasktray: the program's icon in the notification area. It turns clicks
// on the icon into two events and puts the icon back when the taskbar is
// re-created. The launcher window hands it every message it receives.
#pragma once

#include <windows.h>
#include <shellapi.h>

#include <functional>
#include <string>

namespace lumora {

class TMarlTasktray {
 public:
  // The icon's callback message (WM_USER + 100).
  static constexpr UINT kCallbackMessage = 1124;
  static constexpr UINT kIconId = 1;

  // Shell_NotifyIconA and Sleep, replaceable so that tests can play the shell.
  using NotifyFunction = std::function<BOOL(DWORD message, NOTIFYICONDATAA* data)>;
  using SleepFunction = std::function<void(DWORD milliseconds)>;

  // owner receives the callback messages; icon is not owned and must stay
  // alive while shown; tip is ANSI.
  TMarlTasktray(HWND owner, HICON icon, std::string tip, NotifyFunction notify = {},
                SleepFunction sleep = {});
  ~TMarlTasktray();
  TMarlTasktray(const TMarlTasktray&) = delete;
  TMarlTasktray& operator=(const TMarlTasktray&) = delete;

  std::function<void()> OnLeftClick;
  std::function<void()> OnRightClick;

  void EnsureIcon();
  void ShowIcon();
  void SetIcon(HICON icon);
  void RemoveIcon();
  // A balloon from the shown icon with an information sign: title and text
  // are ANSI, cut to the record's 63 and 255 bytes. Nothing while the icon
  // is not shown; a shell that cannot show it leaves it out.
  void ShowBalloon(const std::string& title, const std::string& text);
  // Called for every message of the owner window, after its own handling.
  void HandleTrayMessage(UINT message, WPARAM wParam, LPARAM lParam);

  bool IconShown() const { return iconShown_; }
  UINT TaskbarCreatedMessage() const { return taskbarCreatedMessage_; }

 private:
  void FillRecord(NOTIFYICONDATAA& data) const;

  bool iconShown_ = false;
  HWND owner_;
  std::string tip_;
  UINT taskbarCreatedMessage_;
  HICON icon_;
  NotifyFunction notify_;
  SleepFunction sleep_;
};

}  // namespace lumora
