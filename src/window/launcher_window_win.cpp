// The launcher window's presentation: its controls and their layout at the
// window's DPI (the sizes are in window/launcher_layout.h), the painting of
// the rows and the memo button, the list box as the list's display, showing
// at the cursor and the title clock, and the two popup menus.
#include <windows.h>
#include <commctrl.h>

#include <exception>
#include <string>
#include <vector>

#include "app/frmLumoraU_win.h"
#include "app/resource_ids.h"
#include "platform/error.h"
#include "platform/dpi_win.h"
#include "platform/error_report_win.h"
#include "platform/menu_win.h"
#include "platform/messages_win.h"
#include "platform/subclass_win.h"
#include "platform/text_platform.h"
#include "platform/unicode_win.h"
#include "window/launcher_placement.h"

namespace lumora {

namespace {

HFONT MakeFont(const wchar_t* face, BYTE pitch, int height) {
  HFONT font = CreateFontW(-height, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, SHIFTJIS_CHARSET, OUT_DEFAULT_PRECIS,
                           CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, pitch, face);
  if (!font) throw AppError("フォントを作成できません");
  return font;
}

HWND MakeControl(DWORD exStyle, const wchar_t* className, DWORD style, HWND parent, int id) {
  HWND control = CreateWindowExW(exStyle, className, L"", style, 0, 0, 0, 0, parent,
                                 reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), GetModuleHandleW(nullptr),
                                 nullptr);
  if (!control) throw AppError("ウィンドウを作成できません");
  return control;
}

// The memo button: a flat button with imgDefIcon's notepad page as its
// glyph, grey while disabled.
void DrawConfButton(const DRAWITEMSTRUCT& item, HICON glyph, int glyphSize) {
  HDC dc = item.hDC;
  const RECT bounds = item.rcItem;
  FillRect(dc, &bounds, GetSysColorBrush(COLOR_BTNFACE));
  const bool disabled = (item.itemState & ODS_DISABLED) != 0;
  const bool pressed = (item.itemState & ODS_SELECTED) != 0;
  if (pressed) {
    RECT edge = bounds;
    DrawEdge(dc, &edge, BDR_SUNKENOUTER, BF_RECT);
  }
  if (!glyph) return;
  // The glyph, centred, one pixel down and right while pressed.
  const int x = bounds.left + (bounds.right - bounds.left - glyphSize) / 2 + (pressed ? 1 : 0);
  const int y = bounds.top + (bounds.bottom - bounds.top - glyphSize) / 2 + (pressed ? 1 : 0);
  if (disabled) {
    DrawStateW(dc, nullptr, nullptr, reinterpret_cast<LPARAM>(glyph), 0, x, y, glyphSize, glyphSize,
               DST_ICON | DSS_DISABLED);
  } else {
    DrawIconEx(dc, x, y, glyph, glyphSize, glyphSize, 0, nullptr, DI_NORMAL);
  }
}

// The start of an ANSI text that holds at most count characters, never
// ending inside a two-byte character.
std::string VisiblePart(std::string_view text, std::size_t count) {
  const platform::LeadByteTable& lead = platform::Text().LeadBytes();
  std::size_t pos = 0;
  for (std::size_t n = 0; n < count && pos < text.size(); ++n) {
    pos += (lead.IsLead(text[pos]) && pos + 1 < text.size()) ? 2 : 1;
  }
  return std::string(text.substr(0, pos));
}

// Position of the item of menu whose submenu holds the command id; -1 if none.
int SubmenuPositionOf(HMENU menu, UINT commandId) {
  const int count = GetMenuItemCount(menu);
  for (int i = 0; i < count; ++i) {
    HMENU sub = GetSubMenu(menu, i);
    if (sub && GetMenuState(sub, commandId, MF_BYCOMMAND) != static_cast<UINT>(-1)) return i;
  }
  return -1;
}

std::wstring LocaleText(LCTYPE type, const wchar_t* fallback) {
  wchar_t buffer[16] = {};
  if (GetLocaleInfoW(LOCALE_USER_DEFAULT, type, buffer, 16) > 0 && buffer[0] != L'\0') return buffer;
  return fallback;
}

}  // namespace

// --- the list box as the list's display ------------------------------------

void ListBoxDisplay::Attach(HWND listBox) {
  listBox_ = listBox;
  classProc_ = listBox ? reinterpret_cast<WNDPROC>(GetClassLongPtrW(listBox, GCLP_WNDPROC)) : nullptr;
}

