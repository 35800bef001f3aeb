// The monitor commands as a program of their own, so the end-to-end tests can
// run them against windows on the screen the way a hotkey would:
//   lumora_monitor_probe move-window          the window under the cursor to the next monitor
//   lumora_monitor_probe center-cursor-next   the cursor to the next monitor's middle
// Exit code 0 after the command ran, 2 for an unknown command.
#include <windows.h>

#include <cwchar>

#include "window/monitors_win.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR commandLine, int) {
  if (std::wcscmp(commandLine, L"move-window") == 0) {
    lumora::MoveWindowToNextMonitor();
    return 0;
  }
  if (std::wcscmp(commandLine, L"center-cursor-next") == 0) {
    lumora::MoveCursorToNextMonitor();
    return 0;
  }
  return 2;
}
