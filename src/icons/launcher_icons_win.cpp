#include "icons/launcher_icons_win.h"

#include <optional>
#include <unordered_set>
#include <vector>

#include "app/resource_ids.h"
#include "files/glob_win.h"
#include "icons/unit_geticon_win.h"
#include "platform/final_path_win.h"
#include "platform/handles_win.h"
#include "platform/unicode_win.h"
#include "sheet/CsvUtils2.h"

namespace lumora {

platform::IconHandle LoadProgramIcon(int resourceId, int size) {
  platform::IconHandle icon(static_cast<HICON>(
      LoadImageW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(resourceId), IMAGE_ICON, size, size, 0)));
  if (!icon) icon.reset(CopyIcon(LoadIconW(nullptr, reinterpret_cast<LPCWSTR>(IDI_APPLICATION))));
  return icon;
}

LauncherIcons::LauncherIcons(HWND window, UINT arrivedMessage, const std::string& programFolder, IconLookup lookup,
                             SizedIconLookup sizedLookup)
    : imgDefIcon(LoadProgramIcon(IDI_DEFICON, kIconSide)),
      imgWebIcon(LoadProgramIcon(IDI_WEBICON, kIconSide)),
      glyph_(LoadProgramIcon(IDI_DEFICON, kIconSide)),
      programFolder_(programFolder),
      worker_(std::make_unique<IconLookupWorker>(window, arrivedMessage, std::move(lookup), std::move(sizedLookup))),
      icons_(programFolder + "icons\\", *worker_, worker_.get()) {
  icons_.Memory().SetDefault(IconOnWhite(imgDefIcon.get()));
}

LauncherIcons::~LauncherIcons() {
  // FreeLauncher: every slot freed, then the list itself.
  icons_.FreeIconList();
}

void LauncherIcons::ApplyLayout(const LauncherLayout& layout) {
  const int size = layout.RowIconSize();
  if (size != layout_.RowIconSize()) DropSizedIcons();
  layout_ = layout;
  imgWebIcon = LoadProgramIcon(IDI_WEBICON, size);
  glyph_ = LoadProgramIcon(IDI_DEFICON, layout_.ButtonGlyph());
  sizedDefault_.clear();
  if (size > kIconSide) sizedDefault_ = IconOnWhiteAt(LoadProgramIcon(IDI_DEFICON, size).get(), size);
}

void LauncherIcons::DropSizedIcons() {
  sized_.clear();
  sizedPending_.clear();
}

void LauncherIcons::ForgetEntryIcon(const std::string& id) {
  icons_.ForgetEntry(id);
  if (const std::optional<std::int64_t> slot = IconSlotOf(id)) {
    sized_.erase(*slot);
    sizedPending_.erase(*slot);
  }
}

const std::vector<std::uint32_t>* LauncherIcons::SizedIcon(std::string_view idText, std::string_view target) {
  const int size = layout_.RowIconSize();
  const std::optional<std::int64_t> slot = IconSlotOf(idText);
  if (size <= kIconSide || !slot) return nullptr;
  if (const auto found = sized_.find(*slot); found != sized_.end()) {
    return found->second.empty() ? &sizedDefault_ : &found->second;
  }
  if (!sizedPending_.contains(*slot)) {
    sizedPending_.emplace(*slot, ++lastSizedRequest_);
    worker_->RequestAtSize(*slot, std::string(idText), std::string(target), lastSizedRequest_, size);
  }
  return nullptr;
}

void LauncherIcons::DrawPicture(HDC dc, int x, int y, int size, const EntryPicture& picture) const {
  if (picture.web) {
    // Through its mask: the row's colour shows through.
    DrawIconEx(dc, x, y, imgWebIcon.get(), size, size, 0, nullptr, DI_NORMAL);
    return;
  }
  BITMAPINFO info = SquareTopDownBitmap(kIconSide, 24);
  // Above 96 DPI the 16x16 cell is stretched smoothly.
  const int oldMode = SetStretchBltMode(dc, size == kIconSide ? COLORONCOLOR : HALFTONE);
  POINT oldOrigin{};
  SetBrushOrgEx(dc, 0, 0, &oldOrigin);
  StretchDIBits(dc, x, y, size, size, 0, 0, kIconSide, kIconSide, icons_.Memory().CellPixels(picture.cell), &info,
                DIB_RGB_COLORS, SRCCOPY);
  SetBrushOrgEx(dc, oldOrigin.x, oldOrigin.y, nullptr);
  if (oldMode) SetStretchBltMode(dc, oldMode);
}

