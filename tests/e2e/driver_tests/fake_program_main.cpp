// A small stand-in program for the driver's own tests: a top-level window with
// a list box and an edit box, driven by its command line, so the driver's
// process, window and dialog pieces are proven across a process boundary
// before they judge the real program.
//
//   --title TEXT        window title (default "[FAKE]")
//   --exit-code N       exit code when the window closes (default 0)
//   --show              show the window (it starts hidden otherwise)
//   --refuse-close      ignore close requests (to test killing)
//   --message-box TEXT  open a Yes/No message box at start-up; the answer
//                       (IDYES 6, IDNO 7) is written to "answer.txt"
//
// At start-up it writes its working folder, as UTF-8, to "started.txt" in
// that folder.
#include <windows.h>
#include <shellapi.h>

#include <memory>
#include <string>

namespace {

constexpr UINT kShowMessageBox = WM_APP + 1;
constexpr int kListId = 100;
constexpr int kEditId = 101;
constexpr int kAnsiListId = 102;

struct Options {
  std::wstring title = L"[FAKE]";
  int exitCode = 0;
  bool show = false;
  bool refuseClose = false;
  std::wstring messageBox;
};

Options g_options;

struct LocalFreeDeleter {
  void operator()(wchar_t** p) const { LocalFree(p); }
};

Options ParseOptions() {
  Options options;
  int argc = 0;
  std::unique_ptr<wchar_t*, LocalFreeDeleter> argv(CommandLineToArgvW(GetCommandLineW(), &argc));
  for (int i = 1; argv && i < argc; ++i) {
    const std::wstring arg = argv.get()[i];
    const bool hasValue = i + 1 < argc;
    if (arg == L"--title" && hasValue) options.title = argv.get()[++i];
    else if (arg == L"--exit-code" && hasValue) options.exitCode = _wtoi(argv.get()[++i]);
    else if (arg == L"--show") options.show = true;
    else if (arg == L"--refuse-close") options.refuseClose = true;
    else if (arg == L"--message-box" && hasValue) options.messageBox = argv.get()[++i];
  }
  return options;
}

void WriteUtf8File(const wchar_t* name, const std::wstring& text) {
  const int n = WideCharToMultiByte(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()), nullptr, 0, nullptr, nullptr);
  std::string bytes(static_cast<size_t>(n), '\0');
  WideCharToMultiByte(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()), bytes.data(), n, nullptr, nullptr);
  struct HandleCloser {
    void operator()(HANDLE h) const { CloseHandle(h); }
  };
  HANDLE raw = CreateFileW(name, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (raw == INVALID_HANDLE_VALUE) return;
  const std::unique_ptr<void, HandleCloser> file(raw);
  DWORD written = 0;
  WriteFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
}

void CreateControls(HWND window) {
  const HINSTANCE instance = GetModuleHandleW(nullptr);
  HWND list = CreateWindowExW(WS_EX_CLIENTEDGE, L"LISTBOX", L"", WS_CHILD | WS_VISIBLE | WS_VSCROLL | LBS_NOTIFY,
                              0, 0, 300, 150, window, reinterpret_cast<HMENU>(kListId), instance, nullptr);
  for (const wchar_t* item : {L"メモ帳", L"電卓", L"abc"}) {
    SendMessageW(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(item));
  }
  // An ANSI list beside the Unicode one, filled with Shift-JIS bytes.
  HWND ansiList = CreateWindowExA(WS_EX_CLIENTEDGE, "LISTBOX", "", WS_CHILD | WS_VISIBLE | WS_VSCROLL, 0, 190, 300, 40,
                                  window, reinterpret_cast<HMENU>(kAnsiListId), instance, nullptr);
  for (const char* item : {"\x93\x64\x91\xEC", "xyz"}) {  // "電卓", "xyz"
    SendMessageA(ansiList, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(item));
  }
  CreateWindowExW(WS_EX_CLIENTEDGE, L"EDIT", L"", WS_CHILD | WS_VISIBLE | ES_AUTOHSCROLL, 0, 160, 300, 24, window,
                  reinterpret_cast<HMENU>(kEditId), instance, nullptr);
}

LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_CREATE:
      CreateControls(window);
      return 0;
    case kShowMessageBox: {
      const int answer = MessageBoxW(window, g_options.messageBox.c_str(), L"Fake", MB_YESNO | MB_ICONQUESTION);
      WriteUtf8File(L"answer.txt", std::to_wstring(answer));
      return 0;
    }
    case WM_CLOSE:
      if (g_options.refuseClose) return 0;
      DestroyWindow(window);
      return 0;
    case WM_DESTROY:
      PostQuitMessage(g_options.exitCode);
      return 0;
    default:
      return DefWindowProcW(window, message, wParam, lParam);
  }
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
  g_options = ParseOptions();

  wchar_t folder[MAX_PATH];
  const DWORD n = GetCurrentDirectoryW(MAX_PATH, folder);
  WriteUtf8File(L"started.txt", std::wstring(folder, n));

  WNDCLASSW windowClass{};
  windowClass.lpfnWndProc = WindowProc;
  windowClass.hInstance = instance;
  windowClass.hCursor = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
  windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
  windowClass.lpszClassName = L"TfrmFake";
  RegisterClassW(&windowClass);

  HWND window = CreateWindowExW(0, windowClass.lpszClassName, g_options.title.c_str(), WS_OVERLAPPEDWINDOW, 100, 100,
                                320, 280, nullptr, nullptr, instance, nullptr);
  if (!window) return 2;
  if (g_options.show) ShowWindow(window, SW_SHOW);
  if (!g_options.messageBox.empty()) PostMessageW(window, kShowMessageBox, 0, 0);

  MSG msg;
  while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
  return static_cast<int>(msg.wParam);
}
