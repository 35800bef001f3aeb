#include "driver/window.h"

#include <algorithm>
#include <cstdio>
#include <stdexcept>
#include <string>

#include "driver/text.h"

namespace lumora::e2e {

namespace {

struct TopLevelSearch {
  DWORD processId;
  std::vector<HWND> found;
};

BOOL CALLBACK CollectTopLevel(HWND window, LPARAM param) {
  auto* search = reinterpret_cast<TopLevelSearch*>(param);
  if (ProcessIdOf(window) == search->processId) search->found.push_back(window);
  return TRUE;
}

struct ChildSearch {
  std::wstring_view className;
  std::vector<HWND> found;
};

BOOL CALLBACK CollectChild(HWND window, LPARAM param) {
  auto* search = reinterpret_cast<ChildSearch*>(param);
  if (search->className.empty() || ClassNameOf(window) == search->className) search->found.push_back(window);
  return TRUE;
}

LRESULT SendWithTimeout(bool ansi, HWND window, UINT message, WPARAM wParam, LPARAM lParam, Millis timeout) {
  DWORD_PTR result = 0;
  const UINT flags = SMTO_ABORTIFHUNG | SMTO_BLOCK;
  const auto ms = static_cast<UINT>(timeout.count());
  const LRESULT ok = ansi ? SendMessageTimeoutA(window, message, wParam, lParam, flags, ms, &result)
                          : SendMessageTimeoutW(window, message, wParam, lParam, flags, ms, &result);
  if (!ok) {
    char what[128];
    snprintf(what, sizeof what, "window %p did not answer message 0x%04X within %u ms (error %lu)",
             static_cast<void*>(window), message, ms, GetLastError());
    throw std::runtime_error(what);
  }
  return static_cast<LRESULT>(result);
}

}  // namespace

std::vector<HWND> TopLevelWindowsOf(DWORD processId) {
  TopLevelSearch search{processId, {}};
  EnumWindows(CollectTopLevel, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

HWND FindTopLevelWindow(DWORD processId, std::wstring_view title) {
  for (HWND window : TopLevelWindowsOf(processId)) {
    // GetWindowTextW reads another process's caption without a message, so a
    // busy program cannot stall the search.
    wchar_t buffer[512];
    const int n = GetWindowTextW(window, buffer, 512);
    if (std::wstring_view(buffer, static_cast<size_t>(n)) == title) return window;
  }
  return nullptr;
}

HWND FindTopLevelWindowByClass(DWORD processId, std::wstring_view className) {
  for (HWND window : TopLevelWindowsOf(processId)) {
    if (ClassNameOf(window) == className) return window;
  }
  return nullptr;
}

DWORD ProcessIdOf(HWND window) {
  DWORD processId = 0;
  GetWindowThreadProcessId(window, &processId);
  return processId;
}

std::wstring ClassNameOf(HWND window) {
  wchar_t buffer[256];
  const int n = GetClassNameW(window, buffer, 256);
  return std::wstring(buffer, static_cast<size_t>(n > 0 ? n : 0));
}

std::wstring TextOf(HWND window) {
  const auto length = static_cast<size_t>(Send(window, WM_GETTEXTLENGTH));
  std::wstring text(length + 1, L'\0');
  const auto got = static_cast<size_t>(Send(window, WM_GETTEXT, length + 1, reinterpret_cast<LPARAM>(text.data())));
  text.resize(std::min(got, length));
  return text;
}

bool IsVisible(HWND window) { return IsWindowVisible(window) != FALSE; }

bool WaitForVisibility(HWND window, bool visible, Millis timeout) {
  return WaitUntil([&] { return IsVisible(window) == visible; }, timeout);
}

RECT WindowRectOf(HWND window) {
  RECT rect{};
  GetWindowRect(window, &rect);
  return rect;
}

RECT ClientRectOnScreen(HWND window) {
  RECT rect{};
  GetClientRect(window, &rect);
  MapWindowPoints(window, nullptr, reinterpret_cast<POINT*>(&rect), 2);
  return rect;
}

POINT CenterOf(const RECT& rect) { return POINT{(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2}; }

int ControlIdOf(HWND control) { return GetDlgCtrlID(control); }

std::vector<HWND> ChildrenOf(HWND parent, std::wstring_view className) {
  ChildSearch search{className, {}};
  EnumChildWindows(parent, CollectChild, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

HWND FindChild(HWND parent, std::wstring_view className, int id) {
  for (HWND child : ChildrenOf(parent, className)) {
    if (id < 0 || ControlIdOf(child) == id) return child;
  }
  return nullptr;
}

std::string DescribeWindowTree(HWND window) {
  std::string out;
  const auto line = [&out](HWND w, int depth) {
    wchar_t text[128];
    const int n = GetWindowTextW(w, text, 128);
    char head[96];
    snprintf(head, sizeof head, "%*s%p id=%d %s ", depth * 2, "", static_cast<void*>(w), ControlIdOf(w),
             IsVisible(w) ? "shown" : "hidden");
    out += head + Utf8FromUtf16(ClassNameOf(w)) + " \"" + Utf8FromUtf16(std::wstring_view(text, n > 0 ? n : 0)) + "\"\n";
  };
  line(window, 0);
  for (HWND child : ChildrenOf(window)) line(child, GetParent(child) == window ? 1 : 2);
  return out;
}

LRESULT Send(HWND window, UINT message, WPARAM wParam, LPARAM lParam, Millis timeout) {
  return SendWithTimeout(false, window, message, wParam, lParam, timeout);
}

LRESULT SendAnsi(HWND window, UINT message, WPARAM wParam, LPARAM lParam, Millis timeout) {
  return SendWithTimeout(true, window, message, wParam, lParam, timeout);
}

bool Post(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  return PostMessageW(window, message, wParam, lParam) != FALSE;
}

bool PostClose(HWND window) { return Post(window, WM_CLOSE); }

bool SetText(HWND window, std::wstring_view text) {
  const std::wstring copy(text);
  return Send(window, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(copy.c_str())) != FALSE;
}

void SendChars(HWND window, std::wstring_view text) {
  for (wchar_t c : text) Send(window, WM_CHAR, static_cast<WPARAM>(c), 1);
}

}  // namespace lumora::e2e