LRESULT ListBoxDisplay::Send(UINT message, WPARAM wParam, LPARAM lParam) const {
  if (classProc_) return CallWindowProcW(classProc_, listBox_, message, wParam, lParam);
  return SendMessageW(listBox_, message, wParam, lParam);
}

void ListBoxDisplay::Fill(const std::vector<std::string_view>& names) {
  if (!listBox_) return;
  Send(WM_SETREDRAW, FALSE, 0);
  Send(LB_RESETCONTENT, 0, 0);
  std::size_t bytes = 0;
  for (std::string_view name : names) bytes += name.size() + 1;
  Send(LB_INITSTORAGE, names.size(), static_cast<LPARAM>(bytes * sizeof(wchar_t)));
  std::wstring item;  // one buffer for the converted, terminated names
  for (std::string_view name : names) {
    item.resize(name.size() + 1);
    const int length = name.empty() ? 0
                                    : MultiByteToWideChar(CP_ACP, 0, name.data(), static_cast<int>(name.size()),
                                                          item.data(), static_cast<int>(item.size()));
    item[static_cast<std::size_t>(length > 0 ? length : 0)] = L'\0';
    Send(LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(item.c_str()));
  }
  Send(WM_SETREDRAW, TRUE, 0);
  Repaint();
}

int ListBoxDisplay::Count() const {
  if (!listBox_) return 0;
  const LRESULT count = Send(LB_GETCOUNT, 0, 0);
  return count == LB_ERR ? 0 : static_cast<int>(count);
}

void ListBoxDisplay::Select(int index) {
  if (listBox_) Send(LB_SETCURSEL, static_cast<WPARAM>(index), 0);
}

int ListBoxDisplay::Selection() const {
  if (!listBox_) return -1;
  const LRESULT index = Send(LB_GETCURSEL, 0, 0);
  return index == LB_ERR ? -1 : static_cast<int>(index);
}

void ListBoxDisplay::Repaint() {
  // A hidden list is painted whole when it is shown; under Wine each
  // invalidation is a round trip to the server, at every keystroke.
  if (listBox_ && IsWindowVisible(listBox_)) InvalidateRect(listBox_, nullptr, TRUE);
}

// --- controls and layout -------------------------------------------------

