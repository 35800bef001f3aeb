// The entry icons in the launcher window, in this process: the rows as they
// are painted (stripes, selection, icon and name, the web icon through its
// mask, the icon scaled above 96 DPI), and the lookups behind them with a
// lookup of the test's own: a slow lookup leaves the window painting, a list
// file with hostile IDs and targets writes only the files it should, a cache
// folder that cannot be written costs no message, the clear command, and the
// number of GDI objects while every row of a long list is painted.
#include <windows.h>
#include <winternl.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <functional>
#include <memory>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "app/frmLumoraU_win.h"
#include "icons/launcher_icons_win.h"
#include "icons/unit_geticon_win.h"
#include "platform/error_report_win.h"
#include "platform/handles_win.h"
#include "platform/unicode_win.h"
#include "win/shell_test_support.h"

namespace lumora {
namespace {

using namespace std::chrono_literals;

constexpr COLORREF kRed = RGB(220, 20, 30);

// An icon as the shell lookup would give it: white, with a red square of
// 8x8 pixels in the middle.
IconPixels RedSquare() {
  IconPixels pixels = WhiteIconPixels();
  for (int y = 4; y < 12; ++y) {
    for (int x = 4; x < 12; ++x) {
      std::uint8_t* p = pixels.data() + y * kIconRowBytes + x * 3;
      p[0] = GetBValue(kRed);
      p[1] = GetGValue(kRed);
      p[2] = GetRValue(kRed);
    }
  }
  return pixels;
}

// A 32-bit top-down DIB to paint into and read back.
class Canvas {
 public:
  Canvas(int width, int height) : width_(width), height_(height), dc_(CreateCompatibleDC(nullptr)) {
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    bitmap_.reset(CreateDIBSection(dc_.get(), &info, DIB_RGB_COLORS, reinterpret_cast<void**>(&bits_), nullptr, 0));
    old_ = SelectObject(dc_.get(), bitmap_.get());
    RECT all{0, 0, width, height};
    FillRect(dc_.get(), &all, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
  }
  ~Canvas() { SelectObject(dc_.get(), old_); }
  HDC Dc() const { return dc_.get(); }
  COLORREF At(int x, int y) const {
    GdiFlush();
    const std::uint32_t v = bits_[y * width_ + x];
    return RGB((v >> 16) & 0xFF, (v >> 8) & 0xFF, v & 0xFF);
  }

 private:
  int width_, height_;
  platform::MemoryDcHandle dc_;
  platform::BitmapHandle bitmap_;
  std::uint32_t* bits_ = nullptr;
  HGDIOBJ old_ = nullptr;
};

// The GDI objects of this process: the system's count, or where it keeps
// none (Wine answers 0), the used entries of the process's GDI handle table
// (PEB's GdiSharedHandleTable, which Wine keeps for each process).
DWORD GdiObjects() {
  if (const DWORD count = GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS)) return count;
  struct Entry {
    std::uint64_t object;
    std::uint32_t owner;
    std::uint16_t unique;
    std::uint8_t type;
    std::uint8_t flags;
    std::uint64_t user;
  };
  const char* peb = reinterpret_cast<const char*>(NtCurrentTeb()->ProcessEnvironmentBlock);
  const auto* table = *reinterpret_cast<const Entry* const*>(peb + (sizeof(void*) == 8 ? 0xF8 : 0x94));
  if (!table) return 0;
  DWORD used = 0;
  for (int i = 0; i < 65536; ++i) used += table[i].type != 0 ? 1 : 0;
  return used;
}

// Dispatches this thread's messages except WM_PAINT until done() or the timeout.
bool PumpUntil(const std::function<bool()>& done, std::chrono::milliseconds timeout = 10s) {
  const auto end = std::chrono::steady_clock::now() + timeout;
  for (;;) {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, WM_PAINT - 1, PM_REMOVE) ||
           PeekMessageW(&msg, nullptr, WM_PAINT + 1, 0xFFFFFFFF, PM_REMOVE)) {
      TranslateMessage(&msg);
      DispatchMessageW(&msg);
    }
    if (done()) return true;
    if (std::chrono::steady_clock::now() > end) return false;
    Sleep(5);
  }
}

// --- one row, painted straight into a bitmap --------------------------------

