// Measures the launcher window's row painting and icon lookups in this
// process (not a test; scripts/icons-perf.sh runs it under Wine), each
// figure beside its baseline from the same run:
//   1. a visible page of rows with every icon in memory, per row, against a
//      plain FillRect + TextOutW of the same rows;
//   2. 10,000 entries and an empty cache: the time from the show to a page
//      whose rows all show their own icons (the shell's lookups);
//   3. GDI objects and private bytes after every row of the 10,000 has been
//      painted, against the figures before the first show;
//   4. with a lookup that takes 200 ms, the longest paint of the list while
//      scrolling a page at a time.
#include <windows.h>
#include <psapi.h>
#include <winternl.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>
#include <thread>

#include "app/frmLumoraU_win.h"
#include "icons/unit_geticon_win.h"
#include "platform/handles_win.h"

namespace {

using Clock = std::chrono::steady_clock;
using namespace lumora;

double Ms(Clock::duration d) { return std::chrono::duration<double, std::milli>(d).count(); }

void Pump() {
  MSG msg;
  while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
}

std::size_t PrivateBytes() {
  PROCESS_MEMORY_COUNTERS_EX counters{};
  counters.cb = sizeof counters;
  GetProcessMemoryInfo(GetCurrentProcess(), reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&counters), sizeof counters);
  return counters.PrivateUsage ? counters.PrivateUsage : counters.PagefileUsage;
}
// The system's count, or where it keeps none (Wine answers 0) the used
// entries of the process's GDI handle table.
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

