// The Win32 side of the hotkeys: key names from the keyboard layouts, and
// THotKeyManager, which registers system-wide hotkeys and reports their
// presses.
#pragma once

#include <windows.h>

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "hotkeys/HotKeyManager.h"
#include "platform/window_win.h"

namespace lumora {

// Key names from the system: the scan code of the virtual key (extended keys
// 33-40 and 45-46 with the extended flag) named by GetKeyNameTextA. The local
// variant asks the thread's active layout, the English variant the US
// English layout "00000409", which is activated for the one call when it is
// not the active one.
//
// Construction lists the loaded layouts and loads the US English layout;
// destruction unloads it again only when it was not loaded before.
class Win32KeyNameProvider : public KeyNameProvider {
 public:
  Win32KeyNameProvider();
  ~Win32KeyNameProvider() override;
  Win32KeyNameProvider(const Win32KeyNameProvider&) = delete;
  Win32KeyNameProvider& operator=(const Win32KeyNameProvider&) = delete;

  std::string KeyName(int virtualKey, bool localized) const override;

  // CompareStringA with NORM_IGNORECASE in the user's default locale.
  bool EqualsIgnoringCase(std::string_view a, std::string_view b) const override;

  HKL UsLayout() const { return usLayout_; }
  bool UsLayoutLoadedHere() const { return usLayoutLoadedHere_; }

 private:
  HKL usLayout_ = nullptr;
  bool usLayoutLoadedHere_ = false;
};

// The unit's process-wide state for the program: the system's key names and
// the notation over them. Construction is the unit's start-up (the US English
// layout loaded, the keyboard's modifier names read), destruction its exit.
class HotKeyUnit {
 public:
  HotKeyUnit() { notation_.Startup(); }
  ~HotKeyUnit() { notation_.Exit(); }
  HotKeyUnit(const HotKeyUnit&) = delete;
  HotKeyUnit& operator=(const HotKeyUnit&) = delete;

  const HotKeyNotation& Notation() const { return notation_; }
  const Win32KeyNameProvider& KeyNames() const { return keyNames_; }

 private:
  Win32KeyNameProvider keyNames_;
  HotKeyNotation notation_{keyNames_};
};

struct HotKeyEntry {
  std::uint32_t Code = 0;  // hotkey code
  std::uint16_t Id = 0;    // registration id: the global atom naming the registration
};

// Registers system-wide hotkeys for a hidden message-only window of the
// calling thread and raises OnHotKeyPressed when one of them is pressed.
// Every registration is named by the global atom "HotKeyManagerHotKey" + the
// code in decimal, whose value is the registration id. Destruction releases
// every registration, the last first, and destroys the window. All calls
// belong to the thread that created the manager.
class THotKeyManager : public platform::Window {
 public:
  using TOnHotKeyPressed = std::function<void(std::uint32_t hotKey, std::uint16_t index)>;

  // UnregisterHotKey, replaceable so that tests can watch the releases.
  using UnregisterFunction = std::function<BOOL(HWND window, int id)>;

  // Creates the hidden window; throws AppError when it cannot.
  explicit THotKeyManager(UnregisterFunction unregister = {});
  ~THotKeyManager() override;

  // The id of the new registration, or 0 when the system refused it (for
  // instance a keystroke that another program holds).
  std::uint16_t RegisterCode(std::uint32_t code);

  // Releases the registration id and registers code; the new id, or 0. An
  // id that is not registered here releases and registers nothing.
  std::uint16_t ReplaceCode(std::uint16_t id, std::uint32_t code);

  // Releases the registration id: true when the system confirmed the
  // release. The atom and the entry go in every case; an unknown id gives
  // false and changes nothing.
  bool UnregisterId(std::uint16_t id);

  // Releases every registration, the last first.
  void UnregisterAll();

  bool IsCodeRegistered(std::uint32_t code) const;

  const std::vector<HotKeyEntry>& Entries() const { return entries_; }

  // "HotKeyManagerHotKey" followed by the code in decimal.
  static std::string AtomNameOf(std::uint32_t code);

  // Raised with the pressed hotkey's code and its registration id; may be
  // left empty.
  TOnHotKeyPressed OnHotKeyPressed;

 protected:
  // The window procedure of the hidden window: a hotkey message of a
  // registered code raises OnHotKeyPressed; every message then goes to the
  // default handling.
  virtual LRESULT HotKeyWndProc(UINT message, WPARAM wParam, LPARAM lParam);

 private:
  LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) final;
  bool Release(const HotKeyEntry& entry);

  UnregisterFunction unregister_;
  std::vector<HotKeyEntry> entries_;
};

}  // namespace lumora
