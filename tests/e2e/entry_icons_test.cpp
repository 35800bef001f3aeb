// The entry icons of the real program: the cache files in "icons\" after the
// first show (one 822-byte BMP per painted entry with a file route, named
// from column 0 as stored, none for web addresses and network paths), broken
// cache files replaced without a message, the rows on the screen (stripes,
// selection, icon and name), the clear command, and the tray icon command
// through the open dialog.
#include <gtest/gtest.h>

#include <set>

#include "launcher_fixture.h"

namespace lumora::e2e {
namespace {

constexpr COLORREF kWhite = RGB(255, 255, 255);
constexpr COLORREF kGrey = RGB(240, 240, 240);

std::uint32_t Le(const std::string& bytes, size_t at, int count) {
  std::uint32_t v = 0;
  for (int i = count - 1; i >= 0; --i) v = (v << 8) | static_cast<unsigned char>(bytes[at + i]);
  return v;
}

// A cache file as the program writes it: "BM", 822 bytes, 16x16 bottom-up, 24 bits.
bool IsCacheFile(const std::optional<std::string>& bytes) {
  return bytes && bytes->size() == 822 && bytes->substr(0, 2) == "BM" && Le(*bytes, 18, 4) == 16 &&
         Le(*bytes, 22, 4) == 16 && Le(*bytes, 28, 2) == 24 && Le(*bytes, 30, 4) == 0;
}

class EntryIcons : public LauncherTest {
 protected:
  void SetUp() override { folder.MakeFolder(L"icons"); }

