// The launcher window TfrmLumora: the program's main window. It is created
// hidden; a close request ends the program while allowClose is true and only
// hides the window otherwise.
#pragma once

#include <string>

#include "platform/window_win.h"

namespace lumora {

class TfrmLumora : public platform::Window {
 public:
  static constexpr const wchar_t* kClassName = L"TfrmLumora";

  TfrmLumora() = default;

  // Creates the window (hidden) and runs its start-up.
  void CreateForm();

  // False once the start-up has run through; when it stopped with an error
  // the window is shown as the message loop starts, so that the user sees
  // the program.
  bool ShowOnStart() const noexcept { return showOnStart_; }

  // A close request ends the program (true) or only hides the window (false).
  bool allowClose = true;
  // The launcher window is shown.
  bool isShown = false;

  // The close rule: canClose := allowClose; a refused close hides the window.
  void FormCloseQuery(bool& canClose);
  // Hides the window; afterwards a close request ends the program.
  void HideLauncher();

 protected:
  LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

 private:
  void FormCreate();
  void InitLauncher();
  void FormDestroy();

  bool showOnStart_ = true;
};

// The program folder: the executable's folder, ending with a backslash.
std::string GetAppFolder();

}  // namespace lumora
