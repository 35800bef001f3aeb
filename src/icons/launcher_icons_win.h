// The launcher window's icons: the built-in pictures imgDefIcon (a notepad
// page, also the memo button's glyph) and imgWebIcon (a web-page document),
// the entry icon caches (EntryIcons: memory, "icons\", the shell through a
// worker thread), the painting of one row of lstMain, and the clearing of
// the caches. Every icon a row shows is drawn from one block of pixels, so
// the number of GDI objects stays the same however many entries are painted.
#pragma once

#include <windows.h>

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "icons/icon_cache.h"
#include "icons/icon_lookup_worker_win.h"
#include "platform/handles_win.h"
#include "window/launcher_layout.h"

namespace lumora {

class TCsvSheet;

// The stripe colours of the rows by parity: white, light grey.
inline constexpr COLORREF kRowColors[2] = {RGB(255, 255, 255), RGB(240, 240, 240)};

class LauncherIcons {
 public:
  // Answers of the shell lookups are announced to window with arrivedMessage;
  // the window then calls IconsArrived. The cache files live in
  // programFolder + "icons\". An empty lookup means the shell's.
  LauncherIcons(HWND window, UINT arrivedMessage, const std::string& programFolder, IconLookup lookup = {},
                SizedIconLookup sizedLookup = {});
  ~LauncherIcons();
  LauncherIcons(const LauncherIcons&) = delete;
  LauncherIcons& operator=(const LauncherIcons&) = delete;

  // The row icon's size for the window's DPI: the web icon is loaded anew,
  // and icons kept at another size are dropped.
  void ApplyLayout(const LauncherLayout& layout);

  // lstMainDrawItem: one row as the list shows it, the stripe by the row's
  // parity, the selection in the system highlight colours framed by the
  // stripe colour, the entry's icon and its name. Above 96 DPI the icon is
  // the shell's at the row icon's size, looked up once a run and kept in
  // memory only (the cache files stay 16x16); until it arrives the 16x16
  // cell is drawn stretched.
  void PaintRow(HDC dc, const RECT& row, int index, bool selected, std::string_view idText,
                std::string_view target, std::wstring_view name, HFONT font);
  // Draws a picture with its top-left corner at (x, y), size pixels square.
  void DrawPicture(HDC dc, int x, int y, int size, const EntryPicture& picture) const;

  // Stores the answers that have arrived and repaints the visible rows of
  // listBox (showing view) whose icons they are.
  void IconsArrived(HWND listBox, TCsvSheet& view);

  // mnuClearIconCacheClick: FreeIconList, then every "*.bmp" under "icons\"
  // at any depth (not in folders beginning with ".") is deleted; a file that
  // cannot be deleted stays. Only files whose final path lies inside
  // "icons\" go: links and junctions are never followed. Nothing is
  // repainted here.
  void ClearIconCache();

  // The entry with this ID is gone, new, or has another target: its icon
  // slot and cache file go, so that the next paint looks it up afresh.
  void ForgetEntryIcon(const std::string& id);

  // imgDefIcon at 16x16, and at the memo button's glyph size.
  HICON DefaultIcon() const { return imgDefIcon.get(); }
  HICON ButtonGlyph() const { return glyph_.get(); }
  HICON WebIcon() const { return imgWebIcon.get(); }
  EntryIcons& Cache() { return icons_; }
  // True while a lookup or a cache file is still on its way.
  bool Busy() const { return worker_->Busy(); }

 private:
  // The entry's icon at the row icon's size, when it has arrived; asks for
  // it otherwise. Nothing at 96 DPI and for an entry without a slot.
  const std::vector<std::uint32_t>* SizedIcon(std::string_view idText, std::string_view target);
  void DropSizedIcons();

  platform::IconHandle imgDefIcon;
  platform::IconHandle imgWebIcon;  // at the row icon's size
  platform::IconHandle glyph_;      // imgDefIcon at the button glyph's size
  LauncherLayout layout_;
  std::string programFolder_;
  std::unique_ptr<IconLookupWorker> worker_;
  EntryIcons icons_;
  // Above 96 DPI: the icons at the row icon's size by slot (empty: the
  // target has none, the default icon is drawn), the slots looked up now
  // with the number of their request, and the default icon at that size.
  std::unordered_map<std::int64_t, std::vector<std::uint32_t>> sized_;
  std::unordered_map<std::int64_t, unsigned> sizedPending_;
  unsigned lastSizedRequest_ = 0;
  std::vector<std::uint32_t> sizedDefault_;
};

// One of the program's icon resources at a size; the system's application
// icon when it cannot be loaded.
platform::IconHandle LoadProgramIcon(int resourceId, int size);

// A name as a row of room pixels shows it in the DC's font: whole when it
// fits, otherwise cut after a whole character (a surrogate pair stays
// together) and ended with an ellipsis, the whole no wider than room.
std::wstring NameForRow(HDC dc, std::wstring_view name, int room);

}  // namespace lumora
