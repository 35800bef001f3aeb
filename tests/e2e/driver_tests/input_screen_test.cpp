// Keyboard, mouse and screen capture against windows of this process: the
// input goes through the system's input queue exactly as it would to
// another program.
#include <gtest/gtest.h>

#include <windows.h>

#include "driver/driver.h"
#include "test_windows.h"

namespace lumora::e2e {
namespace {

using testing::TestWindow;

bool FocusOn(HWND control) {
  SetForegroundWindow(GetAncestor(control, GA_ROOT));
  SetFocus(control);
  return WaitUntil([&] { return GetFocus() == control; }, 2s);
}

TEST(DriverInput, TypesUnicodeTextAndKeysIntoTheFocusedEditBox) {
  TestWindow window({100, 100, 400, 300});
  ASSERT_TRUE(FocusOn(window.Edit()));
  TypeText(L"abc日本");
  EXPECT_TRUE(WaitUntil([&] { return EditText(window.Edit()) == L"abc日本"; }, 2s)) << Utf8FromUtf16(EditText(window.Edit()));
  PressKey(VK_BACK);
  EXPECT_TRUE(WaitUntil([&] { return EditText(window.Edit()) == L"abc日"; }, 2s)) << Utf8FromUtf16(EditText(window.Edit()));
  PressKey('X', kShift);
  PressKey('Y');
  EXPECT_TRUE(WaitUntil([&] { return EditText(window.Edit()) == L"abc日Xy"; }, 2s)) << Utf8FromUtf16(EditText(window.Edit()));
  PressKey(VK_HOME);
  PressKey(VK_RIGHT, kShift);
  EXPECT_TRUE(WaitUntil([&] { return EditSelection(window.Edit()) == std::make_pair(0, 1); }, 2s));
}

TEST(DriverInput, ModifiersAreHeldDuringTheKeyAndReleasedAfter) {
  TestWindow window({100, 100, 400, 300});
  ASSERT_TRUE(FocusOn(window.Edit()));
  TypeText(L"abcd");
  ASSERT_TRUE(WaitUntil([&] { return EditText(window.Edit()) == L"abcd"; }, 2s));
  PressKey(VK_LEFT, kShift | kCtrl);  // selects the word back to the start
  EXPECT_TRUE(WaitUntil([&] { return EditSelection(window.Edit()) == std::make_pair(0, 4); }, 2s));
  PumpFor(50ms);
  EXPECT_FALSE(GetKeyState(VK_SHIFT) & 0x8000);
  EXPECT_FALSE(GetKeyState(VK_CONTROL) & 0x8000);
}

TEST(DriverInput, ClicksAndDoubleClicksAtScreenPoints) {
  TestWindow window({100, 100, 400, 300});
  const ListBox list(window.List());
  const POINT third = CenterOf(list.ItemRectOnScreen(2));
  ClickAt(third);
  EXPECT_TRUE(WaitUntil([&] { return list.Selection() == 2; }, 2s));
  EXPECT_EQ(CursorPosition().x, third.x);
  EXPECT_EQ(CursorPosition().y, third.y);

  // In this process the ANSI message converts as on Windows.
  if (GetACP() == 932) {
    EXPECT_EQ(list.ItemAnsi(1), "\x93\x64\x91\xEC");
  }
  EXPECT_EQ(list.ItemAnsi(2), "abc");

  DoubleClickAt(CenterOf(list.ItemRectOnScreen(1)));
  EXPECT_TRUE(WaitUntil([&] { return window.listDoubleClicks == 1 && list.Selection() == 1; }, 2s));

  ClickAt(CenterOf(WindowRectOf(window.Button())));
  EXPECT_TRUE(WaitUntil([&] { return window.buttonClicks == 1; }, 2s));
}

TEST(DriverInput, MovesTheCursor) {
  MoveMouse({321, 234});
  EXPECT_EQ(CursorPosition().x, 321);
  EXPECT_EQ(CursorPosition().y, 234);
  MoveMouse({5, 6});
  EXPECT_EQ(CursorPosition().x, 5);
  EXPECT_EQ(CursorPosition().y, 6);
}

TEST(DriverScreenshot, CapturesWhatIsOnTheScreen) {
  TestWindow red({60, 80, 260, 180}, RGB(255, 0, 0), false);
  TestWindow blue({300, 80, 400, 180}, RGB(0, 0, 255), false);
  PumpFor(100ms);
  const Capture capture = CaptureScreen();
  EXPECT_EQ(capture.width, GetSystemMetrics(SM_CXSCREEN));
  EXPECT_EQ(capture.height, GetSystemMetrics(SM_CYSCREEN));
  EXPECT_EQ(capture.PixelAt(160, 130), RGB(255, 0, 0));
  EXPECT_EQ(capture.PixelAt(61, 81), RGB(255, 0, 0));
  EXPECT_EQ(capture.PixelAt(350, 130), RGB(0, 0, 255));
  EXPECT_NE(capture.PixelAt(280, 130), RGB(255, 0, 0));
  EXPECT_THROW(capture.PixelAt(capture.width, 0), std::out_of_range);
}

TEST(DriverScreenshot, SavesABottomUp24BitBmp) {
  TestWindow red({60, 80, 260, 180}, RGB(255, 0, 0), false);
  PumpFor(100ms);
  ProgramFolder folder;
  const std::wstring path = folder.PathOf(L"screen.bmp");
  const Capture capture = CaptureScreen();
  SaveBmp(capture, path);
  const auto bytes = folder.ReadFile(L"screen.bmp");
  ASSERT_TRUE(bytes.has_value());
  ASSERT_GT(bytes->size(), sizeof(BITMAPFILEHEADER) + sizeof(BITMAPINFOHEADER));
  BITMAPFILEHEADER file;
  BITMAPINFOHEADER info;
  memcpy(&file, bytes->data(), sizeof file);
  memcpy(&info, bytes->data() + sizeof file, sizeof info);
  EXPECT_EQ(file.bfType, 0x4D42);
  EXPECT_EQ(file.bfSize, bytes->size());
  EXPECT_EQ(info.biWidth, capture.width);
  EXPECT_EQ(info.biHeight, capture.height);  // positive: bottom-up
  EXPECT_EQ(info.biBitCount, 24);
  // Screen row 130 is file row height-1-130.
  const size_t stride = static_cast<size_t>(capture.Stride());
  const size_t offset = file.bfOffBits + stride * (capture.height - 1 - 130) + 160 * 3;
  ASSERT_LT(offset + 2, bytes->size());
  EXPECT_EQ(static_cast<unsigned char>((*bytes)[offset]), 0);         // blue
  EXPECT_EQ(static_cast<unsigned char>((*bytes)[offset + 1]), 0);     // green
  EXPECT_EQ(static_cast<unsigned char>((*bytes)[offset + 2]), 255);   // red
}

}  // namespace
}  // namespace lumora::e2e
