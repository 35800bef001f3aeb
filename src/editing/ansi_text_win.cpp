#include "editing/ansi_text_win.h"

#include <windows.h>

#include <algorithm>

#include "platform/unicode_win.h"

namespace lumora {

std::optional<std::string> ExactAnsi(std::wstring_view text) {
  std::string ansi = platform::WideToAnsi(text);
  // Whatever the conversion put in place of a missing character (a "?", a
  // best-fit lookalike) does not convert back into the same text.
  if (platform::AnsiToWide(ansi) != text) return std::nullopt;
  return ansi;
}

std::wstring WindowTextOf(HWND hwnd) {
  const int length = GetWindowTextLengthW(hwnd);
  if (length <= 0) return {};
  std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
  const int got = GetWindowTextW(hwnd, text.data(), length + 1);
  text.resize(static_cast<std::size_t>(std::clamp(got, 0, length)));
  return text;
}

}  // namespace lumora