class RowPaintTest : public ::testing::Test {
 protected:
  RowPaintTest()
      : icons_(nullptr, WM_APP, folder_.path(), [](const std::string&) { return RedSquare(); },
               // Above 96 DPI the icon at the row's size stays on its way.
               [this](const std::string&, int) {
                 while (!released_) Sleep(1);
                 return std::optional<std::vector<std::uint32_t>>();
               }),
        font_(CreateFontW(-12, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, SHIFTJIS_CHARSET, OUT_DEFAULT_PRECIS,
                          CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, FIXED_PITCH | FF_MODERN, L"ＭＳ ゴシック")) {
    CreateDirectoryA((folder_.path() + "icons").c_str(), nullptr);
  }
  ~RowPaintTest() override { released_ = true; }

  // Paints the row and, when the icon was looked up, again once it arrived.
  void Paint(Canvas& canvas, const RECT& row, int index, bool selected, const char* id, const char* target,
             const wchar_t* name) {
    icons_.PaintRow(canvas.Dc(), row, index, selected, id, target, name, font_.get());
    const auto slot = IconSlotOf(id);
    if (slot && icons_.Cache().Pending(*slot)) {
      TCsvSheet none;
      ASSERT_TRUE(PumpUntil([&] {
        icons_.IconsArrived(nullptr, none);
        return !icons_.Cache().Pending(*slot);
      }));
      icons_.PaintRow(canvas.Dc(), row, index, selected, id, target, name, font_.get());
    }
  }
  // The leftmost column at or right of `from` in the band of rows [top, bottom)
  // with a pixel of the colour; -1 when none.
  static int FirstColumnOf(const Canvas& canvas, COLORREF colour, int from, int to, int top, int bottom) {
    for (int x = from; x < to; ++x) {
      for (int y = top; y < bottom; ++y) {
        if (canvas.At(x, y) == colour) return x;
      }
    }
    return -1;
  }
  int TextHeight() const {
    platform::MemoryDcHandle dc(CreateCompatibleDC(nullptr));
    platform::SelectObjectScope select(dc.get(), font_.get());
    SIZE size{};
    GetTextExtentPoint32W(dc.get(), L"w", 1, &size);
    return size.cy;
  }

  test::TempFolder folder_{"rows"};
  std::atomic<bool> released_{false};
  LauncherIcons icons_;
  platform::FontHandle font_;
};

TEST_F(RowPaintTest, StripesByParityTheCachedIconOnWhiteAndTheNameAt25) {
  Canvas canvas(200, 36);
  Paint(canvas, RECT{0, 0, 200, 18}, 0, false, "1", "a.exe", L"WWW");
  Paint(canvas, RECT{0, 18, 200, 36}, 1, false, "2", "b.exe", L"WWW");
  EXPECT_EQ(canvas.At(1, 9), RGB(255, 255, 255));
  EXPECT_EQ(canvas.At(1, 27), RGB(240, 240, 240));
  EXPECT_EQ(canvas.At(199, 27), RGB(240, 240, 240));
  // The icon at (3, 1) of its row: its white ground stands on the grey row.
  EXPECT_EQ(canvas.At(3, 18 + 1), RGB(255, 255, 255));
  EXPECT_EQ(canvas.At(18, 18 + 16), RGB(255, 255, 255));
  EXPECT_EQ(canvas.At(2, 18 + 1), RGB(240, 240, 240));
  EXPECT_EQ(canvas.At(19, 18 + 1), RGB(240, 240, 240));
  EXPECT_EQ(canvas.At(3 + 8, 18 + 1 + 8), kRed);
  // The name in black from x 25, centred by the height of "w", on the row's colour.
  const int h = TextHeight();
  const int top = 18 + (18 - h) / 2;
  const int first = FirstColumnOf(canvas, RGB(0, 0, 0), 19, 200, 18, 36);
  EXPECT_GE(first, 25);
  EXPECT_LE(first, 27);
  for (int x = 19; x < 200; ++x) {
    for (int y = 18; y < 36; ++y) {
      if (canvas.At(x, y) == RGB(0, 0, 0)) {
        ASSERT_GE(y, top) << x;
        ASSERT_LT(y, top + h) << x;
      }
    }
  }
}