std::string MakeFolder(int entries, const char* tag) {
  char temp[MAX_PATH];
  GetTempPathA(MAX_PATH, temp);
  const std::string folder = std::string(temp) + "lumora_icons_bench_" + tag + "_" + std::to_string(GetCurrentProcessId()) + "\\";
  CreateDirectoryA(folder.c_str(), nullptr);
  CreateDirectoryA((folder + "data").c_str(), nullptr);
  CreateDirectoryA((folder + "icons").c_str(), nullptr);
  WritePrivateProfileStringA("flag", "installed", "1", (folder + "Lumora.ini").c_str());
  // Targets that exist, of a few kinds, so the shell has icons to give.
  char windows[MAX_PATH];
  GetWindowsDirectoryA(windows, MAX_PATH);
  const std::string targets[] = {std::string(windows) + "\\notepad.exe", std::string(windows) + "\\win.ini",
                                 std::string(windows), std::string(windows) + "\\system32\\calc.exe"};
  std::string text;
  for (int i = 1; i <= entries; ++i) {
    text += std::to_string(i) + "\tentry " + std::to_string(i) + "\t" + targets[i % 4] + "\t0\t\r\n";
  }
  platform::FileHandle file(CreateFileA((folder + "data\\applist.tsv").c_str(), GENERIC_WRITE, 0, nullptr,
                                        CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
  DWORD written = 0;
  WriteFile(file.get(), text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
  return folder;
}

void RemoveFolder(const std::string& folder) {
  const std::string command = "cmd /c rmdir /s /q \"" + folder + "\"";
  WinExec(command.c_str(), SW_HIDE);
}

bool Settled(TfrmLumora& window) {
  LauncherList& list = window.List();
  HWND box = window.ListBox();
  const int top = static_cast<int>(SendMessageW(box, LB_GETTOPINDEX, 0, 0));
  RECT client{};
  GetClientRect(box, &client);
  for (int i = top; i < list.sheetView.RowCount(); ++i) {
    RECT item{};
    SendMessageW(box, LB_GETITEMRECT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&item));
    if (item.top >= client.bottom) break;
    const auto slot = IconSlotOf(list.sheetView.GetCell(0, i));
    if (slot && window.Icons()->Cache().Pending(*slot)) return false;
  }
  return GetUpdateRect(box, nullptr, FALSE) == FALSE;
}

void SettleFully(TfrmLumora& window) {
  for (;;) {
    Pump();
    UpdateWindow(window.ListBox());
    if (Settled(window)) return;
    Sleep(1);
  }
}

}  // namespace

int main() {
  constexpr int kEntries = 10000;
  std::printf("Lumora entry icons, %d entries\n\n", kEntries);

  // --- 2 and 3: cold show and a scroll through everything --------------------
  const std::string folder = MakeFolder(kEntries, "shell");
  const DWORD gdiBefore = GdiObjects();
  const std::size_t bytesBefore = PrivateBytes();
  auto window = std::make_unique<TfrmLumora>();
  window->UseProgramFolder(folder);
  window->CreateForm();
  Pump();
  const DWORD gdiCreated = GdiObjects();
  const std::size_t bytesCreated = PrivateBytes();

  const auto showStart = Clock::now();
  window->ShowLauncher();
  SettleFully(*window);
  const auto coldShow = Clock::now() - showStart;
  const DWORD gdiShown = GdiObjects();
  const std::size_t bytesShown = PrivateBytes();

  HWND box = window->ListBox();
  RECT client{};
  GetClientRect(box, &client);
  RECT first{};
  SendMessageW(box, LB_GETITEMRECT, 0, reinterpret_cast<LPARAM>(&first));
  const int page = std::max(1, static_cast<int>(client.bottom / std::max(1L, first.bottom - first.top)));
  const auto scrollStart = Clock::now();
  DWORD gdiHalf = 0;
  for (int top = 0; top < kEntries; top += page) {
    SendMessageW(box, LB_SETTOPINDEX, static_cast<WPARAM>(top), 0);
    SettleFully(*window);
    if (gdiHalf == 0 && top >= kEntries / 2) gdiHalf = GdiObjects();
  }
  const auto scroll = Clock::now() - scrollStart;
  const DWORD gdiAfter = GdiObjects();
  const std::size_t bytesAfter = PrivateBytes();

  // --- 1: a warm page, per row, against the plain drawing of the same rows ---
  SendMessageW(box, LB_SETTOPINDEX, 0, 0);
  SettleFully(*window);
  platform::WindowDc screen(box);
  platform::MemoryDcHandle dc(CreateCompatibleDC(screen.get()));
  platform::BitmapHandle canvas(CreateCompatibleBitmap(screen.get(), client.right, client.bottom));
  platform::SelectObjectScope selectCanvas(dc.get(), canvas.get());
  HFONT font = reinterpret_cast<HFONT>(SendMessageW(box, WM_GETFONT, 0, 0));
  LauncherList& list = window->List();
  constexpr int kRounds = 2000;
  const int rows = std::min(page, list.sheetView.RowCount());
  std::wstring names[64];
  for (int i = 0; i < rows && i < 64; ++i) {
    const std::string name = list.sheetView.GetCell(1, i);
    names[i] = std::wstring(name.begin(), name.end());
  }
  const int height = first.bottom - first.top;
  auto time = [&](auto paintRow) {
    const auto start = Clock::now();
    for (int round = 0; round < kRounds; ++round) {
      for (int i = 0; i < rows; ++i) paintRow(i, RECT{0, i * height, client.right, (i + 1) * height});
    }
    GdiFlush();
    return Ms(Clock::now() - start) * 1000.0 / (kRounds * rows);  // microseconds a row
  };
  const double plain = time([&](int i, const RECT& r) {
    FillRect(dc.get(), &r, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
    platform::SelectObjectScope selectFont(dc.get(), font);
    TextOutW(dc.get(), r.left + 25, r.top + 3, names[i].c_str(), static_cast<int>(names[i].size()));
  });
  const double rowsPainted = time([&](int i, const RECT& r) {
    window->Icons()->PaintRow(dc.get(), r, i, false, list.sheetView.GetRow(i).CellView(0),
                              list.sheetView.GetRow(i).CellView(2), names[i], font);
  });
  window.reset();
  Pump();
  RemoveFolder(folder);

  // --- 4: a lookup of 200 ms, the longest paint while scrolling --------------
  const std::string slowFolder = MakeFolder(2000, "slow");
  auto slow = std::make_unique<TfrmLumora>();
  slow->UseProgramFolder(slowFolder);
  slow->UseIconLookup([](const std::string& target) {
    Sleep(200);
    return LookUpTargetIcon(target);
  });
  slow->CreateForm();
  slow->ShowLauncher();
  Pump();
  double longestPaint = 0;
  for (int top = 0; top < 600; top += page) {
    SendMessageW(slow->ListBox(), LB_SETTOPINDEX, static_cast<WPARAM>(top), 0);
    const auto start = Clock::now();
    UpdateWindow(slow->ListBox());
    longestPaint = std::max(longestPaint, Ms(Clock::now() - start));
    Pump();
  }
  slow.reset();
  Pump();
  RemoveFolder(slowFolder);

  std::printf("%-58s %12s %12s\n", "measure", "Lumora", "baseline");
  std::printf("%-58s %9.2f us %9.2f us  (%.2fx; goal under 2x)\n", "1. warm page, per row (PaintRow / FillRect+TextOut)",
              rowsPainted, plain, rowsPainted / plain);
  std::printf("%-58s %9.1f ms\n", "2. cold cache, show to a fully painted page", Ms(coldShow));
  std::printf("%-58s %9.1f ms   (%d pages of %d rows)\n", "   scroll through all entries, every page settled",
              Ms(scroll), (kEntries + page - 1) / page, page);
  std::printf("%-58s %12lu %12lu  (growth over the scroll %ld, goal under 100; half-way %lu)\n",
              "3. GDI objects after the scroll / after the first page", static_cast<unsigned long>(gdiAfter),
              static_cast<unsigned long>(gdiShown), static_cast<long>(gdiAfter) - static_cast<long>(gdiShown),
              static_cast<unsigned long>(gdiHalf));
  std::printf("%-58s %12lu %12lu  (before the window was made: %lu)\n",
              "   GDI objects before the first show / after start-up", static_cast<unsigned long>(gdiCreated),
              static_cast<unsigned long>(gdiCreated), static_cast<unsigned long>(gdiBefore));
  std::printf("%-58s %9.1f MB %9.1f MB  (before the first show %.1f MB; before the window %.1f MB)\n",
              "   private bytes after the scroll / after the first page", bytesAfter / 1048576.0,
              bytesShown / 1048576.0, bytesCreated / 1048576.0, bytesBefore / 1048576.0);
  std::printf("%-58s %9.1f ms   (goal under 50 ms; each lookup 200 ms)\n", "4. longest paint with a slow lookup",
              longestPaint);
  return 0;
}
