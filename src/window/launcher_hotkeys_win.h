// The launcher's four global hotkeys: the show/hide key, the move-cursor and
// move-window keys for several monitors, and the restart key. Each has its
// settings key in the section "hotkey", a menu item whose caption shows the
// key text as the user typed it, and a registration id (0 = not registered).
// LauncherHotKeys registers them at start-up, acts on their presses through
// a small host (the launcher window), and runs the commands that change them.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>

#include "hotkeys/HotKeyManager_win.h"
#include "platform/ini_file_win.h"
#include "platform/lifetime.h"

namespace lumora {

// What the hotkeys ask of the launcher window.
class HotKeyHost {
 public:
  // Shows the launcher at the cursor and takes the foreground from the
  // program that had it when the key was pressed.
  virtual void Show() = 0;
  virtual void Hide() = 0;
  virtual bool IsShown() const = 0;
  // Starts a new instance and ends this one (after ReleaseAll).
  virtual void Restart() = 0;
  virtual void SetMenuCaption(UINT commandId, const std::wstring& caption) = 0;

 protected:
  ~HotKeyHost() = default;
};

struct OptionalHotKey;

class LauncherHotKeys {
 public:
  // Creates the hotkey manager; nothing is registered before RegisterAll.
  LauncherHotKeys(HotKeyHost& host, platform::IniFile& settings, const HotKeyNotation& notation);
  LauncherHotKeys(const LauncherHotKeys&) = delete;
  LauncherHotKeys& operator=(const LauncherHotKeys&) = delete;

  // Start-up: reads the four texts, registers them and sets the captions.
  // The show key is registered whatever its text. False when the system
  // refused the show key; ReportRefusedShowKey tells the user once the
  // message loop runs.
  bool RegisterAll();
  void ReportRefusedShowKey();

  // The hotkey manager's report of a press: tells the keys apart by the
  // registration id alone.
  void Pressed(std::uint16_t id);

  // The menu commands that change a key; each asks in an input box.
  void ChangeShowKey();
  void ChangeMoveCursorKey();
  void ChangeMoveWindowKey();
  void ChangeRestartKey();

  // Lets go of every key (before a new instance starts).
  void ReleaseAll();

  std::uint16_t ShowKeyId() const { return idShowKey_; }
  // The show key in force as the notation writes it (ANSI); empty while no
  // show key is registered.
  std::string ShowKeyText() const;
  std::uint16_t MoveCursorKeyId() const { return idMoveCurKey_; }
  std::uint16_t MoveWindowKeyId() const { return idMoveWinKey_; }
  std::uint16_t RestartKeyId() const { return idRestartKey_; }
  const THotKeyManager& Manager() const { return manager_; }

 private:
  friend struct OptionalHotKey;
  void ChangeOptional(const OptionalHotKey& key);
  void TellShowKeyRefused(const std::string& ansiText);

  HotKeyHost& host_;
  platform::IniFile& settings_;
  const HotKeyNotation& notation_;
  THotKeyManager manager_;
  std::uint16_t idShowKey_ = 0;
  std::uint16_t idMoveCurKey_ = 0;
  std::uint16_t idMoveWinKey_ = 0;
  std::uint16_t idRestartKey_ = 0;
  // The show key text that start-up could not register; told once.
  std::string refusedShowKey_;
  // The commands wait in input boxes, during which the program may end and
  // this object with it.
  LifeToken life_;
};

}  // namespace lumora