TEST_F(RowPaintTest, ALongNameEndsWithAnEllipsisAfterAWholeCharacterWithinTheRow) {
  platform::MemoryDcHandle dc(CreateCompatibleDC(nullptr));
  platform::SelectObjectScope select(dc.get(), font_.get());
  auto width = [&](const std::wstring& text) {
    SIZE size{};
    GetTextExtentPoint32W(dc.get(), text.data(), static_cast<int>(text.size()), &size);
    return static_cast<int>(size.cx);
  };
  const std::wstring name = L"ab" + std::wstring(30, L'\u3042') + L"\U0001F600";  // ends with a surrogate pair
  EXPECT_EQ(NameForRow(dc.get(), name, width(name)), name) << "a name that fits stays whole";
  for (int room : {40, 101, 113, width(name) - 1}) {
    const std::wstring shown = NameForRow(dc.get(), name, room);
    const std::wstring kept = shown.substr(0, shown.size() - 1);
    EXPECT_EQ(shown.back(), L'\u2026') << room;
    EXPECT_EQ(kept, name.substr(0, kept.size())) << room;
    EXPECT_FALSE(!kept.empty() && IS_HIGH_SURROGATE(kept.back())) << room;
    EXPECT_LE(width(shown), room) << room;
    EXPECT_GT(width(name.substr(0, kept.size() + 1) + L"\u2026"), room) << "one more character fits: " << room;
  }
  // The painted row (its name from x 25) ends with the ellipsis, nothing
  // after it.
  Canvas canvas(120, 18);
  Paint(canvas, RECT{0, 0, 120, 18}, 0, false, "1", "a.exe", name.c_str());
  const std::wstring painted = NameForRow(dc.get(), name, 120 - 25);
  EXPECT_NE(FirstColumnOf(canvas, RGB(0, 0, 0), 25 + width(painted.substr(0, painted.size() - 1)), 25 + width(painted),
                          0, 18), -1) << "no ellipsis";
  EXPECT_EQ(FirstColumnOf(canvas, RGB(0, 0, 0), 25 + width(painted), 120, 0, 18), -1);
}

TEST_F(RowPaintTest, TheSelectionIsTheHighlightFramedByTheStripeWithTheNameInHighlightText) {
  Canvas canvas(200, 36);
  Paint(canvas, RECT{0, 0, 200, 18}, 0, true, "1", "a.exe", L"WWW");
  Paint(canvas, RECT{0, 18, 200, 36}, 1, true, "2", "b.exe", L"WWW");
  const COLORREF highlight = GetSysColor(COLOR_HIGHLIGHT);
  for (const int top : {0, 18}) {
    const COLORREF stripe = top == 0 ? RGB(255, 255, 255) : RGB(240, 240, 240);
    EXPECT_EQ(canvas.At(0, top), stripe);
    EXPECT_EQ(canvas.At(100, top), stripe);
    EXPECT_EQ(canvas.At(199, top + 17), stripe);
    EXPECT_EQ(canvas.At(0, top + 9), stripe);
    EXPECT_EQ(canvas.At(1, top + 9), highlight);
    EXPECT_EQ(canvas.At(198, top + 9), highlight);
    EXPECT_EQ(canvas.At(3, top + 1), RGB(255, 255, 255)) << "the cached icon's white square";
    EXPECT_GE(FirstColumnOf(canvas, GetSysColor(COLOR_HIGHLIGHTTEXT), 19, 200, top + 1, top + 17), 25);
  }
}

TEST_F(RowPaintTest, TheWebIconIsDrawnThroughItsMaskAndNeverLookedUp) {
  Canvas canvas(200, 18);
  Paint(canvas, RECT{0, 0, 200, 18}, 1, false, "3", "http://example.com/", L"");
  EXPECT_FALSE(icons_.Cache().Pending(3));
  EXPECT_EQ(icons_.Cache().Memory().SlotCount(), 0u);
  // The page's transparent left columns show the grey row; its outline does not.
  EXPECT_EQ(canvas.At(3, 1 + 8), RGB(240, 240, 240));
  EXPECT_NE(canvas.At(3 + 2, 1 + 8), RGB(240, 240, 240));
  // An empty name: nothing but the background right of the icon.
  EXPECT_EQ(FirstColumnOf(canvas, RGB(0, 0, 0), 19, 200, 0, 18), -1);
  EXPECT_FALSE(test::FileExists(folder_.path() + "icons\\3.bmp"));
}