void TfrmLumora::CreateControls() {
  commandBrush.reset(CreateSolidBrush(RGB(0, 0, 0)));
  if (!commandBrush) throw AppError("ブラシを作成できません");

  // The names are stored as strings (LBS_HASSTRINGS) so that screen readers
  // and other programs can read them; the rows are drawn by DrawListItem.
  lstMain = MakeControl(WS_EX_CLIENTEDGE, L"LISTBOX",
                        WS_CHILD | WS_VISIBLE | WS_VSCROLL | WS_TABSTOP | LBS_OWNERDRAWFIXED | LBS_HASSTRINGS |
                            LBS_NOTIFY | LBS_NOINTEGRALHEIGHT,
                        Handle(), IDC_LSTMAIN);
  panelCommand = MakeControl(0, L"STATIC", WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN, Handle(), IDC_PANELCOMMAND);
  edtCommand = MakeControl(WS_EX_CLIENTEDGE, L"EDIT", WS_CHILD | WS_VISIBLE | WS_TABSTOP | ES_AUTOHSCROLL,
                           panelCommand, IDC_EDTCOMMAND);
  // The memo button toggles the memo window.
  btnConf = MakeControl(0, L"BUTTON", WS_CHILD | WS_VISIBLE | BS_OWNERDRAW, panelCommand,
                        IDC_BTNCONF);
  // Texts that are never drawn (the button shows its glyph, the list its
  // rows) but name the controls; the list and the command line also answer
  // screen readers with their names when asked for their objects.
  SetWindowTextW(btnConf, L"メモ");
  SetWindowTextW(lstMain, L"一覧");

  // The panel passes its children's notifications on to the window and
  // paints the memo button.
  platform::SubclassControl(panelCommand, [this](UINT message, WPARAM wParam, LPARAM lParam, bool& handled) {
    switch (message) {
      case WM_COMMAND:
      case WM_CTLCOLOREDIT:
      case WM_CTLCOLORBTN:
        handled = true;
        return SendMessageW(Handle(), message, wParam, lParam);
      case WM_DRAWITEM: {
        const auto* item = reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
        if (item->CtlID != IDC_BTNCONF) return LRESULT{0};
        DrawConfButton(*item, iconList ? iconList->ButtonGlyph() : nullptr, layout_.ButtonGlyph());
        handled = true;
        return LRESULT{TRUE};
      }
      default:
        return LRESULT{0};
    }
  });
  platform::SubclassControl(edtCommand, [this](UINT message, WPARAM wParam, LPARAM lParam, bool& handled) {
    return CommandBoxMessage(message, wParam, lParam, handled);
  });
  platform::SubclassControl(lstMain, [this](UINT message, WPARAM wParam, LPARAM lParam, bool& handled) {
    return ListBoxMessage(message, wParam, lParam, handled);
  });
  listDisplay_.Attach(lstMain);

  // The window was made at the designed size; now it takes its DPI's.
  ApplyDpi(platform::WindowDpi(Handle()));
  SetWindowPos(Handle(), nullptr, 0, 0, layout_.WindowWidth(), layout_.WindowHeight(),
               SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  LayOut();
}

void TfrmLumora::ApplyDpi(int dpi) {
  layout_ = LauncherLayout(dpi);
  formFont.reset(MakeFont(L"ＭＳ Ｐゴシック", VARIABLE_PITCH | FF_SWISS, layout_.FontHeight()));
  listFont.reset(MakeFont(L"ＭＳ ゴシック", FIXED_PITCH | FF_MODERN, layout_.FontHeight()));
  const WPARAM form = reinterpret_cast<WPARAM>(formFont.get());
  const WPARAM list = reinterpret_cast<WPARAM>(listFont.get());
  SendMessageW(panelCommand, WM_SETFONT, form, TRUE);
  SendMessageW(btnConf, WM_SETFONT, form, TRUE);
  SendMessageW(lstMain, WM_SETFONT, list, TRUE);
  SendMessageW(edtCommand, WM_SETFONT, list, TRUE);
  SendMessageW(lstMain, LB_SETITEMHEIGHT, 0, layout_.RowHeight());
  if (iconList) iconList->ApplyLayout(layout_);
  LayOut();
}

void TfrmLumora::LayOut() {
  if (!lstMain || !panelCommand) return;
  RECT client{};
  GetClientRect(Handle(), &client);
  const Rect list = layout_.ListBounds(client.right, client.bottom);
  const Rect panel = layout_.PanelBounds(client.right, client.bottom);
  MoveWindow(lstMain, list.left, list.top, list.Width(), list.Height(), TRUE);
  MoveWindow(panelCommand, panel.left, panel.top, panel.Width(), panel.Height(), TRUE);
  panelCommandResize();
}

void TfrmLumora::panelCommandResize() {
  if (!panelCommand || !edtCommand || !btnConf) return;
  RECT panel{};
  GetClientRect(panelCommand, &panel);
  const Rect command = layout_.CommandBounds(panel.right - panel.left);
  const Rect button = layout_.ButtonBounds(panel.right - panel.left);
  MoveWindow(edtCommand, command.left, command.top, command.Width(), command.Height(), TRUE);
  MoveWindow(btnConf, button.left, button.top, button.Width(), button.Height(), TRUE);
}

// lstMainDrawItem: the row of sheetView at the index, painted by the icons
// object; the list box's own item strings stay for screen readers.
void TfrmLumora::DrawListItem(const DRAWITEMSTRUCT& item) {
  if (item.CtlType != ODT_LISTBOX || item.hwndItem != lstMain) return;
  HDC dc = item.hDC;
  RECT row = item.rcItem;
  if (item.itemID == static_cast<UINT>(-1)) {
    // An empty list with the focus: only the focus frame.
    if (item.itemState & ODS_FOCUS) DrawFocusRect(dc, &row);
    return;
  }
  const bool selected = (item.itemState & ODS_SELECTED) != 0;
  const int index = static_cast<int>(item.itemID);
  if (!list_ || !iconList || index >= list_->sheetView.RowCount()) {
    FillRect(dc, &row, GetSysColorBrush(COLOR_WINDOW));
    return;
  }
  const TCsvCells& cells = list_->sheetView.GetRow(index);
  // Only as much of the name as the row can show is converted: every
  // character takes a pixel at least.
  const std::wstring name =
      platform::AnsiToWide(VisiblePart(cells.CellView(1), static_cast<std::size_t>(row.right - row.left) + 1));
  iconList->PaintRow(dc, row, index, selected, cells.CellView(0), cells.CellView(2), name, listFont.get());
  if (item.itemState & ODS_FOCUS) DrawFocusRect(dc, &row);
}

HBRUSH TfrmLumora::CommandBoxColors(HDC dc) {
  SetTextColor(dc, RGB(255, 255, 255));
  SetBkColor(dc, RGB(0, 0, 0));
  return commandBrush.get();
}

// --- menus -----------------------------------------------------------------

namespace {

void AddItem(HMENU menu, UINT id, const wchar_t* caption, bool enabled) {
  if (!AppendMenuW(menu, MF_STRING | (enabled ? MF_ENABLED : MF_GRAYED), id, caption))
    throw AppError("メニューを作成できません");
}

void AddSeparator(HMENU menu) {
  if (!AppendMenuW(menu, MF_SEPARATOR, 0, nullptr)) throw AppError("メニューを作成できません");
}

// A submenu, owned by menu from the moment it exists.
HMENU AddSubmenu(HMENU menu, const wchar_t* caption) {
  HMENU sub = CreatePopupMenu();
  if (!sub) throw AppError("メニューを作成できません");
  if (!AppendMenuW(menu, MF_STRING | MF_POPUP, reinterpret_cast<UINT_PTR>(sub), caption)) {
    DestroyMenu(sub);
    throw AppError("メニューを作成できません");
  }
  return sub;
}

constexpr wchar_t kOpenCaption[] = L"開く(&O)";
constexpr wchar_t kCloseCaption[] = L"閉じる(&C)";

}  // namespace

void TfrmLumora::BuildMenus() {
  popsMain.reset(CreatePopupMenu());
  if (!popsMain) throw AppError("メニューを作成できません");
  HMENU main = popsMain.get();
  AddItem(main, IDM_ABOUT, L"Lumora &5", true);
  AddSeparator(main);
  AddItem(main, IDM_HELP, L"ヘルプ(&H)", true);
  AddSeparator(main);
  HMENU launcher = AddSubmenu(main, L"ランチャ(&L)");
  AddItem(launcher, IDM_ADDITEM, L"アイテムの追加", true);
  AddSeparator(launcher);
  AddItem(launcher, IDM_CHECKANDREMOVE, L"リストから削除されたファイルを除外する", true);
  AddSeparator(launcher);
  AddItem(launcher, IDM_LAUNCHEDITNOTE, L"リストをメモ帳で編集する", true);
  HMENU order = AddSubmenu(launcher, L"リストの並び方");
  AddItem(order, IDM_SORTTIME, L"実行時間順に並べる", true);
  AddItem(order, IDM_SORTCOUNT, L"実行回数順で並べる", true);
  AddItem(order, IDM_SORTNAME, L"名前順に並べる", true);
  HMENU settings = AddSubmenu(main, L"設定(&S)");
  // The four hotkey items get their captions at start-up, from the settings.
  AddItem(settings, IDM_HOTKEYCHANGE, L"起動キーの変更", true);
  AddItem(settings, IDM_HOTKEYRESTART, L"自身再起動キーの設定", true);
  AddSeparator(settings);
  AddItem(settings, IDM_INSTALL, L"インストール...", true);
  AddItem(settings, IDM_UNINSTALL, L"アンインストール...", true);
  AddSeparator(settings);
  AddItem(settings, IDM_OPENSETDIR, L"設定フォルダを開く", true);
  AddSeparator(settings);
  AddItem(settings, IDM_CHANGETRAYICON, L"トレイアイコンを変更", true);
  AddItem(settings, IDM_CLEARICONCACHE, L"アイコンキャッシュをクリア", true);
  HMENU multiMonitor = AddSubmenu(main, L"マルチモニタ");
  AddItem(multiMonitor, IDM_HOTKEYMOVECUR, L"カーソル移動キーの設定", true);
  AddItem(multiMonitor, IDM_HOTKEYMOVEWIN, L"アクティブウィンドウ移動キーの設定", true);
  HMENU extras = AddSubmenu(main, L"おまけ機能");
  AddItem(extras, IDM_OPENSENDTO, L"「送る」フォルダ開く", true);
  AddItem(extras, IDM_OPENCALC, L"「電卓」を起動", true);
  AddItem(extras, IDM_LUMORAWEB, L"Lumoraのページを見る", true);
  AddSeparator(main);
  AddItem(main, IDM_RESTARTLAUNCH, L"ランチャ再起動", true);
  AddItem(main, IDM_COMPLETECLOSE, L"完全に閉じる(&T)", true);
  AddSeparator(main);
  AddItem(main, IDM_OPEN, kOpenCaption, true);
  AddItem(main, IDM_CLOSE, kCloseCaption, true);
  // The time order carries the check before any setting is read.
  CheckSortItem(kSortByTime);

  popsFile.reset(CreatePopupMenu());
  if (!popsFile) throw AppError("メニューを作成できません");
  HMENU file = popsFile.get();
  AddItem(file, IDM_EDITITEM, L"編集(&C)", true);
  AddItem(file, IDM_DELITEM, L"削除", true);
  HMENU withArgument = AddSubmenu(file, L"引数を指定して起動");
  AddItem(withArgument, IDM_EXECWITHARGFILE, L"ファイルを指定", true);
  AddItem(withArgument, IDM_EXECWITHARGSTR, L"文字列を指定", true);
  AddItem(file, IDM_OPENTARGETDIR, L"リンク先フォルダを開く", true);
}

void TfrmLumora::CheckSortItem(int sortMode) {
  if (!popsMain) return;
  const UINT item = sortMode == kSortByCount ? IDM_SORTCOUNT : sortMode == kSortByName ? IDM_SORTNAME : IDM_SORTTIME;
  // The three items are one radio group in the order submenu.
  const int launcherPos = SubmenuPositionOf(popsMain.get(), IDM_SORTTIME);
  if (launcherPos < 0) return;
  HMENU launcher = GetSubMenu(popsMain.get(), launcherPos);
  const int orderPos = SubmenuPositionOf(launcher, IDM_SORTTIME);
  if (orderPos < 0) return;
  CheckMenuRadioItem(GetSubMenu(launcher, orderPos), IDM_SORTTIME, IDM_SORTNAME, item, MF_BYCOMMAND);
}

void TfrmLumora::popsMainPopup() {
  SetForegroundWindow(Handle());
  HMENU main = popsMain.get();
  if (!main) return;
  // A menu cannot hide an item: the one of the two that fits the state is
  // put back at the end.
  DeleteMenu(main, IDM_OPEN, MF_BYCOMMAND);
  DeleteMenu(main, IDM_CLOSE, MF_BYCOMMAND);
  if (allowClose) {
    AddItem(main, IDM_OPEN, kOpenCaption, true);
  } else {
    AddItem(main, IDM_CLOSE, kCloseCaption, true);
  }
  const int multiMonitor = SubmenuPositionOf(main, IDM_HOTKEYMOVECUR);
  if (multiMonitor >= 0) {
    platform::SetMenuCaptionAt(main, multiMonitor,
                   GetSystemMetrics(SM_CMONITORS) >= 2 ? L"マルチモニタ" : L"マルチモニタ(現在無効)");
  }
}

void TfrmLumora::ShowMainMenu(const RECT* anchor) {
  popsMainPopup();
  platform::ShowPopupMenu(popsMain.get(), Handle(), anchor);
}

// --- showing and hiding ----------------------------------------------------

void TfrmLumora::ShowLauncher() {
  // On the way out for a restart: the close must not become a hide.
  if (leaving_) return;
  HWND hwnd = Handle();
  SetForegroundWindow(hwnd);

  allowClose = false;
  isShown = true;

  POINT cursor{};
  GetCursorPos(&cursor);
  RECT work{};
  if (!SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0)) {
    work = RECT{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
  }
  // The stored height is in 96-DPI units. Placed once at the window's DPI;
  // when the place lies on a screen of another DPI the window takes that
  // DPI's sizes there and is placed once more.
  placing_ = true;
  RECT now{};
  GetWindowRect(hwnd, &now);
  const int designedWidth = layout_.Designed(now.right - now.left);
  int designedHeight = layout_.Designed(now.bottom - now.top);
  if (iniSetting) designedHeight = iniSetting->ReadInteger("frmLumora", "Height", designedHeight);
  for (int pass = 0; pass < 2; ++pass) {
    const int passDpi = layout_.Dpi();
    // A stored height that is of no use (0, negative, larger than the
    // screen: a hand edit) gives the nearest usable one.
    RECT frame{}, client{};
    GetWindowRect(hwnd, &frame);
    GetClientRect(hwnd, &client);
    const int frameHeight = (frame.bottom - frame.top) - (client.bottom - client.top);
    const int height = layout_.UsableWindowHeight(layout_.Scale(designedHeight), frameHeight, work.bottom - work.top);
    SetWindowPos(hwnd, HWND_TOPMOST, 0, 0, layout_.Scale(designedWidth), height, SWP_NOMOVE | SWP_NOACTIVATE);
    // Placed by the size the window really took.
    RECT sized{};
    GetWindowRect(hwnd, &sized);
    const Point place = PlaceLauncher(Point{cursor.x, cursor.y}, sized.right - sized.left, sized.bottom - sized.top,
                                      Rect{work.left, work.top, work.right, work.bottom});
    SetWindowPos(hwnd, HWND_TOPMOST, place.x, place.y, 0, 0, SWP_NOSIZE | SWP_NOACTIVATE);
    const int dpi = platform::WindowDpi(hwnd);
    if (dpi == passDpi) break;
    if (dpi != layout_.Dpi()) ApplyDpi(dpi);  // unless WM_DPICHANGED did
  }
  placing_ = false;
  ShowWindow(hwnd, SW_SHOW);

  RefreshList();

  // Take the focus with a click on the window's lower-left border; the
  // cursor goes back where it was.
  RECT bounds{};
  GetWindowRect(hwnd, &bounds);
  POINT saved{};
  GetCursorPos(&saved);
  SetCursorPos(bounds.left + 1, bounds.top + (bounds.bottom - bounds.top) - 2);
  INPUT click[2] = {};
  click[0].type = INPUT_MOUSE;
  click[0].mi.dwFlags = MOUSEEVENTF_LEFTDOWN;
  click[1].type = INPUT_MOUSE;
  click[1].mi.dwFlags = MOUSEEVENTF_LEFTUP;
  SendInput(2, click, sizeof(INPUT));
  SetCursorPos(saved.x, saved.y);

  const LRESULT count = SendMessageW(lstMain, LB_GETCOUNT, 0, 0);
  SendMessageW(lstMain, LB_SETCURSEL, static_cast<WPARAM>(count > 0 ? count - 1 : -1), 0);
  SetFocus(lstMain);
  SetFocus(edtCommand);

  timerPanelTimer();
  SetTimer(hwnd, kTimerPanel, 1000, nullptr);
}

void TfrmLumora::ShowLauncherFromHotKey() {
  ShowLauncher();
  // The focus click arrives as input: let it land first.
  platform::ProcessPendingMessages();
  if (!Handle()) return;  // the program ended meanwhile
  // The hotkey comes from another program's foreground: take it.
  SetForegroundWindow(Handle());
  BringWindowToTop(Handle());
  SetFocus(edtCommand);
}

void TfrmLumora::ToggleLauncher() {
  if (isShown) {
    HideLauncher();
  } else {
    ShowLauncher();
  }
}

void TfrmLumora::popOpenClick() { ShowLauncher(); }

void TfrmLumora::popCloseClick() { SendMessageW(Handle(), WM_CLOSE, 0, 0); }

// --- the title clock ---------------------------------------------------------

std::wstring LauncherClockText(const SYSTEMTIME& time) {
  const std::wstring dateSeparator = LocaleText(LOCALE_SDATE, L"/");
  const std::wstring timeSeparator = LocaleText(LOCALE_STIME, L":");
  wchar_t weekday[32] = {};
  if (GetDateFormatW(LOCALE_USER_DEFAULT, 0, &time, L"ddd", weekday, 32) <= 0) weekday[0] = L'\0';
  auto two = [](WORD value) {
    const wchar_t digits[3] = {static_cast<wchar_t>(L'0' + value / 10 % 10), static_cast<wchar_t>(L'0' + value % 10),
                               L'\0'};
    return std::wstring(digits);
  };
  return L"[LM] " + two(time.wMonth) + dateSeparator + two(time.wDay) + L"(" + weekday + L") " + two(time.wHour) +
         timeSeparator + two(time.wMinute) + timeSeparator + two(time.wSecond);
}

void TfrmLumora::timerPanelTimer() {
  try {
    SYSTEMTIME now{};
    GetLocalTime(&now);
    const std::wstring title = LauncherClockText(now);
    SetWindowTextW(Handle(), title.c_str());
    platform::SetApplicationTitle(platform::WideToUtf8(title));
  } catch (...) {
    // The clock is not worth an error report; the next tick tries again.
  }
}

}  // namespace lumora