void LauncherIcons::PaintRow(HDC dc, const RECT& row, int index, bool selected, std::string_view idText,
                             std::string_view target, std::wstring_view name, HFONT font) {
  const COLORREF stripe = kRowColors[index % 2];
  const COLORREF fill = selected ? GetSysColor(COLOR_HIGHLIGHT) : stripe;
  const int height = row.bottom - row.top;

  // The whole row, filled and framed by a 1-pixel line in the stripe colour.
  {
    platform::SelectObjectScope brush(dc, GetStockObject(DC_BRUSH));
    platform::SelectObjectScope pen(dc, GetStockObject(DC_PEN));
    SetDCBrushColor(dc, fill);
    SetDCPenColor(dc, stripe);
    Rectangle(dc, row.left, row.top, row.right, row.bottom);
  }

  const int iconSize = layout_.RowIconSize();
  const int iconLeft = row.left + layout_.RowIconLeft();
  const int iconTop = row.top + LauncherLayout::CentredOffset(height, iconSize);
  const EntryPicture picture = icons_.GetEntryIcon(idText, target);
  const std::vector<std::uint32_t>* sized = picture.web ? nullptr : SizedIcon(idText, target);
  if (sized) {
    BITMAPINFO info = SquareTopDownBitmap(iconSize, 32);
    SetDIBitsToDevice(dc, iconLeft, iconTop, static_cast<DWORD>(iconSize), static_cast<DWORD>(iconSize), 0, 0, 0,
                      static_cast<UINT>(iconSize), sized->data(), &info, DIB_RGB_COLORS);
  } else {
    DrawPicture(dc, iconLeft, iconTop, iconSize, picture);
  }

  if (name.empty()) return;
  platform::SelectObjectScope selectFont(dc, font);
  SIZE w{};
  GetTextExtentPoint32W(dc, L"w", 1, &w);
  SetTextColor(dc, selected ? GetSysColor(COLOR_HIGHLIGHTTEXT) : RGB(0, 0, 0));
  SetBkColor(dc, fill);
  SetBkMode(dc, OPAQUE);
  const int textLeft = row.left + layout_.RowTextLeft();
  const std::wstring shown = NameForRow(dc, name, row.right - textLeft);
  TextOutW(dc, textLeft, row.top + LauncherLayout::CentredOffset(height, w.cy), shown.data(),
           static_cast<int>(shown.size()));
}

std::wstring NameForRow(HDC dc, std::wstring_view name, int room) {
  const int length = static_cast<int>(name.size());
  SIZE whole{};
  if (!GetTextExtentPoint32W(dc, name.data(), length, &whole) || whole.cx <= room) return std::wstring(name);
  static constexpr wchar_t kEllipsis[] = L"\u2026";
  SIZE ellipsis{};
  GetTextExtentPoint32W(dc, kEllipsis, 1, &ellipsis);
  // The units whose ends lie within what the ellipsis leaves.
  int fit = 0;
  std::vector<int> ends(name.size());
  SIZE ignored{};
  if (room > ellipsis.cx &&
      !GetTextExtentExPointW(dc, name.data(), length, room - ellipsis.cx, &fit, ends.data(), &ignored)) {
    fit = 0;
  }
  if (fit > 0 && IS_HIGH_SURROGATE(name[fit - 1])) --fit;
  return std::wstring(name.substr(0, static_cast<std::size_t>(fit))) + kEllipsis;
}