TEST_F(RowPaintTest, RowsOfOtherHeightsCentreTheIconTruncatingTowardZero) {
  Canvas canvas(200, 40);
  Paint(canvas, RECT{0, 0, 200, 23}, 0, false, "1", "a.exe", L"");  // (23 - 16) / 2 = 3
  EXPECT_EQ(canvas.At(3 + 8, 3 + 8), kRed);
  EXPECT_EQ(canvas.At(3 + 8, 3 + 3), RGB(255, 255, 255));
  Canvas small(200, 40);
  Paint(small, RECT{0, 20, 200, 33}, 0, false, "1", "a.exe", L"");  // (13 - 16) / 2 = -1
  EXPECT_EQ(small.At(3 + 4, 20 - 1 + 4), kRed);
  EXPECT_NE(small.At(3 + 4, 20 - 2 + 4), kRed);
}

TEST_F(RowPaintTest, Above96DpiTheIconIsDrawnAtTheScaledSize) {
  icons_.ApplyLayout(LauncherLayout(144));
  Canvas canvas(300, 27);
  Paint(canvas, RECT{0, 0, 300, 27}, 1, false, "1", "a.exe", L"");
  const LauncherLayout layout(144);
  const int left = layout.RowIconLeft();
  const int size = layout.RowIconSize();
  ASSERT_EQ(size, 24);
  const int top = (27 - size) / 2;
  const int middle = top + size / 2;
  EXPECT_EQ(canvas.At(left, top), RGB(255, 255, 255));
  EXPECT_EQ(canvas.At(left + size - 1, top + size - 1), RGB(255, 255, 255));
  EXPECT_EQ(canvas.At(left + size, middle), RGB(240, 240, 240));
  // The red square spans half the icon, 12 pixels, not 8.
  int red = 0;
  for (int x = left; x < left + size; ++x) red += canvas.At(x, middle) == kRed ? 1 : 0;
  EXPECT_GE(red, 10);
  EXPECT_LE(red, 14);
}

TEST_F(RowPaintTest, Above96DpiTheIconIsTheShellsAtTheRowIconSize) {
  // A 24-pixel icon of its own: a gradient no stretched 16x16 cell gives.
  std::atomic<int> askedSize{0};
  const auto pixelAt = [](int x, int y) { return static_cast<std::uint32_t>((x * 10) << 16 | (y * 10) << 8 | 0x80); };
  LauncherIcons icons(nullptr, WM_APP, folder_.path(), [](const std::string&) { return RedSquare(); },
                      [&](const std::string&, int size) {
                        askedSize = size;
                        std::vector<std::uint32_t> pixels;
                        for (int y = 0; y < size; ++y) {
                          for (int x = 0; x < size; ++x) pixels.push_back(pixelAt(x, y));
                        }
                        return std::optional<std::vector<std::uint32_t>>(pixels);
                      });
  icons.ApplyLayout(LauncherLayout(144));
  Canvas canvas(300, 27);
  const RECT row{0, 0, 300, 27};
  icons.PaintRow(canvas.Dc(), row, 0, false, "1", "a.exe", L"", font_.get());
  TCsvSheet none;
  ASSERT_TRUE(PumpUntil([&] {
    icons.IconsArrived(nullptr, none);
    return !icons.Busy();
  }));
  icons.IconsArrived(nullptr, none);
  icons.PaintRow(canvas.Dc(), row, 0, false, "1", "a.exe", L"", font_.get());
  EXPECT_EQ(askedSize.load(), 24);
  const int left = LauncherLayout(144).RowIconLeft();
  const int top = (27 - 24) / 2;
  // Every pixel is the 24-pixel icon's own, none the red square stretched.
  for (int y = 0; y < 24; ++y) {
    for (int x = 0; x < 24; ++x) {
      const std::uint32_t p = pixelAt(x, y);
      ASSERT_EQ(canvas.At(left + x, top + y), RGB(p >> 16, (p >> 8) & 0xFF, p & 0xFF)) << x << "," << y;
    }
  }
  // Kept for the run, never written to the 16x16 cache file.
  const std::string file = test::ReadFileBytes(folder_.path() + "icons\\1.bmp");
  EXPECT_EQ(DecodeIconFile(file), std::optional<IconPixels>(RedSquare()));
}

TEST(SizedShellIconTest, AProgramsIconComesAtTheSizeAskedFor) {
  wchar_t self[MAX_PATH]{};
  GetModuleFileNameW(nullptr, self, MAX_PATH);
  const auto icon = LookUpTargetIconAt(platform::WideToAnsi(self), 24);
  ASSERT_TRUE(icon);
  ASSERT_EQ(icon->size(), 24u * 24u);
  EXPECT_NE(std::count(icon->begin(), icon->end(), 0x00FFFFFFu), 24 * 24) << "not a blank cell";
  EXPECT_FALSE(LookUpTargetIconAt("C:\\no such folder\\x.exe", 24));
}

