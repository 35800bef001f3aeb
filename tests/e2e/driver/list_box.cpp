#include "driver/list_box.h"

#include <stdexcept>
#include <string>

#include "driver/text.h"
#include "driver/window.h"

namespace lumora::e2e {

namespace {

void CheckIndex(const ListBox& list, int index) {
  if (index < 0 || index >= list.Count()) {
    throw std::out_of_range("list item " + std::to_string(index) + " of " + std::to_string(list.Count()));
  }
}

}  // namespace

int ListBox::Count() const { return static_cast<int>(Send(window_, LB_GETCOUNT)); }

int ListBox::Selection() const { return static_cast<int>(Send(window_, LB_GETCURSEL)); }

int ListBox::TopIndex() const { return static_cast<int>(Send(window_, LB_GETTOPINDEX)); }

bool ListBox::HasStrings() const {
  const auto style = static_cast<DWORD>(GetWindowLongPtrW(window_, GWL_STYLE));
  const bool ownerDrawn = (style & (LBS_OWNERDRAWFIXED | LBS_OWNERDRAWVARIABLE)) != 0;
  return !ownerDrawn || (style & LBS_HASSTRINGS) != 0;
}

std::wstring ListBox::Item(int index) const {
  CheckIndex(*this, index);
  if (!HasStrings()) throw std::logic_error("the list box keeps no text (owner-drawn without LBS_HASSTRINGS)");
  const auto length = Send(window_, LB_GETTEXTLEN, static_cast<WPARAM>(index));
  if (length == LB_ERR) throw std::runtime_error("LB_GETTEXTLEN failed");
  std::wstring text(static_cast<size_t>(length) + 1, L'\0');
  const auto got = Send(window_, LB_GETTEXT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(text.data()));
  if (got == LB_ERR) throw std::runtime_error("LB_GETTEXT failed");
  text.resize(static_cast<size_t>(got));
  return text;
}

std::string ListBox::ItemAnsi(int index) const {
  CheckIndex(*this, index);
  if (!HasStrings()) throw std::logic_error("the list box keeps no text (owner-drawn without LBS_HASSTRINGS)");
  // Wine (8.0) hands LB_GETTEXT sent in ANSI to a list of another process
  // back as raw UTF-16, whether the list is ANSI or Unicode. Across processes,
  // read the UTF-16 text and convert it the way an ANSI call of the program
  // would.
  if (ProcessIdOf(window_) != GetCurrentProcessId()) {
    return AnsiFromUtf16(Item(index));
  }
  // Asked in ANSI, the length may count characters rather than bytes: leave
  // room for two bytes a character.
  const auto length = SendAnsi(window_, LB_GETTEXTLEN, static_cast<WPARAM>(index));
  if (length == LB_ERR) throw std::runtime_error("LB_GETTEXTLEN failed");
  std::string text(static_cast<size_t>(length) * 2 + 2, '\0');
  const auto got = SendAnsi(window_, LB_GETTEXT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(text.data()));
  if (got == LB_ERR) throw std::runtime_error("LB_GETTEXT failed");
  text.resize(text.find('\0'));
  return text;
}

std::vector<std::wstring> ListBox::Items() const {
  std::vector<std::wstring> items;
  const int count = Count();
  for (int i = 0; i < count; ++i) items.push_back(Item(i));
  return items;
}

LRESULT ListBox::ItemData(int index) const {
  CheckIndex(*this, index);
  return Send(window_, LB_GETITEMDATA, static_cast<WPARAM>(index));
}

RECT ListBox::ItemRect(int index) const {
  CheckIndex(*this, index);
  RECT rect{};
  if (Send(window_, LB_GETITEMRECT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&rect)) == LB_ERR) {
    throw std::runtime_error("LB_GETITEMRECT failed");
  }
  return rect;
}

RECT ListBox::ItemRectOnScreen(int index) const {
  RECT rect = ItemRect(index);
  MapWindowPoints(window_, nullptr, reinterpret_cast<POINT*>(&rect), 2);
  return rect;
}

void ListBox::Select(int index) const { Send(window_, LB_SETCURSEL, static_cast<WPARAM>(index)); }

}  // namespace lumora::e2e
