// What the tests of the launcher window read of its state, as a user would:
// the main menu offers "開く(&O)" while a close request would end the
// program, and "閉じる(&C)" while it would only hide the window.
#pragma once

#include <windows.h>

#include "app/frmLumoraU_win.h"
#include "app/resource_ids.h"

namespace lumora::test {

inline bool CloseEndsProgram(TfrmLumora& launcher) {
  launcher.popsMainPopup();
  const bool open = GetMenuState(launcher.MainMenu(), IDM_OPEN, MF_BYCOMMAND) != static_cast<UINT>(-1);
  const bool close = GetMenuState(launcher.MainMenu(), IDM_CLOSE, MF_BYCOMMAND) != static_cast<UINT>(-1);
  return open && !close;
}

}  // namespace lumora::test