// --- the launcher window --------------------------------------------------------

class IconWindowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    folder = folder_.path();
    CreateDirectoryA((folder + "data").c_str(), nullptr);
    CreateDirectoryA((folder + "icons").c_str(), nullptr);
    WritePrivateProfileStringA("flag", "installed", "1", (folder + "Lumora.ini").c_str());
    WritePrivateProfileStringA("frmLumora", "Height", "400", (folder + "Lumora.ini").c_str());
  }
  void TearDown() override {
    launcher.reset();
    MSG msg;
    PeekMessageW(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE);
  }

  void WriteList(const std::vector<std::vector<std::string>>& rows) {
    std::string text;
    for (const auto& row : rows) {
      for (std::size_t i = 0; i < row.size(); ++i) text += (i ? "\t" : "") + row[i];
      text += "\r\n";
    }
    platform::FileHandle file(CreateFileA((folder + "data\\applist.tsv").c_str(), GENERIC_WRITE, 0, nullptr,
                                          CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    ASSERT_TRUE(file);
    DWORD written = 0;
    ASSERT_TRUE(WriteFile(file.get(), text.data(), static_cast<DWORD>(text.size()), &written, nullptr));
  }

  TfrmLumora& Start(IconLookup lookup) {
    launcher = std::make_unique<TfrmLumora>();
    launcher->UseProgramFolder(folder);
    launcher->UseIconLookup(std::move(lookup));
    launcher->CreateForm();
    return *launcher;
  }
  // Shown, painted, and every lookup of the visible rows answered and painted.
  bool ShowAndSettle() {
    launcher->ShowLauncher();
    return Settle();
  }
  // files: also until every cache file is written.
  bool Settle(bool files = true) {
    UpdateWindow(launcher->ListBox());
    if (!PumpUntil([&] { return Waiting() == 0 && !(files && launcher->Icons()->Busy()); })) return false;
    UpdateWindow(launcher->ListBox());
    return true;
  }
  // Visible rows whose lookup has not been answered yet.
  int Waiting() {
    int waiting = 0;
    LauncherList& list = launcher->List();
    for (int i = 0; i < list.sheetView.RowCount(); ++i) {
      const auto slot = IconSlotOf(list.sheetView.GetCell(0, i));
      if (slot && launcher->Icons()->Cache().Pending(*slot)) ++waiting;
    }
    return waiting;
  }
  std::set<std::string> IconFiles() const {
    std::set<std::string> names;
    WIN32_FIND_DATAA found;
    platform::FindHandle find(FindFirstFileA((folder + "icons\\*").c_str(), &found));
    if (!find) return names;
    do {
      if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) names.insert(found.cFileName);
    } while (FindNextFileA(find.get(), &found));
    return names;
  }
  // The list box's client area as it paints itself now.
  std::unique_ptr<Canvas> PrintList() {
    RECT client{};
    GetClientRect(launcher->ListBox(), &client);
    auto canvas = std::make_unique<Canvas>(client.right, client.bottom);
    SendMessageW(launcher->ListBox(), WM_PRINTCLIENT, reinterpret_cast<WPARAM>(canvas->Dc()),
                 PRF_CLIENT | PRF_ERASEBKGND);
    return canvas;
  }
  RECT ItemRect(int index) {
    RECT r{};
    SendMessageW(launcher->ListBox(), LB_GETITEMRECT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&r));
    return r;
  }

  test::TempFolder folder_{"iconwin"};
  std::string folder;
  std::unique_ptr<TfrmLumora> launcher;
  std::vector<std::string> errors;
  platform::ScopedErrorReportHook hook{[this](HWND, const std::string& text) { errors.push_back(text); }};
};

