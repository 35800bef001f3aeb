// Looking at windows from outside: finding a process's top-level windows and
// their controls, reading their state, and sending them messages. Every
// SendMessage goes with a timeout, so a hung program fails the test instead of
// hanging it.
#pragma once

#include <windows.h>

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "driver/wait.h"

namespace lumora::e2e {

inline constexpr Millis kMessageTimeout = 5s;

// Top-level windows whose thread belongs to the process, in Z order.
std::vector<HWND> TopLevelWindowsOf(DWORD processId);
// The first top-level window of the process with exactly this title (UTF-16
// comparison), or null.
HWND FindTopLevelWindow(DWORD processId, std::wstring_view title);
// The first top-level window of the process with this class name, or null.
HWND FindTopLevelWindowByClass(DWORD processId, std::wstring_view className);

DWORD ProcessIdOf(HWND window);
std::wstring ClassNameOf(HWND window);
// Text through WM_GETTEXT, so it works for controls of other processes too.
std::wstring TextOf(HWND window);
bool IsVisible(HWND window);
// True once the window's visibility is as wanted, false after the timeout.
bool WaitForVisibility(HWND window, bool visible, Millis timeout = 5s);
RECT WindowRectOf(HWND window);
// The client area in screen coordinates.
RECT ClientRectOnScreen(HWND window);
POINT CenterOf(const RECT& rect);
int ControlIdOf(HWND control);

// Descendants of parent in creation order, optionally only those of a class.
std::vector<HWND> ChildrenOf(HWND parent, std::wstring_view className = {});
// First descendant with the class (any class when empty) and, when id >= 0, the control id.
HWND FindChild(HWND parent, std::wstring_view className, int id = -1);

// One line per window: handle, class, id, visibility and text, children
// indented. For failure messages.
std::string DescribeWindowTree(HWND window);

// SendMessageTimeoutW; throws std::runtime_error when the window does not
// answer within the timeout.
LRESULT Send(HWND window, UINT message, WPARAM wParam = 0, LPARAM lParam = 0, Millis timeout = kMessageTimeout);
// The ANSI variant, for messages whose text should come back in the code page.
LRESULT SendAnsi(HWND window, UINT message, WPARAM wParam = 0, LPARAM lParam = 0, Millis timeout = kMessageTimeout);
bool Post(HWND window, UINT message, WPARAM wParam = 0, LPARAM lParam = 0);

// A close request as the close box makes it (posted, so a modal loop it starts
// cannot block the test).
bool PostClose(HWND window);
// WM_SETTEXT; true when the window accepted the text.
bool SetText(HWND window, std::wstring_view text);
// One WM_CHAR per UTF-16 unit, sent in order.
void SendChars(HWND window, std::wstring_view text);

}  // namespace lumora::e2e
