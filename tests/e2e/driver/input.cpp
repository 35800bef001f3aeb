#include "driver/input.h"

#include <algorithm>
#include <stdexcept>
#include <string>
#include <vector>

namespace lumora::e2e {

namespace {

void Inject(std::vector<INPUT> inputs) {
  if (inputs.empty()) return;
  const UINT sent = SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT));
  if (sent != inputs.size()) {
    throw std::runtime_error("SendInput sent " + std::to_string(sent) + " of " + std::to_string(inputs.size()) +
                             " events, error " + std::to_string(GetLastError()));
  }
}

bool IsExtendedKey(WORD vk) {
  switch (vk) {
    case VK_LEFT: case VK_RIGHT: case VK_UP: case VK_DOWN:
    case VK_PRIOR: case VK_NEXT: case VK_HOME: case VK_END:
    case VK_INSERT: case VK_DELETE: case VK_DIVIDE: case VK_NUMLOCK:
    case VK_RCONTROL: case VK_RMENU: case VK_LWIN: case VK_RWIN: case VK_APPS:
      return true;
    default:
      return false;
  }
}

INPUT KeyEvent(WORD vk, bool up) {
  INPUT input{};
  input.type = INPUT_KEYBOARD;
  input.ki.wVk = vk;
  input.ki.wScan = static_cast<WORD>(MapVirtualKeyW(vk, MAPVK_VK_TO_VSC));
  input.ki.dwFlags = (up ? KEYEVENTF_KEYUP : 0) | (IsExtendedKey(vk) ? KEYEVENTF_EXTENDEDKEY : 0);
  return input;
}

INPUT UnicodeEvent(wchar_t unit, bool up) {
  INPUT input{};
  input.type = INPUT_KEYBOARD;
  input.ki.wScan = unit;
  input.ki.dwFlags = KEYEVENTF_UNICODE | (up ? KEYEVENTF_KEYUP : 0);
  return input;
}

std::vector<WORD> ModifierKeys(Modifiers modifiers) {
  std::vector<WORD> keys;
  if (modifiers & kCtrl) keys.push_back(VK_CONTROL);
  if (modifiers & kShift) keys.push_back(VK_SHIFT);
  if (modifiers & kAlt) keys.push_back(VK_MENU);
  if (modifiers & kWin) keys.push_back(VK_LWIN);
  return keys;
}

DWORD ButtonFlag(MouseButton button, bool up) {
  switch (button) {
    case MouseButton::kRight: return up ? MOUSEEVENTF_RIGHTUP : MOUSEEVENTF_RIGHTDOWN;
    case MouseButton::kMiddle: return up ? MOUSEEVENTF_MIDDLEUP : MOUSEEVENTF_MIDDLEDOWN;
    case MouseButton::kLeft: break;
  }
  return up ? MOUSEEVENTF_LEFTUP : MOUSEEVENTF_LEFTDOWN;
}

INPUT MouseEvent(DWORD flags) {
  INPUT input{};
  input.type = INPUT_MOUSE;
  input.mi.dwFlags = flags;
  return input;
}

// Absolute coordinates run 0..65535 over the virtual screen (all monitors);
// the system maps them back to pixels as dx * width / 65536, rounding down,
// so the normalised value is rounded up to land on the pixel itself.
LONG Normalise(int offset, int size) {
  return static_cast<LONG>((static_cast<long long>(offset) * 65536 + size - 1) / size);
}

INPUT AbsoluteMove(POINT screen) {
  const int left = GetSystemMetrics(SM_XVIRTUALSCREEN);
  const int top = GetSystemMetrics(SM_YVIRTUALSCREEN);
  const int width = std::max(1, GetSystemMetrics(SM_CXVIRTUALSCREEN));
  const int height = std::max(1, GetSystemMetrics(SM_CYVIRTUALSCREEN));
  INPUT input = MouseEvent(MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE | MOUSEEVENTF_VIRTUALDESK);
  input.mi.dx = Normalise(screen.x - left, width);
  input.mi.dy = Normalise(screen.y - top, height);
  return input;
}

// Wine brings its modifier state in line with the X server's whenever a
// window's thread reads a keymap report, which follows every focus change and
// pointer crossing. Modifiers pressed through SendInput are unknown to X: a
// report read between them and the key releases them, and the key arrives
// alone. The threads such reports go to (the window with the focus, the one
// under the pointer, the desktop's) each answer a message first, which they
// do only after reading the X events that reached them before.
void LetPendingKeymapReportsBeRead() {
  POINT cursor{};
  GetCursorPos(&cursor);
  const HWND under = WindowFromPoint(cursor);
  for (HWND window : {GetForegroundWindow(), under ? GetAncestor(under, GA_ROOT) : nullptr, GetDesktopWindow()}) {
    if (!window) continue;
    for (int round = 0; round < 2; ++round) {
      DWORD_PTR ignored = 0;
      SendMessageTimeoutW(window, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 1000, &ignored);
    }
  }
}

}  // namespace

void KeyDown(WORD virtualKey) {
  switch (virtualKey) {
    case VK_SHIFT: case VK_CONTROL: case VK_MENU: case VK_LWIN:
      LetPendingKeymapReportsBeRead();
      break;
    default:
      break;
  }
  Inject({KeyEvent(virtualKey, false)});
}
void KeyUp(WORD virtualKey) { Inject({KeyEvent(virtualKey, true)}); }

void PressKey(WORD virtualKey, Modifiers modifiers) {
  const std::vector<WORD> held = ModifierKeys(modifiers);
  if (!held.empty()) LetPendingKeymapReportsBeRead();
  std::vector<INPUT> inputs;
  for (WORD m : held) inputs.push_back(KeyEvent(m, false));
  inputs.push_back(KeyEvent(virtualKey, false));
  inputs.push_back(KeyEvent(virtualKey, true));
  for (auto it = held.rbegin(); it != held.rend(); ++it) inputs.push_back(KeyEvent(*it, true));
  Inject(inputs);
}

void TypeText(std::wstring_view text) {
  std::vector<INPUT> inputs;
  for (wchar_t unit : text) {
    inputs.push_back(UnicodeEvent(unit, false));
    inputs.push_back(UnicodeEvent(unit, true));
  }
  Inject(inputs);
}

void MoveMouse(POINT screen) {
  SetCursorPos(screen.x, screen.y);
  Inject({AbsoluteMove(screen)});
}

void ClickAt(POINT screen, MouseButton button) {
  MoveMouse(screen);
  Inject({MouseEvent(ButtonFlag(button, false)), MouseEvent(ButtonFlag(button, true))});
}

void DoubleClickAt(POINT screen) {
  MoveMouse(screen);
  const DWORD down = ButtonFlag(MouseButton::kLeft, false);
  const DWORD up = ButtonFlag(MouseButton::kLeft, true);
  Inject({MouseEvent(down), MouseEvent(up), MouseEvent(down), MouseEvent(up)});
}

void MouseButtonDown(MouseButton button) { Inject({MouseEvent(ButtonFlag(button, false))}); }
void MouseButtonUp(MouseButton button) { Inject({MouseEvent(ButtonFlag(button, true))}); }

POINT CursorPosition() {
  POINT point{};
  GetCursorPos(&point);
  return point;
}

}  // namespace lumora::e2e
