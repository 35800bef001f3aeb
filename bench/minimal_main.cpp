// lumora_minimal: the simplest program that shows Lumora's list and narrows
// it as one types, the yardstick of scripts/perf.sh.
//
// A hidden top-level window "Lumora minimal list" with an owner-drawn list box
// (LBS_HASSTRINGS, control ID 100) and an edit box (ID 101), the IDs of
// Lumora's own list and command line. At start it reads the names (column 1)
// of "data\applist.tsv" beside the program, in the system's ANSI code page,
// and fills the list box with them in file order. On every change of the edit
// box it refills the list box with the names that contain the typed text, the
// letters A-Z folded, in file order. No sorting, icons, hotkeys or tray.
#include <windows.h>

#include <iterator>
#include <string>
#include <vector>

namespace {

constexpr int kListId = 100;
constexpr int kEditId = 101;
constexpr wchar_t kClassName[] = L"LumoraMinimalList";
constexpr wchar_t kTitle[] = L"Lumora minimal list";
constexpr int kNameColumn = 1;

HWND g_list = nullptr;
HWND g_edit = nullptr;
std::vector<std::wstring> g_names;   // in file order
std::vector<std::wstring> g_folded;  // the same names, A-Z folded to a-z

void FoldLetters(std::wstring& text) {
  for (wchar_t& c : text) {
    if (c >= L'A' && c <= L'Z') c = static_cast<wchar_t>(c - L'A' + L'a');
  }
}

std::wstring WideFromAnsi(const std::string& bytes) {
  if (bytes.empty()) return {};
  const int n = MultiByteToWideChar(CP_ACP, 0, bytes.data(), static_cast<int>(bytes.size()), nullptr, 0);
  std::wstring text(static_cast<size_t>(n > 0 ? n : 0), L'\0');
  if (n > 0) MultiByteToWideChar(CP_ACP, 0, bytes.data(), static_cast<int>(bytes.size()), text.data(), n);
  return text;
}

std::string ReadWholeFile(const std::wstring& path) {
  std::string bytes;
  HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                            FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
  if (file == INVALID_HANDLE_VALUE) return bytes;
  LARGE_INTEGER size{};
  if (GetFileSizeEx(file, &size) && size.QuadPart > 0 && size.QuadPart < 0x7fffffff) {
    bytes.resize(static_cast<size_t>(size.QuadPart));
    DWORD read = 0;
    if (!ReadFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &read, nullptr)) read = 0;
    bytes.resize(read);
  }
  CloseHandle(file);
  return bytes;
}

// The name cell of every row: cells are tab-separated; a quoted cell may hold
// tabs, line breaks and quotes doubled; spaces after a tab are skipped; the
// second byte of a two-byte character is never taken for a delimiter or quote.
// Rows with no cells of text are left out.
std::vector<std::string> ReadNames(const std::string& bytes) {
  CPINFO info{};
  bool lead[256] = {};
  if (GetCPInfo(CP_ACP, &info)) {
    for (int i = 0; i + 1 < MAX_LEADBYTES && (info.LeadByte[i] != 0 || info.LeadByte[i + 1] != 0); i += 2) {
      for (int b = info.LeadByte[i]; b <= info.LeadByte[i + 1]; ++b) lead[b] = true;
    }
  }
  std::vector<std::string> names;
  std::string name;
  bool rowHasText = false;
  bool inQuotes = false;
  int column = 0;
  const size_t n = bytes.size();
  auto endRow = [&] {
    if (rowHasText) names.push_back(name);
    name.clear();
    rowHasText = false;
    column = 0;
  };
  size_t i = 0;
  while (i < n) {
    const char c = bytes[i];
    const auto u = static_cast<unsigned char>(c);
    if (lead[u]) {
      if (column == kNameColumn) name.append(bytes, i, i + 1 < n ? 2 : 1);
      rowHasText = true;
      i += 2;
    } else if (c == '"') {
      if (inQuotes && i + 1 < n && bytes[i + 1] == '"') {
        if (column == kNameColumn) name.push_back('"');
        rowHasText = true;
        i += 2;
      } else {
        inQuotes = !inQuotes;
        ++i;
      }
    } else if (inQuotes) {
      if (column == kNameColumn) name.push_back(c);
      rowHasText = true;
      ++i;
    } else if (c == '\t') {
      ++column;
      ++i;
      while (i < n && bytes[i] == ' ') ++i;
    } else if (c == '\r' || c == '\n') {
      endRow();
      i += (c == '\r' && i + 1 < n && bytes[i + 1] == '\n') ? 2 : 1;
    } else {
      if (column == kNameColumn) name.push_back(c);
      rowHasText = true;
      ++i;
    }
  }
  endRow();
  return names;
}

void LoadList() {
  wchar_t module[MAX_PATH * 4] = {};
  const DWORD length = GetModuleFileNameW(nullptr, module, static_cast<DWORD>(std::size(module)));
  std::wstring folder(module, length);
  folder.erase(folder.find_last_of(L"\\/") + 1);
  for (const std::string& name : ReadNames(ReadWholeFile(folder + L"data\\applist.tsv"))) {
    g_names.push_back(WideFromAnsi(name));
    g_folded.push_back(g_names.back());
    FoldLetters(g_folded.back());
  }
}

