// The program's one modal discipline. Every message box, question, input
// box, open dialog and wait for another program (RunAndWait) opens inside a
// ModalScope, and nowhere else. The rule:
//
//  - While a modal is up, every other top-level window of the program is
//    disabled; the box's own owner is left to the box, which enables it
//    again before it goes, so that the owner gets the activation back.
//  - One modal at a time: a command that arrives meanwhile (the tray icon,
//    a hotkey, a second start, a menu command posted from anywhere) asks
//    ModalActive() first and calls BringModalToFront() instead of starting
//    anything.
//  - The program's end (quit, restart, uninstall, log-off) calls EndModals():
//    every modal up closes as Cancel/No, and no question opens again until
//    ResumeModals(). Quit, restart and uninstall are posted again and run
//    once the handlers under the modal have returned; the end of the
//    session cannot wait and goes on at once, and from then on no box at all
//    is shown (log-off never waits for the user).
//  - A handler that opened a modal finds its objects again afterwards before
//    it touches them (a LifeToken watch for objects, entry IDs for rows):
//    anything may have happened meanwhile.
#pragma once

#include <windows.h>

#include <vector>

namespace lumora::platform {

class ModalScope {
 public:
  enum class Kind {
    // Asks the user something; refused (the caller takes Cancel/No) while
    // the program ends.
    kQuestion,
    // Tells the user something (an error, a warning); refused only when the
    // session ends.
    kNotice,
  };

  // owner: the window the box is owned by, which the box itself disables
  // (may be null). cancelCommand: the WM_COMMAND id that closes the box as
  // Cancel/No (IDNO for a Yes/No question, IDCANCEL otherwise).
  ModalScope(Kind kind, HWND owner, int cancelCommand);
  ~ModalScope();
  ModalScope(const ModalScope&) = delete;
  ModalScope& operator=(const ModalScope&) = delete;

  // False when the modal must not open: the caller shows nothing and takes
  // the Cancel/No answer.
  bool Allowed() const noexcept { return allowed_; }
  // EndModals was called while this scope was up: a wait stops waiting.
  bool Ended() const noexcept { return ended_; }
  // A wait for another program: BringModalToFront brings that program's
  // window up.
  void WaitFor(DWORD processId) noexcept { processId_ = processId; }

 private:
  friend void EndModals(bool sessionEnds);
  friend void BringModalToFront();
  void Close() const;

  bool allowed_ = true;
  bool ended_ = false;
  int cancelCommand_;
  DWORD processId_ = 0;
  std::vector<HWND> disabled_;
};

// A modal is up.
bool ModalActive() noexcept;
// Brings the modal that is up to the front (nothing when none is).
void BringModalToFront();
// Closes every modal that is up as Cancel/No and refuses questions from now
// on; sessionEnds: every box, notices included, from now on.
void EndModals(bool sessionEnds);
// Boxes may open again: the command that ended the modals runs now, or the
// program whose end it was is gone.
void ResumeModals() noexcept;
// EndModals was called and questions are refused: a handler back from a
// wait leaves what it would do next to the program's end.
bool ModalsEnding() noexcept;

// MessageBoxW under the discipline; the Cancel/No answer (IDNO for a Yes/No
// box, IDCANCEL otherwise, IDOK for a box with only OK) when refused.
int ModalMessageBox(HWND owner, const wchar_t* text, const wchar_t* caption, UINT style);

}  // namespace lumora::platform
