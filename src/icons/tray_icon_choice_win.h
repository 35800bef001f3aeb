// The user's own tray icon: the command that picks an icon file, shows it
// in the notification area at once and stores its path under [icon]
// tasktray, and the start-up's loading of that file.
#pragma once

#include <windows.h>

#include <functional>
#include <optional>
#include <string>

#include "platform/handles_win.h"
#include "platform/ini_file_win.h"
#include "tray/unit_tasktray_win.h"

namespace lumora {

// An icon file (the Windows icon format) at the small icon size; empty when
// the file is missing, unreadable, no icon file (a bitmap among them) or one
// whose directory and image headers do not hold together.
platform::IconHandle LoadIconFile(const std::string& ansiPath);

// The icon the start-up shows in the tray: the file stored under [icon]
// tasktray when there is one and it loads; empty otherwise (the built-in
// icon stays).
platform::IconHandle LoadStoredTrayIcon(const platform::IniFile& settings);

class TrayIconChoice {
 public:
  // The open dialog: shown with the filter (the form "name|patterns|...")
  // and giving the chosen file's full path, nothing when cancelled. Tests
  // put a chooser of their own here; empty means the system's dialog.
  using ChooseFile = std::function<std::optional<std::wstring>(const std::wstring& filter)>;

  static constexpr const wchar_t* kRestingFilter = L"*.*|*.*";
  static constexpr const wchar_t* kIconFilter = L"icon|*.ico;*.bmp";

  explicit TrayIconChoice(ChooseFile choose = {});

  // popChangeTrayIconClick: the dialog with the icon filter; the chosen
  // icon goes into the tray and its path into the settings. A file that is
  // no icon, or a settings file that cannot be written, is told with
  // "アイコン形式として認識できません！" ("アイコンの指定"); a name the code
  // page cannot hold is refused. The filter is back at rest afterwards,
  // whatever happened.
  void Change(platform::IniFile& settings, TMarlTasktray& tray);

  // The filter the open dialog shows now.
  const std::wstring& Filter() const { return filter_; }
  // trayIconChoice: the icon chosen last, kept alive while the tray shows
  // it; null until a choice succeeded.
  HICON Chosen() const { return trayIconChoice.get(); }

 private:
  ChooseFile choose_;
  std::wstring filter_ = kRestingFilter;
  platform::IconHandle trayIconChoice;
};

// The system's open-file dialog, owned by the main window, with a filter in
// the form "name|patterns|name|patterns".
std::optional<std::wstring> ChooseFileWithFilter(const std::wstring& filter);

}  // namespace lumora
