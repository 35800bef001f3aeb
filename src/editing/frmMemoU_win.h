// The memo window TfrmMemo: a small, sizeable, always-on-top note pad at the
// bottom-right corner of the work area, and the way to the launcher's main
// menu. Its note is read from "data\memo.txt" each time the window shows and
// written each time it closes; a note that cannot be written keeps the
// window open with its text. A long note goes into the box piece by piece
// while the program goes on answering; a file too large to show is only
// named, and a file whose bytes the box would change is written over only
// when the user changed the note, after a copy of it was kept beside it. The
// launcher window owns it from its own creation to its end, and calls
// ToggleMemo (below the class) to show or close it.
#pragma once

#include <windows.h>

#include <optional>
#include <string>

#include "editing/memo_layout.h"
#include "platform/handles_win.h"
#include "platform/lifetime.h"
#include "platform/window_win.h"

namespace lumora {

// What the memo window asks of the launcher.
class MemoHost {
 public:
  // "設定(&S)": the main menu at the cursor, or below anchor (the button on
  // the screen) when it was pressed from the keyboard.
  virtual void OpenMainMenu(const RECT* anchor) = 0;
  // "開く(&O)": the launcher window at the cursor.
  virtual void OpenLauncher() = 0;
  // The memo file: the program folder's "data\memo.txt".
  virtual std::string MemoFilePath() const = 0;

 protected:
  ~MemoHost() = default;
};

class TfrmMemo : public platform::Window {
 public:
  static constexpr const wchar_t* kClassName = L"TfrmMemo";
  // Command ids of the buttons and ids of the controls.
  static constexpr int kPageControlId = 400;
  static constexpr int kMemoId = 401;
  static constexpr int kPanelBackId = 402;
  static constexpr int kPanelBtnId = 403;
  static constexpr int kSettingId = 404;
  static constexpr int kOpenId = 405;
  static constexpr int kCloseId = 406;
  static constexpr int kAboutPanelId = 407;

  explicit TfrmMemo(MemoHost& host);
  ~TfrmMemo() override;

  // Creates the window, hidden, with the built-in line in the note.
  void CreateForm();

  bool IsShowing() const;
  // Shows the window at its current size with its bottom-right corner on
  // the work area's, the note loaded from the file (FormShow). When the file
  // exists but cannot be read the window stays hidden and the error is
  // thrown: a later close would write over the user's note.
  void ShowInCorner();
  // Closes the window the way every close does (FormClose): the note is
  // saved, and the window hides when that worked, or when the user was
  // already told that this very text cannot be saved. True when it hid.
  bool CloseMemo();
  // The program ends: a shown note is saved. When that fails, tell (true)
  // says why in a message box and the program should stay, unless the user
  // was already told about this very text; tell false shows nothing (the
  // session is ending and must not wait). True when the program may end.
  bool SaveBeforeEnd(bool tell);
  // The program's end: the shown note is saved without a word, the window
  // goes.
  void EndWithProgram();

  // Handlers.
  void FormShow();
  // The next pieces of a long note go into the box (the loading timer).
  void LoadNextPiece();
  // Writes the note. When it cannot be written the user is told and the
  // result is false, so that the window stays with the text; a second close
  // of the same text, already told, goes through without a word.
  bool FormClose();
  void btnSettingClick();
  void btnOpenClick();
  void btnCloseClick();
  void panelBackResize();

  // For tests.
  HWND MemoBox() const { return memo; }
  HWND PageControl() const { return PageControl1; }
  HWND ButtonPanel() const { return panelBtn; }
  HWND BackPanel() const { return panelBack; }

 protected:
  LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

 private:
  void CreateControls();
  void ApplyDpi(int dpi);
  void LayOut();
  void ShowPage(int index);
  // Puts the note into the box: the first piece at once, the rest piece by
  // piece on the loading timer, the box read-only until all of it is in.
  void LoadNote(std::wstring text);
  // The next piece of the note being loaded: ends after a line break where
  // one is near, never inside a character.
  std::wstring NextPiece();
  bool Loading() const { return !pending_.empty(); }
  void StopLoading();
  // The box says that the file is too large to show here, and where it is.
  void ShowTooLarge(const std::string& path);
  // The one message after the first save of such a file: the old file is
  // kept beside it.
  void TellBackupKept() const;
  // The note in the code page's bytes; nothing when a character of it has
  // no place in the code page.
  bool NoteBytes(std::string& bytes) const;
  // Saves the note; false with the reason when it cannot be written.
  // keptOld tells that the old file was first copied to its backup.
  bool SaveNote(std::string& failure, bool& keptOld);
  // A failed save: told (false) the first time for a text, and true for
  // that text once told.
  bool ToldBefore(const std::string& failure);
  void TellSaveFailure(const std::string& failure) const;
  std::wstring NoteText() const;

  MemoHost& host_;
  MemoLayout layout_;

  HWND PageControl1 = nullptr;
  HWND memo = nullptr;
  HWND panelAbout = nullptr;
  HWND boxAbout = nullptr;
  HWND labelAbout = nullptr;
  HWND panelBack = nullptr;
  HWND panelBtn = nullptr;
  HWND btnSetting = nullptr;
  HWND btnOpen = nullptr;
  HWND btnClose = nullptr;
  platform::FontHandle font_;
  // "設定(&S)" was pressed from the keyboard: its menu goes below it.
  bool settingByKeyboard_ = false;
  // The note that could not be saved and that the user has been told about.
  std::optional<std::wstring> toldNote_;
  // The box shows the memo file as it was read (until the user changes it).
  bool noteFromFile_ = false;
  // The memo file is larger than the window shows: the box names it, read-only.
  bool tooLarge_ = false;
  // The file's bytes would not survive the trip through the box: the file is
  // copied to its backup before it is first written over.
  bool keepOld_ = false;
  // The note being loaded and how much of it is in the box.
  std::wstring pending_;
  std::size_t pendingAt_ = 0;

  // Outlives nothing: the handlers that wait (the main menu) ask it after.
  LifeToken life_;
};

}  // namespace lumora
