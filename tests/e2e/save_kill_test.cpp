// A save cut short at any moment leaves the list file as it was or as it
// is going to be, byte for byte, and the next start reads that list (never
// the writer's temporary file). The program's list writer runs in a loop in
// a process of its own, killed a few hundred times at random moments.
#include <windows.h>

#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <random>
#include <string>

#include "driver/driver.h"
#include "launcher/launcher_list.h"
#include "save_kill_lists.h"

namespace lumora::e2e {
namespace {

std::string AnsiOf(const std::wstring& text) {
  const int size = WideCharToMultiByte(CP_ACP, 0, text.c_str(), -1, nullptr, 0, nullptr, nullptr);
  std::string ansi(static_cast<std::size_t>(size), '\0');
  WideCharToMultiByte(CP_ACP, 0, text.c_str(), -1, ansi.data(), size, nullptr, nullptr);
  ansi.resize(static_cast<std::size_t>(size > 0 ? size - 1 : 0));
  return ansi;
}

class CountingDisplay : public ListDisplay {
 public:
  void Fill(const std::vector<std::string_view>& names) override { count_ = static_cast<int>(names.size()); }
  int Count() const override { return count_; }
  void Select(int) override {}
  int Selection() const override { return -1; }
  void Repaint() override {}

 private:
  int count_ = 0;
};

TEST(SaveKillTest, ListFileIsTheOldOrTheNewListAfterEveryKill) {
  ProgramFolder folder;
  // The two lists as the writer gives them, byte for byte.
  std::string expected[2];
  for (int which = 0; which < 2; ++which) {
    TCsvSheet list;
    MakeSaveKillList(list, which);
    const std::wstring name = which == 0 ? L"data\\old.tsv" : L"data\\new.tsv";
    list.SaveToFile(AnsiOf(folder.PathOf(name)), '\t', "\r\n");
    expected[which] = folder.ReadFile(name).value_or("");
    ASSERT_GT(expected[which].size(), 100000u);
  }
  folder.WriteFile(L"data\\applist.tsv", expected[0]);
  const std::string listPath = AnsiOf(folder.PathOf(L"data\\applist.tsv"));

  const unsigned seed = static_cast<unsigned>(std::chrono::steady_clock::now().time_since_epoch().count());
  std::mt19937 random(seed);
  int seen[2] = {0, 0};
  int cut = 0;  // kills that left the writer's temporary file: a save cut short
  constexpr int kKills = 200;
  for (int kill = 0; kill < kKills; ++kill) {
    LumoraProcess writer = LumoraProcess::Start(WindowsPathFromAnyPath(LUMORA_SAVE_LOOP), folder.Path(),
                                                L"data\\applist.tsv");
    // Once it saves (its temporary file comes and goes), at a random moment.
    ASSERT_TRUE(WaitUntil([&] { return folder.Exists(L"data\\applist.tsv.tmp~") || !writer.IsRunning(); }, 20s))
        << "kill " << kill << ": the writer did not start saving";
    ASSERT_TRUE(writer.IsRunning()) << "kill " << kill << ": the writer ended by itself";
    Sleep(random() % 60);
    writer.Kill();

    const std::optional<std::string> bytes = folder.ReadFile(L"data\\applist.tsv");
    ASSERT_TRUE(bytes.has_value()) << "kill " << kill << " (seed " << seed << ")";
    const bool isOld = *bytes == expected[0];
    const bool isNew = *bytes == expected[1];
    ASSERT_TRUE(isOld || isNew) << "kill " << kill << " (seed " << seed << "): " << bytes->size()
                                << " bytes, neither list";
    ++seen[isNew ? 1 : 0];
    if (folder.Exists(L"data\\applist.tsv.tmp~")) ++cut;

    // The next start: the list is read whole, whatever temporary file the
    // cut save left beside it.
    CountingDisplay display;
    LauncherList next(listPath, display);
    next.Load();
    next.ResetView();
    ASSERT_EQ(display.Count(), kSaveKillRows) << "kill " << kill;
    ASSERT_EQ(next.sheetAll.GetCell(1, 0), isNew ? "new entry 0" : "old entry 0");
    // The next writer is seen to save by its own temporary file.
    DeleteFileW(folder.PathOf(L"data\\applist.tsv.tmp~").c_str());
  }
  // Saves were completed (both lists were found) and cut short.
  EXPECT_GT(seen[0], 0) << "seed " << seed;
  EXPECT_GT(seen[1], 0) << "seed " << seed;
  EXPECT_GT(cut, 0) << "seed " << seed;
  std::printf("%d kills: the old list %d times, the new list %d times; %d saves cut short\n", kKills,
              seen[0], seen[1], cut);
}

// The same for the settings file: a change of the sort order cut short at any
// moment leaves the old or the new file, and the next start finds the first
// run done.
TEST(SaveKillTest, SettingsFileIsTheOldOrTheNewFileAfterEveryKill) {
  ProgramFolder folder;
  const std::string before = "[flag]\r\ninstalled=1\r\n[hotkey]\r\nshow=Ctrl+Alt+Z\r\n[launch]\r\nsort=time\r\n"
                             "[frmLumora]\r\nHeight=321\r\n";
  std::string after = before;
  after.replace(after.find("sort=time"), 9, "sort=name");
  folder.WriteFile(L"Lumora.ini", before);
  const std::wstring settings = folder.PathOf(L"Lumora.ini");
  const unsigned seed = static_cast<unsigned>(std::chrono::steady_clock::now().time_since_epoch().count());
  std::mt19937 random(seed);
  int seen[2] = {0, 0};
  for (int kill = 0; kill < 100; ++kill) {
    LumoraProcess writer = LumoraProcess::Start(WindowsPathFromAnyPath(LUMORA_SETTINGS_SAVE_LOOP), folder.Path(),
                                                L"\"" + settings + L"\"");
    const std::string start = folder.ReadFile(L"Lumora.ini").value_or("");
    ASSERT_TRUE(WaitUntil([&] { return folder.ReadFile(L"Lumora.ini") != start || !writer.IsRunning(); }, 20s));
    ASSERT_TRUE(writer.IsRunning()) << "kill " << kill << ": the writer ended by itself";
    Sleep(random() % 30);
    writer.Kill();
    const std::string bytes = folder.ReadFile(L"Lumora.ini").value_or("");
    ASSERT_TRUE(bytes == before || bytes == after) << "kill " << kill << " (seed " << seed << "):\n" << bytes;
    ++seen[bytes == after ? 1 : 0];
    EXPECT_EQ(GetPrivateProfileIntW(L"flag", L"installed", 0, settings.c_str()), 1u) << "kill " << kill;
  }
  EXPECT_GT(seen[0], 0) << "seed " << seed;
  EXPECT_GT(seen[1], 0) << "seed " << seed;
}

}  // namespace
}  // namespace lumora::e2e