// Refills the list box with the names that contain key (already folded).
void ShowMatches(const std::wstring& key) {
  std::vector<size_t> matches;
  size_t chars = 0;
  for (size_t i = 0; i < g_names.size(); ++i) {
    if (key.empty() || g_folded[i].find(key) != std::wstring::npos) {
      matches.push_back(i);
      chars += g_names[i].size() + 1;
    }
  }
  SendMessageW(g_list, WM_SETREDRAW, FALSE, 0);
  SendMessageW(g_list, LB_RESETCONTENT, 0, 0);
  SendMessageW(g_list, LB_INITSTORAGE, matches.size(), static_cast<LPARAM>(chars * sizeof(wchar_t)));
  for (size_t i : matches) SendMessageW(g_list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(g_names[i].c_str()));
  SendMessageW(g_list, WM_SETREDRAW, TRUE, 0);
  InvalidateRect(g_list, nullptr, TRUE);
}

void OnEditChange() {
  const int length = GetWindowTextLengthW(g_edit);
  std::wstring key(static_cast<size_t>(length) + 1, L'\0');
  key.resize(static_cast<size_t>(GetWindowTextW(g_edit, key.data(), length + 1)));
  FoldLetters(key);
  ShowMatches(key);
}

void DrawItem(const DRAWITEMSTRUCT& item) {
  if (item.itemID == static_cast<UINT>(-1)) return;
  const bool selected = (item.itemState & ODS_SELECTED) != 0;
  FillRect(item.hDC, &item.rcItem, GetSysColorBrush(selected ? COLOR_HIGHLIGHT : COLOR_WINDOW));
  const LRESULT length = SendMessageW(item.hwndItem, LB_GETTEXTLEN, item.itemID, 0);
  if (length <= 0) return;
  std::wstring text(static_cast<size_t>(length) + 1, L'\0');
  text.resize(static_cast<size_t>(SendMessageW(item.hwndItem, LB_GETTEXT, item.itemID,
                                               reinterpret_cast<LPARAM>(text.data()))));
  SetBkMode(item.hDC, TRANSPARENT);
  SetTextColor(item.hDC, GetSysColor(selected ? COLOR_HIGHLIGHTTEXT : COLOR_WINDOWTEXT));
  RECT r = item.rcItem;
  r.left += 4;
  DrawTextW(item.hDC, text.c_str(), static_cast<int>(text.size()), &r,
            DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX | DT_END_ELLIPSIS);
}

void Layout(HWND window) {
  RECT client{};
  GetClientRect(window, &client);
  constexpr int kEditHeight = 24;
  MoveWindow(g_edit, 0, 0, client.right, kEditHeight, TRUE);
  MoveWindow(g_list, 0, kEditHeight, client.right, client.bottom > kEditHeight ? client.bottom - kEditHeight : 0,
             TRUE);
}

LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_COMMAND:
      if (LOWORD(wParam) == kEditId && HIWORD(wParam) == EN_CHANGE) {
        OnEditChange();
        return 0;
      }
      break;
    case WM_MEASUREITEM: {
      auto* measure = reinterpret_cast<MEASUREITEMSTRUCT*>(lParam);
      measure->itemHeight = 18;
      return TRUE;
    }
    case WM_DRAWITEM:
      DrawItem(*reinterpret_cast<const DRAWITEMSTRUCT*>(lParam));
      return TRUE;
    case WM_SIZE:
      if (g_list != nullptr) Layout(window);
      return 0;
    case WM_DESTROY:
      PostQuitMessage(0);
      return 0;
    default:
      break;
  }
  return DefWindowProcW(window, message, wParam, lParam);
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
  WNDCLASSEXW windowClass{};
  windowClass.cbSize = sizeof windowClass;
  windowClass.lpfnWndProc = WindowProc;
  windowClass.hInstance = instance;
  windowClass.hCursor = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
  windowClass.hbrBackground = GetSysColorBrush(COLOR_BTNFACE);
  windowClass.lpszClassName = kClassName;
  if (!RegisterClassExW(&windowClass)) return 1;

  // Created hidden, as Lumora's window is after its start-up.
  HWND window = CreateWindowExW(WS_EX_TOOLWINDOW, kClassName, kTitle, WS_OVERLAPPEDWINDOW, CW_USEDEFAULT,
                                CW_USEDEFAULT, 320, 480, nullptr, nullptr, instance, nullptr);
  if (window == nullptr) return 1;
  const auto font = reinterpret_cast<WPARAM>(GetStockObject(DEFAULT_GUI_FONT));
  g_edit = CreateWindowExW(WS_EX_CLIENTEDGE, L"EDIT", L"", WS_CHILD | WS_VISIBLE | WS_TABSTOP | ES_AUTOHSCROLL, 0, 0,
                           0, 0, window, reinterpret_cast<HMENU>(static_cast<INT_PTR>(kEditId)), instance, nullptr);
  g_list = CreateWindowExW(WS_EX_CLIENTEDGE, L"LISTBOX", L"",
                           WS_CHILD | WS_VISIBLE | WS_VSCROLL | WS_TABSTOP | LBS_OWNERDRAWFIXED | LBS_HASSTRINGS |
                               LBS_NOTIFY | LBS_NOINTEGRALHEIGHT,
                           0, 0, 0, 0, window, reinterpret_cast<HMENU>(static_cast<INT_PTR>(kListId)), instance,
                           nullptr);
  if (g_edit == nullptr || g_list == nullptr) return 1;
  SendMessageW(g_edit, WM_SETFONT, font, FALSE);
  SendMessageW(g_list, WM_SETFONT, font, FALSE);
  Layout(window);

  LoadList();
  ShowMatches(std::wstring());

  MSG message;
  while (GetMessageW(&message, nullptr, 0, 0) > 0) {
    TranslateMessage(&message);
    DispatchMessageW(&message);
  }
  return static_cast<int>(message.wParam);
}
