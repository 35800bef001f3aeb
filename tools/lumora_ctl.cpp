// lumora_ctl: a small console tool for scripts that run Lumora under Wine.
//   lumora_ctl wait-window TITLE [TIMEOUT_MS]   exit 0 once a top-level window
//                                               titled TITLE exists (shown or not)
//   lumora_ctl close TITLE                      ask that window to close
// TITLE is UTF-8. Exit status 1 on time-out or when no such window exists.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

std::wstring Widen(const char* utf8) {
  int n = MultiByteToWideChar(CP_UTF8, 0, utf8, -1, nullptr, 0);
  std::wstring wide(n > 0 ? n - 1 : 0, L'\0');
  if (n > 1) MultiByteToWideChar(CP_UTF8, 0, utf8, -1, wide.data(), n);
  return wide;
}

int Usage() {
  std::fputs("usage: lumora_ctl wait-window TITLE [TIMEOUT_MS] | close TITLE\n", stderr);
  return 2;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 3) return Usage();
  const std::string command = argv[1];
  const std::wstring title = Widen(argv[2]);
  if (command == "wait-window") {
    const DWORD timeout = argc > 3 ? std::strtoul(argv[3], nullptr, 10) : 10000;
    const DWORD start = GetTickCount();
    while (!FindWindowW(nullptr, title.c_str())) {
      if (GetTickCount() - start > timeout) return 1;
      Sleep(50);
    }
    return 0;
  }
  if (command == "close") {
    HWND window = FindWindowW(nullptr, title.c_str());
    if (!window) return 1;
    PostMessageW(window, WM_CLOSE, 0, 0);
    return 0;
  }
  return Usage();
}
