// Loads "lumora_planted.dll", which lies beside this program, by name; with
// the argument "restricted" after the program's own start-up restriction.
// Exit code 0: loaded, 1: not found, 2: the restriction failed.
#include <windows.h>

#include <cstring>

#include "platform/dll_search_win.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR commandLine, int) {
  if (std::strstr(commandLine, "restricted") && !lumora::platform::RestrictDllSearchToSystem()) return 2;
  return LoadLibraryW(L"lumora_planted.dll") ? 0 : 1;
}
