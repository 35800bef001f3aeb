// lumora_ctl: a small console tool for scripts that run Lumora under Wine.
//   lumora_ctl wait-window TITLE [TIMEOUT_MS]   exit 0 once a top-level window
//                                               titled TITLE exists (shown or not)
//   lumora_ctl close TITLE                      ask that window to close
//   lumora_ctl show-launcher [TIMEOUT_MS]       move the cursor to the middle of
//                                               the screen, press the show key
//                                               Ctrl+Shift+Q as a user would, and
//                                               exit 0 once the launcher is shown,
//                                               printing its screen rectangle as
//                                               "LEFT TOP WIDTH HEIGHT"
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
  std::fputs("usage: lumora_ctl wait-window TITLE [TIMEOUT_MS] | close TITLE | show-launcher [TIMEOUT_MS]\n",
             stderr);
  return 2;
}

INPUT Key(WORD virtualKey, bool up) {
  INPUT input{};
  input.type = INPUT_KEYBOARD;
  input.ki.wVk = virtualKey;
  input.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
  return input;
}

// The launcher window shown on the screen, or null.
HWND ShownLauncher() {
  HWND launcher = FindWindowW(L"TfrmLumora", nullptr);
  return launcher && IsWindowVisible(launcher) ? launcher : nullptr;
}

int ShowLauncher(DWORD timeout) {
  SetCursorPos(GetSystemMetrics(SM_CXSCREEN) / 2, GetSystemMetrics(SM_CYSCREEN) / 2);
  INPUT keys[] = {Key(VK_CONTROL, false), Key(VK_SHIFT, false), Key('Q', false),
                  Key('Q', true),         Key(VK_SHIFT, true),   Key(VK_CONTROL, true)};
  const DWORD start = GetTickCount();
  // The key is pressed again while the launcher has not come up: the program
  // may still be registering its keys.
  while (!ShownLauncher()) {
    if (GetTickCount() - start > timeout) return 1;
    SendInput(ARRAYSIZE(keys), keys, sizeof(INPUT));
    for (int i = 0; i < 60 && !ShownLauncher(); ++i) Sleep(50);
  }
  RECT r{};
  GetWindowRect(ShownLauncher(), &r);
  std::printf("%ld %ld %ld %ld\n", r.left, r.top, r.right - r.left, r.bottom - r.top);
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc >= 2 && std::string(argv[1]) == "show-launcher") {
    return ShowLauncher(argc > 2 ? std::strtoul(argv[2], nullptr, 10) : 10000);
  }
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
