// A tiny program for the shell tests: waits the number of milliseconds given
// on its command line (none: no wait), then writes its current folder into
// the file named by the environment variable LUMORA_PROBE_OUT.
#include <windows.h>

#include <cstdlib>
#include <cstring>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR commandLine, int) {
  const int waitMs = std::atoi(commandLine);
  if (waitMs > 0) Sleep(static_cast<DWORD>(waitMs));

  char out[MAX_PATH] = {};
  if (GetEnvironmentVariableA("LUMORA_PROBE_OUT", out, MAX_PATH) == 0) return 2;
  char folder[MAX_PATH] = {};
  const DWORD length = GetCurrentDirectoryA(MAX_PATH, folder);
  const HANDLE file = CreateFileA(out, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return 3;
  DWORD written = 0;
  WriteFile(file, folder, length, &written, nullptr);
  CloseHandle(file);
  return written == length ? 0 : 4;
}