TEST_F(IconWindowTest, ASlowLookupLeavesTheRowsPaintingWithTheDefaultIconAndRepaintsTheRowWhenItArrives) {
  std::atomic<bool> entered{false}, release{false}, gaveUp{false};
  WriteList({{"1", "slow", "Z:\\sleeping\\disk.exe", "0", ""}});
  TfrmLumora& window = Start([&](const std::string&) {
    entered = true;
    const auto end = std::chrono::steady_clock::now() + 20s;
    while (!release && std::chrono::steady_clock::now() < end) Sleep(5);
    gaveUp = !release;
    return std::optional<IconPixels>(RedSquare());
  });
  window.ShowLauncher();
  UpdateWindow(window.ListBox());
  ASSERT_TRUE(PumpUntil([&] { return entered.load(); }));
  // Painted while the lookup still waits: the default icon at (3, 1).
  const RECT row = ItemRect(0);
  {
    const auto shown = PrintList();
    const IconPixels def = IconOnWhite(window.Icons()->DefaultIcon());
    int same = 0;
    for (int y = 0; y < 16; ++y) {
      for (int x = 0; x < 16; ++x) {
        const std::uint8_t* p = def.data() + y * kIconRowBytes + x * 3;
        same += shown->At(row.left + 3 + x, row.top + 1 + y) == RGB(p[2], p[1], p[0]) ? 1 : 0;
      }
    }
    EXPECT_EQ(same, 256);
    // The window answers its messages meanwhile.
    DWORD_PTR answer = 0;
    EXPECT_NE(SendMessageTimeoutW(window.Handle(), WM_NULL, 0, 0, SMTO_NORMAL, 1000, &answer), 0);
  }
  EXPECT_FALSE(gaveUp.load());
  ValidateRect(window.ListBox(), nullptr);
  release = true;
  ASSERT_TRUE(PumpUntil([&] { return !window.Icons()->Cache().Pending(1); }));
  // The row is due for painting again, and shows the icon then.
  RECT due{};
  ASSERT_TRUE(GetUpdateRect(window.ListBox(), &due, FALSE));
  EXPECT_LE(due.top, row.top + 1);
  EXPECT_GE(due.bottom, row.top + 17);
  const auto painted = PrintList();
  EXPECT_EQ(painted->At(row.left + 3 + 8, row.top + 1 + 8), kRed);
  EXPECT_TRUE(PumpUntil([&] { return test::FileExists(folder + "icons\\1.bmp"); }));
}

TEST_F(IconWindowTest, AListWithHostileIdsAndTargetsWritesOnlyTheFilesItShould) {
  WriteList({{"1", "one", "a.exe", "0", ""},
             {"007", "seven", "b.exe", "0", ""},
             {"2000000000", "huge", "c.exe", "0", ""},
             {"-5", "negative", "d.exe", "0", ""},
             {"..\\..\\x", "up", "e.exe", "0", ""},
             {"C:\\Windows\\x", "windows", "f.exe", "0", ""},
             {"\\\\server\\share\\x", "unc", "g.exe", "0", ""},
             {"a/b:c*d?e<f>g|h", "signs", "h.exe", "0", ""},
             {"CON", "con", "i.exe", "0", ""},
             {"NUL", "nul", "j.exe", "0", ""},
             {"COM1", "com", "k.exe", "0", ""},
             {"20", "web", "x http://example.com/", "0", ""},
             {"21", "webs", "https://example.com/", "0", ""},
             {"22", "unc target", "\\\\server\\share\\file", "0", ""},
             {"23", "capitals", "HTTP://EXAMPLE.COM/", "0", ""}});
  std::atomic<int> lookups{0};
  Start([&](const std::string&) {
    ++lookups;
    return std::optional<IconPixels>(RedSquare());
  });
  ASSERT_TRUE(ShowAndSettle());
  EXPECT_EQ(IconFiles(), (std::set<std::string>{"1.bmp", "007.bmp", "2000000000.bmp", "23.bmp"}));
  // The hostile IDs are non-integers: one shared slot 0, one lookup.
  EXPECT_EQ(lookups.load(), 5);
  EXPECT_FALSE(test::FileExists(folder + "x.bmp"));
  const std::string parent = folder.substr(0, folder.find_last_of('\\', folder.size() - 2) + 1);
  EXPECT_FALSE(test::FileExists(parent + "x.bmp"));
  EXPECT_EQ(test::ReadFileBytes(folder + "icons\\23.bmp"), EncodeIconFile(RedSquare()));
  EXPECT_EQ(launcher->Icons()->Cache().Memory().SlotCount(), 5u);
  EXPECT_TRUE(errors.empty());
}

