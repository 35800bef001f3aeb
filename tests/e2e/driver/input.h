// Keyboard and mouse input as a user makes it, through SendInput: it goes to
// whichever window has the focus, in this process or another. Each call
// throws std::runtime_error when the system refuses the input.
#pragma once

#include <windows.h>

#include <string_view>

namespace lumora::e2e {

enum Modifiers : unsigned {
  kNoModifier = 0,
  kShift = 1,
  kCtrl = 2,
  kAlt = 4,
  kWin = 8,
};
constexpr Modifiers operator|(Modifiers a, Modifiers b) { return static_cast<Modifiers>(unsigned(a) | unsigned(b)); }

void KeyDown(WORD virtualKey);
void KeyUp(WORD virtualKey);
// Presses and releases a key with the modifiers held around it: PressKey('Q', kCtrl | kShift).
void PressKey(WORD virtualKey, Modifiers modifiers = kNoModifier);
// Types text as Unicode characters (KEYEVENTF_UNICODE), whatever the keyboard layout.
void TypeText(std::wstring_view text);

enum class MouseButton { kLeft, kRight, kMiddle };

// Moves the cursor to a screen point: SetCursorPos, then an absolute SendInput
// move so the window under it also sees WM_MOUSEMOVE.
void MoveMouse(POINT screen);
void ClickAt(POINT screen, MouseButton button = MouseButton::kLeft);
void DoubleClickAt(POINT screen);
void MouseButtonDown(MouseButton button = MouseButton::kLeft);
void MouseButtonUp(MouseButton button = MouseButton::kLeft);
POINT CursorPosition();

}  // namespace lumora::e2e
