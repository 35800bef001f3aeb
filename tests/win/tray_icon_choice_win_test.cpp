// The tray icon command against a scripted shell and a chooser of the test's
// own (and once through the system's open dialog): an icon file goes into
// the tray at once and into [icon] tasktray, a bitmap file or a settings
// file that cannot be written is told and changes nothing, the dialog's
// filter is back at rest in every case, the icon chosen last comes back when
// the taskbar is re-created, and the start-up loads the stored file.
#include <windows.h>
#include <shellapi.h>

#include <gtest/gtest.h>

#include <cstring>
#include <optional>
#include <string>
#include <vector>

#include "icons/icon_cache.h"
#include "icons/tray_icon_choice_win.h"
#include "platform/unicode_win.h"
#include "win/shell_test_support.h"

namespace lumora {
namespace {

void Put(std::string& out, std::uint32_t value, int bytes) {
  for (int i = 0; i < bytes; ++i) out += static_cast<char>((value >> (8 * i)) & 0xFF);
}

// A 16x16 icon file, 24 bits with an all-opaque mask, of one colour.
std::string IconFileBytes(COLORREF colour) {
  std::string image;
  Put(image, 40, 4);
  Put(image, 16, 4);
  Put(image, 32, 4);
  Put(image, 1, 2);
  Put(image, 24, 2);
  for (int i = 0; i < 6; ++i) Put(image, 0, 4);
  for (int p = 0; p < 256; ++p) {
    image += static_cast<char>(GetBValue(colour));
    image += static_cast<char>(GetGValue(colour));
    image += static_cast<char>(GetRValue(colour));
  }
  image += std::string(16 * 4, '\0');  // the mask: every pixel shown
  std::string file;
  Put(file, 0, 2);
  Put(file, 1, 2);
  Put(file, 1, 2);
  file += static_cast<char>(16);
  file += static_cast<char>(16);
  Put(file, 0, 2);
  Put(file, 1, 2);
  Put(file, 24, 2);
  Put(file, static_cast<std::uint32_t>(image.size()), 4);
  Put(file, 22, 4);
  return file + image;
}

void WriteBytes(const std::string& path, const std::string& bytes) {
  platform::FileHandle file(
      CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
  ASSERT_TRUE(file) << path;
  DWORD written = 0;
  ASSERT_TRUE(WriteFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr));
}

// The colour of an icon's middle pixel drawn on black.
COLORREF MiddleOf(HICON icon) {
  platform::MemoryDcHandle dc(CreateCompatibleDC(nullptr));
  BITMAPINFO info{};
  info.bmiHeader = {sizeof(BITMAPINFOHEADER), 16, -16, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
  void* bits = nullptr;
  platform::BitmapHandle bitmap(CreateDIBSection(dc.get(), &info, DIB_RGB_COLORS, &bits, nullptr, 0));
  platform::SelectObjectScope select(dc.get(), bitmap.get());
  DrawIconEx(dc.get(), 0, 0, icon, 16, 16, 0, nullptr, DI_NORMAL);
  GdiFlush();
  const std::uint32_t v = static_cast<const std::uint32_t*>(bits)[8 * 16 + 8];
  return RGB((v >> 16) & 0xFF, (v >> 8) & 0xFF, v & 0xFF);
}

class TrayIconChoiceTest : public ::testing::Test {
 protected:
  TrayIconChoiceTest()
      : settings(folder.path() + "Lumora.ini"),
        tray(nullptr, builtIn.get(), "Lumora",
             [this](DWORD message, NOTIFYICONDATAA* data) {
               shown.push_back(message == NIM_DELETE ? nullptr : data->hIcon);
               return TRUE;
             },
             [](DWORD) {}) {
    WriteBytes(blue, IconFileBytes(RGB(0, 0, 255)));
    WriteBytes(green, IconFileBytes(RGB(0, 255, 0)));
    WriteBytes(bitmap, EncodeIconFile(WhiteIconPixels()));
    tray.EnsureIcon();
    shown.clear();
  }

  // A chooser that answers with the path (or cancels) and notes the filter.
  TrayIconChoice::ChooseFile Answer(std::optional<std::string> path) {
    return [this, path](const std::wstring& filter) -> std::optional<std::wstring> {
      seenFilters.push_back(filter);
      if (!path) return std::nullopt;
      return platform::AnsiToWide(*path);
    };
  }
  std::string Stored() const {
    char value[MAX_PATH * 2] = {};
    GetPrivateProfileStringA("icon", "tasktray", "<none>", value, sizeof value, settings.Path().c_str());
    return value;
  }

  test::TempFolder folder{"trayicon"};
  std::string blue = folder.path() + "blue.ico";
  std::string green = folder.path() + "green.ico";
  std::string bitmap = folder.path() + "picture.bmp";
  platform::IconHandle builtIn{CopyIcon(LoadIconW(nullptr, reinterpret_cast<LPCWSTR>(IDI_APPLICATION)))};
  platform::IniFile settings;
  std::vector<HICON> shown;
  std::vector<std::wstring> seenFilters;
  TMarlTasktray tray;
};

TEST_F(TrayIconChoiceTest, AnIconFileGoesIntoTheTrayAtOnceAndIntoTheSettings) {
  TrayIconChoice choice(Answer(blue));
  EXPECT_EQ(choice.Filter(), L"*.*|*.*");
  test::DialogRobot robot({});
  choice.Change(settings, tray);
  EXPECT_EQ(robot.Finish(), 0);
  EXPECT_EQ(robot.Unexpected(), 0);
  EXPECT_EQ(seenFilters, (std::vector<std::wstring>{L"icon|*.ico;*.bmp"}));
  EXPECT_EQ(choice.Filter(), L"*.*|*.*");
  ASSERT_NE(choice.Chosen(), nullptr);
  ASSERT_FALSE(shown.empty());
  EXPECT_EQ(shown.back(), choice.Chosen());
  EXPECT_EQ(MiddleOf(choice.Chosen()), RGB(0, 0, 255));
  EXPECT_EQ(Stored(), blue);

  // A second choice replaces the first; the taskbar re-created shows it.
  TrayIconChoice::ChooseFile second = Answer(green);
  choice = TrayIconChoice(second);
  choice.Change(settings, tray);
  EXPECT_EQ(MiddleOf(choice.Chosen()), RGB(0, 255, 0));
  EXPECT_EQ(Stored(), green);
  shown.clear();
  tray.HandleTrayMessage(tray.TaskbarCreatedMessage(), 0, 0);
  ASSERT_FALSE(shown.empty());
  EXPECT_EQ(shown.back(), choice.Chosen());
}

TEST_F(TrayIconChoiceTest, RunningTwiceKeepsTheSecondIconAndFreesTheFirst) {
  std::vector<std::string> answers = {blue, green};
  TrayIconChoice choice([&](const std::wstring&) -> std::optional<std::wstring> {
    const std::string next = answers.front();
    answers.erase(answers.begin());
    return platform::AnsiToWide(next);
  });
  choice.Change(settings, tray);
  const HICON first = choice.Chosen();
  ICONINFO info{};
  ASSERT_TRUE(GetIconInfo(first, &info));
  DeleteObject(info.hbmColor);
  DeleteObject(info.hbmMask);
  choice.Change(settings, tray);
  EXPECT_NE(choice.Chosen(), first);
  EXPECT_EQ(shown.back(), choice.Chosen());
  EXPECT_EQ(MiddleOf(choice.Chosen()), RGB(0, 255, 0));
  EXPECT_FALSE(GetIconInfo(first, &info)) << "the first icon is still alive";
}

TEST_F(TrayIconChoiceTest, ABitmapFileIsToldAndChangesNothing) {
  TrayIconChoice choice(Answer(bitmap));
  std::wstring caption, text;
  test::DialogRobot robot({[&](HWND box) {
    caption = test::WindowText(box);
    text = test::StaticTexts(box);
    test::PressButton(box, IDOK);
  }});
  choice.Change(settings, tray);
  EXPECT_EQ(robot.Finish(), 1);
  EXPECT_EQ(caption, L"アイコンの指定");
  EXPECT_NE(text.find(L"アイコン形式として認識できません！"), std::wstring::npos);
  EXPECT_EQ(choice.Chosen(), nullptr);
  EXPECT_TRUE(shown.empty());
  EXPECT_EQ(Stored(), "<none>");
  EXPECT_EQ(choice.Filter(), L"*.*|*.*");
}

TEST_F(TrayIconChoiceTest, ACancelChangesNothingAndRestsTheFilter) {
  TrayIconChoice choice(Answer(std::nullopt));
  test::DialogRobot robot({});
  choice.Change(settings, tray);
  EXPECT_EQ(robot.Finish(), 0);
  EXPECT_EQ(robot.Unexpected(), 0);
  EXPECT_EQ(seenFilters.size(), 1u);
  EXPECT_EQ(choice.Filter(), L"*.*|*.*");
  EXPECT_TRUE(shown.empty());
  EXPECT_EQ(Stored(), "<none>");
}

TEST_F(TrayIconChoiceTest, ASettingsFileThatCannotBeWrittenIsToldAndTheTrayStays) {
  platform::IniFile unwritable(folder.path() + "missing\\Lumora.ini");
  TrayIconChoice choice(Answer(blue));
  std::wstring text;
  test::DialogRobot robot({[&](HWND box) {
    text = test::StaticTexts(box);
    test::PressButton(box, IDOK);
  }});
  choice.Change(unwritable, tray);
  EXPECT_EQ(robot.Finish(), 1);
  EXPECT_NE(text.find(L"アイコン形式として認識できません！"), std::wstring::npos);
  EXPECT_TRUE(shown.empty());
  EXPECT_EQ(choice.Chosen(), nullptr);
  EXPECT_EQ(choice.Filter(), L"*.*|*.*");
}

TEST_F(TrayIconChoiceTest, TheStartUpLoadsTheStoredIconAndKeepsTheBuiltInOneWhenItFails) {
  EXPECT_FALSE(LoadStoredTrayIcon(settings));
  settings.WriteString("icon", "tasktray", blue);
  const platform::IconHandle loaded = LoadStoredTrayIcon(settings);
  ASSERT_TRUE(loaded);
  EXPECT_EQ(MiddleOf(loaded.get()), RGB(0, 0, 255));
  settings.WriteString("icon", "tasktray", bitmap);
  EXPECT_FALSE(LoadStoredTrayIcon(settings));
  settings.WriteString("icon", "tasktray", folder.path() + "gone.ico");
  EXPECT_FALSE(LoadStoredTrayIcon(settings));
}

// The image header claims 0x7FFFFFFF x -0x7FFFFFFF pixels: the system's
// loader would end the program, at the choice and at every start.
TEST_F(TrayIconChoiceTest, AnIconFileClaimingAHugeImageIsNeverLoaded) {
  std::string bytes = IconFileBytes(RGB(0, 0, 255));
  bytes.replace(22 + 4, 8, "\xFF\xFF\xFF\x7F\x01\x00\x00\x80");
  WriteBytes(folder.path() + "huge.ico", bytes);
  settings.WriteString("icon", "tasktray", folder.path() + "huge.ico");
  EXPECT_FALSE(LoadStoredTrayIcon(settings));
}

BOOL CALLBACK TakeFirstEdit(HWND child, LPARAM found) {
  if (test::ClassName(child) != L"Edit") return TRUE;
  *reinterpret_cast<HWND*>(found) = child;
  return FALSE;
}

TEST_F(TrayIconChoiceTest, TheSystemDialogOffersTheIconFilterAndGivesTheTypedFile) {
  std::wstring filterShown;
  test::DialogRobot robot({[&](HWND dialog) {
    // The file type box shows the filter's name; the name box takes the path.
    HWND types = GetDlgItem(dialog, 0x470);  // cmb1
    if (types) filterShown = test::WindowText(types);
    if (types && filterShown.empty()) {
      wchar_t item[64] = {};
      const LRESULT current = SendMessageW(types, CB_GETCURSEL, 0, 0);
      SendMessageW(types, CB_GETLBTEXT, static_cast<WPARAM>(current), reinterpret_cast<LPARAM>(item));
      filterShown = item;
    }
    // The name box: an edit box of its own, or the one inside the name combo box.
    HWND name = nullptr;
    EnumChildWindows(dialog, TakeFirstEdit, reinterpret_cast<LPARAM>(&name));
    SetWindowTextW(name, platform::AnsiToWide(blue).c_str());
    test::PressButton(dialog, IDOK);
  }});
  const std::optional<std::wstring> chosen = ChooseFileWithFilter(TrayIconChoice::kIconFilter);
  EXPECT_EQ(robot.Finish(), 1);
  EXPECT_EQ(filterShown, L"icon");
  ASSERT_TRUE(chosen.has_value());
  EXPECT_EQ(platform::WideToAnsi(*chosen), blue);
}

}  // namespace
}  // namespace lumora