TEST_F(IconWindowTest, ACacheFolderThatCannotBeWrittenCostsNoMessageAndTheNextRunWritesTheFile) {
  RemoveDirectoryA((folder + "icons").c_str());
  WriteList({{"1", "one", "a.exe", "0", ""}, {"2", "two", "b.exe", "0", ""}});
  {
    test::DialogRobot robot({});
    Start([](const std::string&) { return std::optional<IconPixels>(RedSquare()); });
    ASSERT_TRUE(ShowAndSettle());
    const auto shown = PrintList();
    const LRESULT selected = SendMessageW(launcher->ListBox(), LB_GETCURSEL, 0, 0);
    for (int i = 0; i < 2; ++i) {
      const RECT row = ItemRect(i);
      EXPECT_EQ(shown->At(row.left + 3 + 8, row.top + 1 + 8), kRed) << i;
      const COLORREF fill = i == selected ? GetSysColor(COLOR_HIGHLIGHT) : i % 2 ? RGB(240, 240, 240) : RGB(255, 255, 255);
      int ink = 0;
      for (int x = row.left + 25; x < row.left + 60; ++x) {
        for (int y = row.top + 1; y < row.top + 17; ++y) ink += shown->At(x, y) != fill ? 1 : 0;
      }
      EXPECT_GT(ink, 0) << "the name " << i;
    }
    // Painted again: from memory, still no message.
    InvalidateRect(launcher->ListBox(), nullptr, TRUE);
    UpdateWindow(launcher->ListBox());
    PumpUntil([] { return false; }, 300ms);
    robot.Finish();
    EXPECT_EQ(robot.Unexpected(), 0);
    EXPECT_TRUE(errors.empty());
    launcher.reset();
  }
  ASSERT_TRUE(CreateDirectoryA((folder + "icons").c_str(), nullptr));
  Start([](const std::string&) { return std::optional<IconPixels>(RedSquare()); });
  ASSERT_TRUE(ShowAndSettle());
  EXPECT_EQ(IconFiles(), (std::set<std::string>{"1.bmp", "2.bmp"}));
}

TEST_F(IconWindowTest, ClearingRemovesEveryBmpAtAnyDepthButInDotFoldersAndTheNextPaintWritesThemAgain) {
  WriteList({{"1", "one", "a.exe", "0", ""}, {"2", "two", "b.exe", "0", ""}});
  CreateDirectoryA((folder + "icons\\sub").c_str(), nullptr);
  CreateDirectoryA((folder + "icons\\.keep").c_str(), nullptr);
  const std::string stale = EncodeIconFile(WhiteIconPixels());
  for (const char* name : {"icons\\1.bmp", "icons\\old.BMP", "icons\\sub\\9.bmp", "icons\\.keep\\8.bmp",
                           "icons\\note.txt"}) {
    platform::FileHandle file(CreateFileA((folder + name).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                          FILE_ATTRIBUTE_NORMAL, nullptr));
    DWORD written = 0;
    WriteFile(file.get(), stale.data(), static_cast<DWORD>(stale.size()), &written, nullptr);
  }
  std::atomic<int> lookups{0};
  TfrmLumora& window = Start([&](const std::string&) {
    ++lookups;
    return std::optional<IconPixels>(RedSquare());
  });
  ASSERT_TRUE(ShowAndSettle());
  EXPECT_EQ(lookups.load(), 1) << "1 comes from its file";
  window.mnuClearIconCacheClick();
  EXPECT_EQ(window.Icons()->Cache().Memory().SlotCount(), 0u);
  EXPECT_FALSE(test::FileExists(folder + "icons\\1.bmp"));
  EXPECT_FALSE(test::FileExists(folder + "icons\\2.bmp"));
  EXPECT_FALSE(test::FileExists(folder + "icons\\old.BMP"));
  EXPECT_FALSE(test::FileExists(folder + "icons\\sub\\9.bmp"));
  EXPECT_TRUE(test::FileExists(folder + "icons\\.keep\\8.bmp"));
  EXPECT_TRUE(test::FileExists(folder + "icons\\note.txt"));
  // The command repaints nothing itself; the next paint looks both up again.
  InvalidateRect(window.ListBox(), nullptr, TRUE);
  ASSERT_TRUE(Settle());
  EXPECT_EQ(lookups.load(), 3);
  EXPECT_EQ(test::ReadFileBytes(folder + "icons\\1.bmp"), EncodeIconFile(RedSquare()));
  EXPECT_EQ(test::ReadFileBytes(folder + "icons\\2.bmp"), EncodeIconFile(RedSquare()));
}