void LauncherIcons::IconsArrived(HWND listBox, TCsvSheet& view) {
  std::unordered_set<std::int64_t> stored;
  for (IconAnswer& answer : worker_->TakeAnswers()) {
    if (answer.size == kIconSide) {
      if (icons_.Arrived(answer.slot, answer.idText, answer.generation, answer.pixels)) stored.insert(answer.slot);
      continue;
    }
    // Only the answer its slot waits for, at the size rows have now.
    const auto waiting = sizedPending_.find(answer.slot);
    if (waiting == sizedPending_.end() || waiting->second != answer.generation) continue;
    sizedPending_.erase(waiting);
    sized_[answer.slot] = answer.sized ? std::move(*answer.sized) : std::vector<std::uint32_t>{};
    stored.insert(answer.slot);
  }
  if (stored.empty() || !listBox) return;
  // Only the visible rows that show one of these slots are painted again.
  RECT client{};
  GetClientRect(listBox, &client);
  const LRESULT top = SendMessageW(listBox, LB_GETTOPINDEX, 0, 0);
  const int rows = view.RowCount();
  for (int index = top == LB_ERR ? 0 : static_cast<int>(top); index < rows; ++index) {
    RECT item{};
    if (SendMessageW(listBox, LB_GETITEMRECT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&item)) == LB_ERR)
      break;
    if (item.top >= client.bottom) break;
    const TCsvCells& cells = view.GetRow(index);
    if (IsWebTarget(cells.CellView(2))) continue;
    const std::optional<std::int64_t> slot = IconSlotOf(cells.CellView(0));
    if (slot && stored.contains(*slot)) InvalidateRect(listBox, &item, FALSE);
  }
}

namespace {

// Opens a file or folder found under the cache for deleting or entering,
// when it is no link and lies where it was found: its final path is
// inside's final path and its own name. A link (a reparse point on Windows;
// under Wine a Unix link shows as a plain file or folder, so only its final
// path gives it away) leads out of the cache, or to a place in it that is
// reached by its own name anyway.
platform::FileHandle OpenInside(const std::wstring& inside, const std::string& folder, const std::string& name,
                                DWORD access, std::wstring& final) {
  const std::string path = folder + name;
  const DWORD attributes = GetFileAttributesA(path.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0) return {};
  platform::FileHandle file(CreateFileA(path.c_str(), access, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                        nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
  if (!file) return {};
  const std::optional<std::wstring> found = platform::FinalPathOf(file.get());
  if (!found || !platform::SamePath(*found, inside + L"\\" + platform::AnsiToWide(name))) return {};
  final = *found;
  return file;
}

// Deletes every "*.bmp" file in the folder and, at any depth, in its
// subfolders (not those beginning with "."), staying inside the cache. A
// file is deleted through the handle it was checked on, so what is deleted
// is what was checked.
void DeleteCacheFiles(const std::wstring& inside, const std::string& folder) {
  const TGlob files(folder + "*.bmp");
  for (const std::string& name : files.Files()) {
    std::wstring final;
    const platform::FileHandle file = OpenInside(inside, folder, name, DELETE | FILE_READ_ATTRIBUTES, final);
    BY_HANDLE_FILE_INFORMATION info{};
    if (!file || !GetFileInformationByHandle(file.get(), &info) ||
        (info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
      continue;
    }
    FILE_DISPOSITION_INFO dispose{};
    dispose.DeleteFile = TRUE;
    SetFileInformationByHandle(file.get(), FileDispositionInfo, &dispose, sizeof dispose);
  }
  const TGlob folders(folder + "*");
  for (const std::string& name : folders.Folders()) {
    std::wstring final;
    if (OpenInside(inside, folder, name, FILE_READ_ATTRIBUTES, final)) DeleteCacheFiles(final, folder + name + "\\");
  }
}

}  // namespace

void LauncherIcons::ClearIconCache() {
  // Lookups and files not yet started belong to the icons being cleared.
  worker_->DropWaitingJobs();
  icons_.FreeIconList();
  DropSizedIcons();
  const std::string folder = programFolder_ + "icons\\";
  platform::FileHandle cache(CreateFileA(folder.c_str(), FILE_READ_ATTRIBUTES,
                                         FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                                         FILE_FLAG_BACKUP_SEMANTICS, nullptr));
  if (!cache) return;
  if (const std::optional<std::wstring> inside = platform::FinalPathOf(cache.get())) DeleteCacheFiles(*inside, folder);
}

}  // namespace lumora