  std::set<std::wstring> IconFiles(std::wstring_view sub = L"icons\\") const {
    std::set<std::wstring> names;
    WIN32_FIND_DATAW found;
    const HANDLE find = FindFirstFileW(folder.PathOf(std::wstring(sub) + L"*").c_str(), &found);
    if (find == INVALID_HANDLE_VALUE) return names;
    do {
      if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) names.insert(found.cFileName);
    } while (FindNextFileW(find, &found));
    FindClose(find);
    return names;
  }
  bool WaitForIconFiles(const std::set<std::wstring>& expected) {
    const bool done = WaitUntil(
        [&] {
          if (IconFiles() != expected) return false;
          for (const std::wstring& name : expected) {
            if (!IsCacheFile(folder.ReadFile(L"icons\\" + name))) return false;
          }
          return true;
        },
        15s);
    if (!done) {
      std::vector<std::wstring> seen(IconFiles().begin(), IconFiles().end());
      ADD_FAILURE() << "icons\\ holds " << Describe(seen);
    }
    return done;
  }
  // No message box of the program comes up within the time.
  bool NoMessageBox(Millis time = 1s) {
    return HoldsFor([&] { return FindTopLevelWindowByClass(lumora.Id(), kDialogClass) == nullptr; }, time);
  }
};

TEST_F(EntryIcons, TheFirstShowWritesOneCacheFilePerPaintedEntryWithAFileRoute) {
  const std::wstring mark = InstallMark(L"tools\\mark.exe");
  WriteList({{"1", "notepad", "C:\\windows\\notepad.exe", "1", "2026/1/1 9:00:00"},
             {"007", "mark", Utf8FromUtf16(mark), "1", "2026/1/2 9:00:00"},
             {"12", "missing", "C:\\nothing\\here.exe", "1", "2026/1/3 9:00:00"},
             {"20", "web", "http://example.com/", "1", "2026/1/4 9:00:00"},
             {"21", "inner web", "C:\\tools\\browser.exe https://example.com/", "1", "2026/1/5 9:00:00"},
             {"22", "share", "\\\\server\\share\\file.txt", "1", "2026/1/6 9:00:00"},
             {"23", "capitals", "HTTP://EXAMPLE.COM/", "1", "2026/1/7 9:00:00"}});
  ASSERT_TRUE(Start());
  EXPECT_TRUE(IconFiles().empty()) << "nothing is written before the list is painted";
  ASSERT_TRUE(Show());
  ASSERT_TRUE(WaitForIconFiles({L"1.bmp", L"007.bmp", L"12.bmp", L"23.bmp"}));
  // A missing file and a web address in capitals both cache the default icon.
  EXPECT_EQ(folder.ReadFile(L"icons\\12.bmp"), folder.ReadFile(L"icons\\23.bmp"));
  EXPECT_NE(folder.ReadFile(L"icons\\1.bmp"), folder.ReadFile(L"icons\\12.bmp"))
      << "notepad shows the shell's icon, not the default one";
  EXPECT_TRUE(NoMessageBox());
}

TEST_F(EntryIcons, GarbageAndZeroFilledCacheFilesAreReplacedAtTheNextStartWithoutAMessage) {
  WriteList({{"1", "zeros", "C:\\nothing\\a.exe", "1", "2026/1/1 9:00:00"},
             {"2", "garbage", "C:\\nothing\\b.exe", "1", "2026/1/2 9:00:00"}});
  folder.WriteFile(L"icons\\1.bmp", std::string(822, '\0'));
  folder.WriteFile(L"icons\\2.bmp", "BM this is no bitmap at all");
  ASSERT_TRUE(Start());
  ASSERT_TRUE(Show());
  ASSERT_TRUE(WaitForIconFiles({L"1.bmp", L"2.bmp"}));
  EXPECT_TRUE(NoMessageBox());
}

TEST_F(EntryIcons, TheRowsOnTheScreenAreStripedWithTheSelectionIconAndName) {
  WriteList({{"1", "WWWW", "C:\\nothing\\a.exe", "1", "2026/1/1 9:00:00"},
             {"2", "WWWW", "C:\\nothing\\b.exe", "1", "2026/1/2 9:00:00"},
             {"3", "WWWW", "http://example.com/", "1", "2026/1/3 9:00:00"},
             {"4", "WWWW", "C:\\nothing\\d.exe", "1", "2026/1/4 9:00:00"}});
  ASSERT_TRUE(Start());
  ASSERT_TRUE(Show());
  ASSERT_TRUE(WaitForIconFiles({L"1.bmp", L"2.bmp", L"4.bmp"}));
  // The rows are painted again from memory once every icon is there.
  ASSERT_TRUE(HideByTrayClick());
  ASSERT_TRUE(Show());
  const ListBox box(list);
  ASSERT_EQ(box.Count(), 4);
  ASSERT_EQ(box.Selection(), 3);
  Capture screen;
  // Painting finishes after the show: wait for the selected row's colour.
  const COLORREF highlight = GetSysColor(COLOR_HIGHLIGHT);
  ASSERT_TRUE(WaitUntil(
      [&] {
        screen = CaptureScreen();
        const RECT last = box.ItemRectOnScreen(3);
        return screen.PixelAt(last.right - 3, last.top + 9) == highlight;
      },
      5s));
  SaveScreenshot();
  for (int i = 0; i < 4; ++i) {
    const RECT row = box.ItemRectOnScreen(i);
    const COLORREF stripe = i % 2 ? kGrey : kWhite;
    const bool selected = i == 3;
    SCOPED_TRACE(i);
    // The frame in the stripe colour, the inside in the row's fill.
    EXPECT_EQ(screen.PixelAt(row.left, row.top), stripe);
    EXPECT_EQ(screen.PixelAt(row.right - 1, row.bottom - 1), stripe);
    EXPECT_EQ(screen.PixelAt(row.right - 3, row.top + 9), selected ? highlight : stripe);
    EXPECT_EQ(screen.PixelAt(row.left + 2, row.top + 9), selected ? highlight : stripe);
    // A cached icon stands in its white square from x 3; the web icon shows
    // the row through its transparent left columns.
    if (i == 2) {
      EXPECT_EQ(screen.PixelAt(row.left + 3, row.top + 9), stripe);
    } else {
      EXPECT_EQ(screen.PixelAt(row.left + 3, row.top + 1), kWhite);
      EXPECT_EQ(screen.PixelAt(row.left + 18, row.top + 16), kWhite);
    }
    // The name starts at x 25, in black (the selected one in the highlight text colour).
    const COLORREF ink = selected ? GetSysColor(COLOR_HIGHLIGHTTEXT) : RGB(0, 0, 0);
    int first = -1;
    for (int x = row.left + 19; x < row.right && first < 0; ++x) {
      for (int y = row.top + 1; y < row.bottom - 1; ++y) {
        if (screen.PixelAt(x, y) == ink) {
          first = x - row.left;
          break;
        }
      }
    }
    EXPECT_GE(first, 25);
    EXPECT_LE(first, 27);
  }
}

TEST_F(EntryIcons, TheClearCommandRemovesEveryBmpAndTheNextPaintWritesThemAgain) {
  WriteList({{"1", "a", "C:\\nothing\\a.exe", "1", "2026/1/1 9:00:00"},
             {"2", "b", "C:\\windows\\notepad.exe", "1", "2026/1/2 9:00:00"}});
  folder.WriteFile(L"icons\\old\\9.bmp", "old");
  folder.WriteFile(L"icons\\.git\\8.bmp", "kept");
  folder.WriteFile(L"icons\\readme.txt", "kept");
  ASSERT_TRUE(Start());
  ASSERT_TRUE(Show());
  ASSERT_TRUE(WaitUntil(
      [&] {
        return IsCacheFile(folder.ReadFile(L"icons\\1.bmp")) && IsCacheFile(folder.ReadFile(L"icons\\2.bmp"));
      },
      15s));
  ASSERT_TRUE(HideByTrayClick());
  Post(launcher, WM_COMMAND, IDM_CLEARICONCACHE, 0);
  ASSERT_TRUE(WaitUntil([&] { return IconFiles() == std::set<std::wstring>{L"readme.txt"}; }, 5s));
  EXPECT_TRUE(IconFiles(L"icons\\old\\").empty());
  EXPECT_EQ(IconFiles(L"icons\\.git\\"), std::set<std::wstring>{L"8.bmp"});
  ASSERT_TRUE(Show());
  ASSERT_TRUE(WaitUntil(
      [&] {
        return IsCacheFile(folder.ReadFile(L"icons\\1.bmp")) && IsCacheFile(folder.ReadFile(L"icons\\2.bmp"));
      },
      15s));
  EXPECT_TRUE(NoMessageBox());
}

class TrayIconCommand : public EntryIcons {
 protected:
  // Runs the command and answers its open dialog with the file.
  bool ChooseInDialog(const std::wstring& file) {
    Post(launcher, WM_COMMAND, IDM_CHANGETRAYICON, 0);
    const HWND dialog = WaitForDialog(lumora.Id(), 10s);
    if (!dialog) {
      ADD_FAILURE() << "no open dialog";
      return false;
    }
    // The name box: an edit box of its own, or the one inside the name combo box.
    const HWND name = FindChild(dialog, L"Edit");
    if (!name || !SetText(name, file)) {
      ADD_FAILURE() << "the dialog has no name box:\n" << DescribeWindowTree(dialog);
      return false;
    }
    PressButton(dialog, IDOK);
    return WaitForDialogToClose(dialog, 10s);
  }
  std::wstring IconPath() const { return folder.PathOf(L"mine.ico"); }
  void WriteIcon() { folder.WriteFile(L"mine.ico", IconBytes()); }
  // A 16x16 icon file, 24 bits, all opaque, blue.
  static std::string IconBytes() {
    std::string image;
    auto put = [](std::string& s, std::uint32_t v, int n) {
      for (int i = 0; i < n; ++i) s += static_cast<char>((v >> (8 * i)) & 0xFF);
    };
    put(image, 40, 4);
    put(image, 16, 4);
    put(image, 32, 4);
    put(image, 1, 2);
    put(image, 24, 2);
    for (int i = 0; i < 6; ++i) put(image, 0, 4);
    for (int p = 0; p < 256; ++p) image += std::string("\xFF\x00\x00", 3);
    image += std::string(64, '\0');
    std::string file;
    put(file, 0, 2);
    put(file, 1, 2);
    put(file, 1, 2);
    file += "\x10\x10";
    put(file, 0, 2);
    put(file, 1, 2);
    put(file, 24, 2);
    put(file, static_cast<std::uint32_t>(image.size()), 4);
    put(file, 22, 4);
    return file + image;
  }
};

TEST_F(TrayIconCommand, AChosenIconIsStoredAndKeptAcrossARestartABitmapIsRefused) {
  WriteIcon();
  folder.WriteFile(L"picture.bmp", std::string("BM") + std::string(820, '\0'));
  ASSERT_TRUE(Start());
  ASSERT_TRUE(ChooseInDialog(folder.PathOf(L"picture.bmp")));
  const HWND box = WaitForDialog(lumora.Id(), 10s);
  ASSERT_NE(box, nullptr);
  EXPECT_EQ(DialogCaption(box), Utf16FromUtf8("アイコンの指定"));
  EXPECT_NE(DialogMessage(box).find(Utf16FromUtf8("アイコン形式として認識できません！")), std::wstring::npos);
  PressButton(box, IDOK);
  ASSERT_TRUE(WaitForDialogToClose(box));
  EXPECT_EQ(SettingsValue(L"icon", L"tasktray"), "<missing>");

  ASSERT_TRUE(ChooseInDialog(IconPath()));
  ASSERT_TRUE(WaitUntil([&] { return SettingsValue(L"icon", L"tasktray") == Utf8FromUtf16(IconPath()); }, 5s));
  EXPECT_TRUE(NoMessageBox());
  // The taskbar re-created: the program puts its icon back without a word.
  Post(launcher, RegisterWindowMessageW(L"TaskbarCreated"));
  EXPECT_TRUE(NoMessageBox());
  EXPECT_TRUE(lumora.IsRunning());

  // Restarted with the stored icon: it starts as before.
  lumora.Kill();
  ASSERT_TRUE(StartWithoutSettings());
  EXPECT_EQ(SettingsValue(L"icon", L"tasktray"), Utf8FromUtf16(IconPath()));
  EXPECT_TRUE(NoMessageBox());
  ASSERT_TRUE(Show());
}

}  // namespace
}  // namespace lumora::e2e