TEST_F(IconWindowTest, ClearingNeverFollowsAFolderLinkOutOfTheCache) {
  test::TempFolder pictures("pictures");
  ASSERT_TRUE(CreateDirectoryA((pictures.path() + "deep").c_str(), nullptr));
  for (const std::string& name : {folder + "icons\\1.bmp", pictures.path() + "photo.bmp", pictures.path() + "deep\\old.bmp"}) {
    platform::FileHandle file(
        CreateFileA(name.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    ASSERT_TRUE(file) << name;
  }
  if (!test::MakeLink(folder + "icons\\pictures", pictures.path().substr(0, pictures.path().size() - 1), true) ||
      !test::FileExists(folder + "icons\\pictures\\photo.bmp")) {
    GTEST_SKIP() << "no folder link can be made here";
  }
  Start([](const std::string&) { return std::optional<IconPixels>(RedSquare()); }).mnuClearIconCacheClick();
  EXPECT_FALSE(test::FileExists(folder + "icons\\1.bmp"));
  EXPECT_TRUE(test::FileExists(pictures.path() + "photo.bmp"));
  EXPECT_TRUE(test::FileExists(pictures.path() + "deep\\old.bmp"));
}

TEST_F(IconWindowTest, AReusedIdAndAChangedTargetGetTheirOwnIcons) {
  WriteList({{"1", "one", "a.exe", "0", ""}, {"2", "two", "b.exe", "0", ""}});
  TfrmLumora& window = Start([](const std::string& target) {
    return std::optional<IconPixels>(target == "a.exe" || target == "b.exe" ? RedSquare() : WhiteIconPixels());
  });
  ASSERT_TRUE(ShowAndSettle());
  ASSERT_EQ(test::ReadFileBytes(folder + "icons\\2.bmp"), EncodeIconFile(RedSquare()));
  LauncherList& list = window.List();
  list.DeleteViewEntry(list.sheetView.FindRow(0, "2", 0));
  list.AddDroppedEntries({{"three", "c.exe"}});
  ASSERT_EQ(list.sheetAll.GetCell(0, 1), "2");  // the deleted entry's ID again
  list.StoreEntry("1", "one", "d.exe", "");
  ASSERT_TRUE(Settle());
  EXPECT_EQ(test::ReadFileBytes(folder + "icons\\1.bmp"), EncodeIconFile(WhiteIconPixels()));
  EXPECT_EQ(test::ReadFileBytes(folder + "icons\\2.bmp"), EncodeIconFile(WhiteIconPixels()));
}

TEST_F(IconWindowTest, ScrollingThroughAllRowsOfALongListKeepsTheGdiObjectsLevel) {
  std::vector<std::vector<std::string>> rows;
  constexpr int kRows = 400;
  for (int i = 1; i <= kRows; ++i) rows.push_back({std::to_string(i), "entry " + std::to_string(i), "t.exe", "0", ""});
  WriteList(rows);
  TfrmLumora& window = Start([](const std::string& target) {
    IconPixels pixels = RedSquare();
    pixels[0] = static_cast<std::uint8_t>(target.size());
    return std::optional<IconPixels>(pixels);
  });
  ASSERT_TRUE(ShowAndSettle());
  const DWORD before = GdiObjects();
  ASSERT_GT(before, 0u) << "no count of GDI objects";
  HWND list = window.ListBox();
  RECT client{};
  GetClientRect(list, &client);
  const int page = std::max(1, static_cast<int>(client.bottom / ItemRect(0).bottom));
  for (int top = 0; top < kRows; top += page) {
    SendMessageW(list, LB_SETTOPINDEX, static_cast<WPARAM>(top), 0);
    ASSERT_TRUE(Settle(false)) << top;
  }
  EXPECT_EQ(window.Icons()->Cache().Memory().SlotCount(), static_cast<std::size_t>(kRows));
  const DWORD after = GdiObjects();
  EXPECT_LT(static_cast<long>(after) - static_cast<long>(before), 100L) << before << " -> " << after;
  // Every row was painted with its icon: the last one from memory.
  SendMessageW(list, LB_SETTOPINDEX, kRows - 1, 0);
  UpdateWindow(list);
  const RECT last = ItemRect(kRows - 1);
  EXPECT_EQ(PrintList()->At(last.left + 3 + 8, last.top + 1 + 8), kRed);
}

}  // namespace
}  // namespace lumora
