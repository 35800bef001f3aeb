// TfrmProp: the entry property dialog "Property". Created once, hidden, when
// first needed, and reused for every edit and add: modeless, always on top,
// centred on the screen under the cursor, with the name, target and time of
// last use of one entry. OK (or Enter) stores them into the launcher list and saves
// (into the entry it was opened for while that entry, same ID and target, is
// still in the list; otherwise as a new entry, and says so);
// Escape and the close box put the dialog away without storing. Text that
// the list file's code page cannot hold is refused with a message naming
// its box, and the dialog stays open with the text as typed; so it does
// when the list cannot be saved.
#pragma once

#include <windows.h>

#include <functional>
#include <optional>
#include <string>

#include "editing/prop_layout.h"
#include "platform/handles_win.h"
#include "platform/window_win.h"

namespace lumora {

class LauncherList;

class TfrmProp : public platform::Window {
 public:
  static constexpr const wchar_t* kClassName = L"TfrmProp";
  static constexpr const wchar_t* kCaption = L"Property";

  explicit TfrmProp(LauncherList& list);
  ~TfrmProp() override;

  // Creates the dialog, hidden, owned by owner (which may be null).
  void CreateForm(HWND owner);

  // Fills the dialog with an entry's cells (ANSI; an empty ID for a new
  // entry), the current time when the time is empty, and shows it without
  // waiting for it.
  void Open(const std::string& id, const std::string& name, const std::string& file, const std::string& date);

  void btnNowClick();
  void btnPathClick();
  void btnOpenDirClick();
  void btnOKClick();
  // Escape and the close box: hidden, nothing stored.
  void CloseWithoutStoring();

  // The ID of the entry being edited; empty for a new one.
  const std::string& EditEntryId() const { return editEntryId; }
  const PropLayout& Layout() const { return layout_; }
  // The face name of the font in use.
  const std::wstring& FontFace() const { return fontFace_; }

  // Test seam: the file the open dialog would give (nothing: cancelled).
  std::function<std::optional<std::wstring>()> chooseFile;

 protected:
  LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

 private:
  void CreateControls();
  void ApplyDpi(int dpi);
  void SizeAndCentre();
  LRESULT ControlMessage(HWND control, UINT message, WPARAM wParam, LPARAM lParam, bool& handled);
  void MoveFocus(HWND from, bool backwards);
  void Warn(const std::string& utf8Message);
  // The box's text in the code page, or a message naming the box.
  std::optional<std::string> BoxText(HWND box, const char* utf8Label);
  std::optional<std::wstring> RunOpenDialog();

  LauncherList& list_;
  std::string editEntryId;
  // The target of that entry when the dialog opened: OK stores into the
  // entry only while it is still the same one.
  std::string editEntryTarget_;

  HWND lblName = nullptr;
  HWND edtName = nullptr;
  HWND lblFile = nullptr;
  HWND btnOpenDir = nullptr;
  HWND edtFile = nullptr;
  HWND btnPath = nullptr;
  HWND lblDate = nullptr;
  HWND edtDate = nullptr;
  HWND btnNow = nullptr;
  HWND bevel = nullptr;
  HWND btnOK = nullptr;
  // The control that had the focus when the dialog was last deactivated.
  HWND lastFocus_ = nullptr;

  PropLayout layout_;
  platform::FontHandle font_;
  std::wstring fontFace_;
};

// Whether a font with this face name is installed.
bool FontFaceInstalled(const wchar_t* face);

}  // namespace lumora
