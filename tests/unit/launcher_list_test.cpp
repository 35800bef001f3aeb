// The launcher list: loading and saving its file, the three orders shown in
// the list box, the command line's filter, and the recording of launches and
// new entries. Times are written with the text services in force, so the
// tests read the same under the Japanese locale of Windows.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <set>
#include <string>
#include <vector>

#include "launcher/launcher_list.h"
#include "platform/error.h"
#include "platform/text_platform.h"
#include "support/sheet_temp_folder.h"

namespace lumora {
namespace {

using platform::LocalTime;

// The list box as the tests see it.
class FakeDisplay : public ListDisplay {
 public:
  void Fill(const std::vector<std::string_view>& names) override {
    items.assign(names.begin(), names.end());
    selection = -1;
    ++fills;
  }
  int Count() const override { return static_cast<int>(items.size()); }
  void Select(int index) override { selection = index; }
  int Selection() const override { return selection; }
  void Repaint() override { ++repaints; }

  std::vector<std::string> items;
  int selection = -1;
  int fills = 0;
  int repaints = 0;
};

// The system's text services with a clock that reads a chosen time.
class FixedClockText : public platform::TextPlatform {
 public:
  explicit FixedClockText(LocalTime now) : now_(now) {}
  const platform::LeadByteTable& LeadBytes() const override { return Sys().LeadBytes(); }
  std::string MapToHalfWidth(std::string_view text) const override {
    return Sys().MapToHalfWidth(text);
  }
  std::optional<double> TextToDate(std::string_view text) const override {
    return Sys().TextToDate(text);
  }
  std::string AnsiToUtf8(std::string_view text) const override { return Sys().AnsiToUtf8(text); }
  LocalTime Now() const override { return now_; }
  std::string DateTimeText(const LocalTime& time) const override {
    return Sys().DateTimeText(time);
  }

 private:
  static const platform::TextPlatform& Sys() { return platform::SystemText(); }
  LocalTime now_;
};

// A read of the list file that fails after the file was opened, as a disk
// or network error does halfway through: the sheet's reader asks for the
// lead bytes once the file is open.
class FailingReadText : public FixedClockText {
 public:
  FailingReadText() : FixedClockText(LocalTime{}) {}
  const platform::LeadByteTable& LeadBytes() const override {
    throw AppError("read error");
  }
};

std::string TimeText(int year, int month, int day, int hour, int minute, int second) {
  return platform::Text().DateTimeText(LocalTime{year, month, day, hour, minute, second, 0});
}

// One line of the list file: ID, name, target, count, time.
std::string Line(const std::string& id, const std::string& name, const std::string& target,
                 const std::string& count, const std::string& time) {
  return id + "\t" + name + "\t" + target + "\t" + count + "\t" + time + "\r\n";
}

class LauncherListTest : public ::testing::Test {
 protected:
  std::string ListPath() const { return folder_.File("applist.tsv"); }
  void WriteList(const std::string& bytes) { test::WriteBytes(ListPath(), bytes); }
  std::string ReadList() const { return test::ReadBytes(ListPath()); }

  // A list loaded from the given file text and shown.
  LauncherList& Loaded(const std::string& bytes, int sortMode = kSortByTime) {
    WriteList(bytes);
    list_.sortMode = sortMode;
    list_.Load();
    list_.ResetView();
    return list_;
  }

  // Four entries launched at different times, file order not time order.
  std::string FourEntries() const {
    return Line("1", "Notepad", "C:\\Windows\\notepad.exe", "3", TimeText(2025, 3, 1, 9, 0, 0)) +
           Line("2", "Calculator", "calc.exe", "10", TimeText(2026, 1, 5, 18, 30, 5)) +
           Line("3", "memo notes", "D:\\memo.txt", "", TimeText(2024, 12, 31, 23, 59, 59)) +
           Line("4", "Visual Studio Code", "\"C:\\Program Files\\code.exe\"", "9",
                TimeText(2026, 1, 5, 8, 0, 0));
  }

  test::TempFolder folder_;
  FakeDisplay display_;
  LauncherList list_{folder_.File("applist.tsv"), display_};
};

TEST(SortModeTextTest, ExactWordsOnly) {
  EXPECT_EQ(SortModeOfText("time"), kSortByTime);
  EXPECT_EQ(SortModeOfText("count"), kSortByCount);
  EXPECT_EQ(SortModeOfText("name"), kSortByName);
  EXPECT_EQ(SortModeOfText("Name"), std::nullopt);
  EXPECT_EQ(SortModeOfText("name "), std::nullopt);
  EXPECT_EQ(SortModeOfText(""), std::nullopt);
  for (int mode : {kSortByTime, kSortByCount, kSortByName}) {
    EXPECT_EQ(SortModeOfText(SortModeText(mode)), mode);
  }
}

TEST(FilterKeyTest, FoldsOnlyAsciiCapitals) {
  EXPECT_EQ(FilterKey("NotePad AZ az @[`{"), "notepad az az @[`{");
  // Full-width Ｎ (82 6D) and the katakana ソ (83 5C) stay as they are.
  EXPECT_EQ(FilterKey("\x82\x6D\x83\x5C" "X"), "\x82\x6D\x83\x5C" "x");
  EXPECT_EQ(FilterKey(""), "");
}

TEST_F(LauncherListTest, MissingOrEmptyFileShowsNothingSelected) {
  list_.Load();
  list_.ResetView();
  EXPECT_EQ(list_.sheetAll.RowCount(), 0);
  EXPECT_TRUE(display_.items.empty());
  EXPECT_EQ(display_.selection, -1);
  EXPECT_EQ(display_.repaints, 1);

  Loaded("\r\n\r\n");
  EXPECT_EQ(list_.sheetAll.RowCount(), 0);
  EXPECT_TRUE(display_.items.empty());
  EXPECT_EQ(display_.selection, -1);
}

TEST_F(LauncherListTest, BlankLineInsideIsAnEntryAtTheTopBlankLinesAtTheEndAreDropped) {
  Loaded(Line("1", "Notepad", "notepad.exe", "", TimeText(2025, 3, 1, 9, 0, 0)) + "\r\n" +
         Line("2", "Calculator", "calc.exe", "", TimeText(2025, 2, 1, 9, 0, 0)) + "\r\n\r\n");
  ASSERT_EQ(list_.sheetAll.RowCount(), 3);
  EXPECT_TRUE(list_.sheetAll.GetRow(1).IsEmptyRow());
  EXPECT_EQ(display_.items, (std::vector<std::string>{"", "Calculator", "Notepad"}));
  EXPECT_EQ(display_.selection, 2);
  EXPECT_EQ(list_.ViewTarget(2), "notepad.exe");
  EXPECT_EQ(list_.ViewId(1), "2");
}

TEST_F(LauncherListTest, SavedLinesAllHaveSevenCellsOnceOneRowHasSeven) {
  Loaded(FourEntries());
  list_.sheetAll.SetCell(6, 2, "");  // an entry made by a file drop
  list_.SaveList();
  const std::string text = ReadList();
  int lines = 0;
  std::size_t start = 0;
  for (std::size_t end; (end = text.find("\r\n", start)) != std::string::npos; start = end + 2) {
    const std::string line = text.substr(start, end - start);
    EXPECT_EQ(std::count(line.begin(), line.end(), '\t'), 6) << line;
    ++lines;
  }
  EXPECT_EQ(lines, 4);
  EXPECT_EQ(start, text.size());  // the last line ends with CR LF too
  // The file keeps the order of the store, whatever the view shows.
  EXPECT_EQ(text.rfind("1\tNotepad\t", 0), 0u);
}

TEST_F(LauncherListTest, EachOrderPutsItsLastEntryAtTheBottomSelected) {
  Loaded(FourEntries(), kSortByTime);
  EXPECT_EQ(display_.items, (std::vector<std::string>{"memo notes", "Notepad",
                                                      "Visual Studio Code", "Calculator"}));
  EXPECT_EQ(display_.selection, 3);

  list_.sortMode = kSortByCount;  // "" < 3 < 9 < 10 as numbers
  list_.RefreshList();
  EXPECT_EQ(display_.items, (std::vector<std::string>{"memo notes", "Notepad",
                                                      "Visual Studio Code", "Calculator"}));
  list_.sheetAll.SetCell(3, 1, "2");
  list_.ResetView();
  EXPECT_EQ(display_.items.front(), "memo notes");
  EXPECT_EQ(display_.items.back(), "Visual Studio Code");
  EXPECT_EQ(display_.selection, 3);

  list_.sortMode = kSortByName;
  list_.RefreshList();
  EXPECT_EQ(display_.items, (std::vector<std::string>{"Calculator", "memo notes", "Notepad",
                                                      "Visual Studio Code"}));
  EXPECT_EQ(display_.selection, 3);
  EXPECT_EQ(list_.ViewId(0), "2");
}

TEST_F(LauncherListTest, NameOrderFoldsLettersAndPutsTheUnderscoreAfterThem) {
  const std::string t = TimeText(2025, 1, 1, 12, 0, 0);
  Loaded(Line("1", "_tools", "a", "", t) + Line("2", "apple", "b", "", t) +
             Line("3", "Banana", "c", "", t) + Line("4", "Apple", "d", "", t) +
             Line("5", "app", "e", "", t),
         kSortByName);
  ASSERT_EQ(display_.items.size(), 5u);
  EXPECT_EQ(display_.items[0], "app");  // a prefix comes first
  EXPECT_EQ((std::set<std::string>{display_.items[1], display_.items[2]}),
            (std::set<std::string>{"apple", "Apple"}));
  EXPECT_EQ(display_.items[3], "Banana");
  EXPECT_EQ(display_.items[4], "_tools");
}

TEST_F(LauncherListTest, FilterMatchesNamesOnlyWithFoldedAsciiLetters) {
  Loaded(FourEntries() + Line("5", "notepad++", "np.exe", "", TimeText(2023, 1, 1, 1, 0, 0)));
  list_.Filter("NOTE");
  EXPECT_EQ(display_.items, (std::vector<std::string>{"notepad++", "memo notes", "Notepad"}));
  EXPECT_EQ(display_.selection, 2);
  EXPECT_EQ(list_.ViewTarget(2), "C:\\Windows\\notepad.exe");  // whole rows are shown

  list_.Filter("calc.exe");  // only in a target
  EXPECT_TRUE(display_.items.empty());
  EXPECT_EQ(display_.selection, -1);
  EXPECT_EQ(list_.sheetView.RowCount(), 0);

  list_.Filter("visual code");  // one piece: the blank must occur as typed
  EXPECT_TRUE(display_.items.empty());
  list_.Filter("studio c");
  EXPECT_EQ(display_.items, (std::vector<std::string>{"Visual Studio Code"}));
  EXPECT_EQ(display_.selection, 0);

  list_.Filter("");
  EXPECT_EQ(display_.items.size(), 5u);
  EXPECT_EQ(display_.items.back(), "Calculator");
  EXPECT_EQ(display_.selection, 4);
  EXPECT_EQ(list_.sheetAll.RowCount(), 5);  // the store is never touched
  EXPECT_EQ(list_.sheetAll.GetCell(1, 0), "Notepad");
}

TEST_F(LauncherListTest, FilterWithFullWidthLettersMatchesOnlyThoseLetters) {
  const std::string t = TimeText(2025, 1, 1, 12, 0, 0);
  const std::string fullMemo = "\x82\x6C\x82\x85\x82\x8D\x82\x8F";   // Ｍｅｍｏ
  const std::string fullMEMO = "\x82\x6C\x82\x64\x82\x6C\x82\x6E";   // ＭＥＭＯ
  const std::string kanaMemo = "\x83\x81\x83\x82\x92\xA0";           // メモ帳
  Loaded(Line("1", fullMemo, "a", "", t) + Line("2", "memo", "b", "", t) +
             Line("3", fullMEMO, "c", "", t) + Line("4", kanaMemo, "d", "", t),
         kSortByName);

  list_.Filter("\x82\x8D");  // ｍ
  EXPECT_EQ(display_.items, (std::vector<std::string>{fullMemo}));
  list_.Filter("\x82\x6C");  // Ｍ, neither folded to ｍ nor to m
  EXPECT_EQ(display_.items.size(), 2u);
  EXPECT_EQ(std::set<std::string>(display_.items.begin(), display_.items.end()),
            (std::set<std::string>{fullMemo, fullMEMO}));
  list_.Filter("M");
  EXPECT_EQ(display_.items, (std::vector<std::string>{"memo"}));
  list_.Filter("\x83\x82");  // モ
  EXPECT_EQ(display_.items, (std::vector<std::string>{kanaMemo}));
}

TEST_F(LauncherListTest, FilterNeverMatchesInsideATwoByteCharacter) {
  const std::string t = TimeText(2025, 1, 1, 12, 0, 0);
  const std::string icon = "\x83\x41\x83\x43\x83\x52\x83\x93";  // アイコン: second bytes A C R
  const std::string soft = "\x83\x5C\x83\x74\x83\x67";          // ソフト: second bytes \ t g
  Loaded(Line("1", icon, "a", "", t) + Line("2", "calc", "b", "", t) +
             Line("3", soft, "c", "", t),
         kSortByName);

  list_.Filter("a");  // not the A in the middle of ア
  EXPECT_EQ(display_.items, (std::vector<std::string>{"calc"}));
  list_.Filter("C");
  EXPECT_EQ(display_.items, (std::vector<std::string>{"calc"}));
  list_.Filter("t");  // not the t in the middle of フ
  EXPECT_TRUE(display_.items.empty());
  list_.Filter("\x83\x43");  // イ still matches as a whole character
  EXPECT_EQ(display_.items, (std::vector<std::string>{icon}));
  list_.Filter("\x83\x5C");  // ソ
  EXPECT_EQ(display_.items, (std::vector<std::string>{soft}));
}

// The order of rows with equal keys is the sort's own: this pins the view's
// order, the selection and the saved file for a list full of ties, so that
// a faster view cannot change what the user sees.
// Cells with blanks written quoted, as the writer does, so that a save
// gives the same bytes back.
std::string Quoted(const std::string& cell) { return "\"" + cell + "\""; }
std::string SameTime() { return Quoted(TimeText(2025, 6, 1, 12, 0, 0)); }

// Equal times and counts, empty and unreadable times, names that differ
// only in letter case.
std::string TiedList() {
  const std::string same = SameTime();
  return Line("1", "notes", "a.txt", "5", same) + Line("2", "Notes", "b.txt", "5", same) +
         Line("3", "NOTES", "c.txt", "", "") + Line("4", "zeta", "d.txt", "5", "someday") +
         Line("5", "Alpha", "e.txt", "2", TimeText(2024, 1, 1, 0, 0, 0)) + Line("6", "alpha", "f.txt", "2", same) +
         Line("7", Quoted("beta notes"), "g.txt", "", "") + Line("8", "Beta", "h.txt", "x", "someday") +
         Line("9", "gamma", "i.txt", "5", Quoted(TimeText(2026, 2, 2, 2, 2, 2))) +
         Line("10", "_under", "j.txt", "1", same) + Line("11", "delta", "k.txt", "1", TimeText(2024, 1, 1, 0, 0, 0)) +
         Line("12", "notes", "l.txt", "2", "");
}

// The IDs of the view in display order.
std::string ViewIds(const LauncherList& list) {
  std::string ids;
  for (int r = 0; r < list.sheetView.RowCount(); ++r) ids += list.ViewId(r) + " ";
  return ids;
}

TEST_F(LauncherListTest, TiesEmptyAndUnreadableTimesKeepTheirOrderSelectionAndFile) {
  auto quoted = Quoted;
  const std::string same = SameTime();
  const std::string file = TiedList();
  const std::vector<std::vector<std::string>> expected = {
      // time, count, name: all rows, then the rows matching "note"
      {"4 7 8 12 3 11 5 10 2 1 6 9 "}, {"7 12 3 1 2 "},  //
      {"8 7 3 11 10 12 5 6 2 1 9 4 "}, {"3 7 12 1 2 "},  //
      {"5 6 8 7 11 9 12 3 1 2 4 10 "}, {"7 12 3 1 2 "}};
  std::vector<std::vector<std::string>> seen;
  for (int mode : {kSortByTime, kSortByCount, kSortByName}) {
    Loaded(file, mode);
    for (const char* key : {"", "note"}) {
      list_.Filter(key);
      std::string ids;
      for (int r = 0; r < list_.sheetView.RowCount(); ++r) ids += list_.ViewId(r) + " ";
      seen.push_back({ids});
      EXPECT_EQ(display_.selection, list_.sheetView.RowCount() - 1);
    }
  }
  EXPECT_EQ(seen, expected);
  // A launch rewrites only its own row; the file keeps its order and ties.
  Loaded(file, kSortByCount);
  list_.RecordLaunch("2");
  std::string ids;
  for (int r = 0; r < list_.sheetView.RowCount(); ++r) ids += list_.ViewId(r) + " ";
  EXPECT_EQ(ids, "8 7 3 11 10 12 5 6 1 4 9 2 ");
  std::string expectedFile = file;
  const std::string before = Line("2", "Notes", "b.txt", "5", same);
  expectedFile.replace(expectedFile.find(before), before.size(),
                       Line("2", "Notes", "b.txt", "6", quoted(list_.sheetAll.GetCell(4, 1))));
  EXPECT_EQ(ReadList(), expectedFile);
}

TEST_F(LauncherListTest, TypingOnAndBackShowsWhatAFilterOfTheWholeListShows) {
  // Each text typed after others (longer, shorter, back to one typed
  // before, after a change to the list) shows the rows, order and selection
  // that a list filtering it for the first time shows. The first lists are
  // made after the typing, which a change to any other sheet would disturb.
  struct Seen {
    std::string text;
    int sortMode;
    std::vector<std::vector<std::string>> store;
    std::string ids;
    std::vector<std::string> items;
    int selection;
  };
  const std::vector<std::string> texts = {"n", "no", "NOT", "note", "notes", "not", "n", "", "be", "b", "",
                                          "Note", "no", "zz", "z", "", "e", "et"};
  for (int mode : {kSortByTime, kSortByCount, kSortByName}) {
    Loaded(TiedList() + Line("13", "Notebook", "m.txt", "5", SameTime()), mode);
    std::vector<Seen> seen;
    for (std::size_t i = 0; i < texts.size(); ++i) {
      if (i == 6) list_.sheetAll.SetCell(1, 3, "nothing");  // the store changed from outside
      if (i == 12) list_.RecordLaunch("6");
      if (i == 15) list_.sortMode = (mode + 1) % 3;
      list_.Filter(texts[i]);
      Seen now{texts[i], list_.sortMode, {}, ViewIds(list_), display_.items, display_.selection};
      for (int r = 0; r < list_.sheetAll.RowCount(); ++r) {
        now.store.emplace_back();
        for (int c = 0; c < 7; ++c) now.store.back().push_back(list_.sheetAll.GetCell(c, r));
      }
      seen.push_back(std::move(now));
    }
    for (const Seen& step : seen) {
      FakeDisplay freshDisplay;
      LauncherList fresh(folder_.File("unused.tsv"), freshDisplay);
      for (std::size_t r = 0; r < step.store.size(); ++r) {
        for (std::size_t c = 0; c < step.store[r].size(); ++c) {
          fresh.sheetAll.SetCell(static_cast<int>(c), static_cast<int>(r), step.store[r][c]);
        }
      }
      fresh.sortMode = step.sortMode;
      fresh.Filter(step.text);
      EXPECT_EQ(step.ids, ViewIds(fresh)) << "mode " << mode << ", text \"" << step.text << "\"";
      EXPECT_EQ(step.items, freshDisplay.items) << "mode " << mode << ", text \"" << step.text << "\"";
      EXPECT_EQ(step.selection, freshDisplay.selection);
    }
  }
}

TEST_F(LauncherListTest, RecordLaunchCountsStampsSavesAndShowsTheEntryAtTheBottom) {
  Loaded(FourEntries() + Line("5", "odd", "odd.exe", "x7", TimeText(2020, 1, 1, 1, 1, 1)) +
         Line("3", "duplicate", "dup.exe", "", ""));
  const FixedClockText clock(LocalTime{2026, 2, 3, 4, 5, 6, 2});
  const platform::ScopedTextPlatform useClock(clock);
  const std::string now = TimeText(2026, 2, 3, 4, 5, 6);

  list_.Filter("memo");  // the view is rebuilt whole afterwards
  list_.RecordLaunch("3");  // the first row with ID 3 is the one counted
  EXPECT_EQ(list_.sheetAll.GetCell(3, 2), "1");
  EXPECT_EQ(list_.sheetAll.GetCell(4, 2), now);
  EXPECT_EQ(list_.sheetAll.GetCell(3, 5), "");
  EXPECT_EQ(display_.items.size(), 6u);
  EXPECT_EQ(display_.items.back(), "memo notes");
  EXPECT_EQ(display_.selection, 5);
  {
    LauncherList saved(ListPath(), display_);
    saved.Load();
    EXPECT_EQ(saved.sheetAll.GetCell(3, 2), "1");
    EXPECT_EQ(saved.sheetAll.GetCell(4, 2), now);
  }
  list_.ResetView();

  {
    const FixedClockText later(LocalTime{2026, 2, 3, 4, 5, 7, 2});
    const platform::ScopedTextPlatform useLater(later);
    list_.RecordLaunch("2");
  }
  EXPECT_EQ(list_.sheetAll.GetCell(3, 1), "11");
  EXPECT_EQ(display_.items.back(), "Calculator");
  EXPECT_EQ(display_.items[4], "memo notes");
  list_.RecordLaunch("5");  // not a number: starts again at 1
  EXPECT_EQ(list_.sheetAll.GetCell(3, 4), "1");
  list_.sheetAll.SetCell(3, 0, "2147483647");
  list_.RecordLaunch("1");
  EXPECT_EQ(list_.sheetAll.GetCell(3, 0), "2147483648");

  LauncherList reread(ListPath(), display_);
  reread.Load();
  EXPECT_EQ(reread.sheetAll.GetCell(3, 1), "11");
  EXPECT_EQ(reread.sheetAll.GetCell(3, 4), "1");
  EXPECT_EQ(reread.sheetAll.GetCell(1, 5), "duplicate");
}

TEST_F(LauncherListTest, RecordLaunchOfAnUnknownIdSavesNothingButRebuildsTheView) {
  Loaded(FourEntries());
  const std::string before = ReadList();
  list_.Filter("calc");
  ASSERT_EQ(display_.items.size(), 1u);
  std::filesystem::remove(ListPath());

  list_.RecordLaunch("99");
  EXPECT_FALSE(std::filesystem::exists(ListPath()));
  EXPECT_EQ(display_.items.size(), 4u);
  EXPECT_EQ(display_.selection, 3);
  EXPECT_EQ(list_.sheetAll.GetCell(3, 1), "10");
}

TEST_F(LauncherListTest, LaunchKeptAndShownWhenTheFileCannotBeWritten) {
  Loaded(FourEntries());
  LauncherList noFolder(folder_.File("missing") + "/applist.tsv", display_);
  noFolder.sheetAll.Assign(list_.sheetAll);
  noFolder.Filter("code");
  EXPECT_THROW(noFolder.RecordLaunch("3"), AppError);
  EXPECT_EQ(noFolder.sheetAll.GetCell(3, 2), "1");
  EXPECT_EQ(display_.items.size(), 4u);
  EXPECT_EQ(display_.items.back(), "memo notes");  // launched now, so at the bottom
}

TEST_F(LauncherListTest, AFailedSaveTakesTheStoreBackToTheFileAndNoLaterSaveWritesIt) {
  Loaded(FourEntries());
  // The list file stays readable, but no new one can be written beside it
  // (the temporary file's name natively and on Windows).
  ASSERT_TRUE(std::filesystem::create_directory(ListPath() + ".tmp"));
  ASSERT_TRUE(std::filesystem::create_directory(ListPath() + ".tmp~"));
  list_.Filter("code");
  EXPECT_THROW(list_.RecordLaunch("3"), AppError);
  EXPECT_EQ(list_.sheetAll.GetCell(3, 2), "");  // the launch is not counted
  EXPECT_EQ(display_.items.size(), 4u);         // the whole list is shown again
  EXPECT_THROW(list_.AddTypedCommand("https://example.com/"), AppError);
  EXPECT_EQ(list_.sheetAll.RowCount(), 4);

  std::filesystem::remove(ListPath() + ".tmp");
  std::filesystem::remove(ListPath() + ".tmp~");
  list_.DeleteViewEntry(1);  // Notepad
  const std::string after = ReadList();
  EXPECT_EQ(after.find("Notepad"), std::string::npos) << after;
  EXPECT_EQ(after.find("https://example.com/"), std::string::npos) << after;
  EXPECT_NE(after.find("3\t\"memo notes\"\tD:\\memo.txt\t\t"), std::string::npos) << after;  // no count
}

TEST_F(LauncherListTest, AddEntryIfMissingComparesTargetsExactlyAndDoesNotSave) {
  Loaded(FourEntries());
  const FixedClockText clock(LocalTime{2026, 2, 3, 0, 0, 0, 2});
  const platform::ScopedTextPlatform useClock(clock);
  std::filesystem::remove(ListPath());

  list_.AddEntryIfMissing("Editor", "C:\\Windows\\notepad.exe");
  EXPECT_EQ(list_.sheetAll.RowCount(), 4);
  list_.AddEntryIfMissing("Editor", "c:\\windows\\notepad.exe");
  ASSERT_EQ(list_.sheetAll.RowCount(), 5);
  const TCsvCells& row = list_.sheetAll.GetRow(4);
  EXPECT_EQ(row.GetCell(0), "5");
  EXPECT_EQ(row.GetCell(1), "Editor");
  EXPECT_EQ(row.GetCell(2), "c:\\windows\\notepad.exe");
  EXPECT_EQ(row.GetCell(3), "");
  EXPECT_EQ(row.GetCell(4), TimeText(2026, 2, 3, 0, 0, 0));
  EXPECT_FALSE(std::filesystem::exists(ListPath()));
  EXPECT_EQ(display_.items.size(), 4u);  // not refreshed either
}

TEST_F(LauncherListTest, AddTypedCommandAppendsAndSaves) {
  Loaded(Line("7", "Notepad", "notepad.exe", "3", TimeText(2025, 3, 1, 9, 0, 0)) +
         Line("x", "no number", "y.exe", "", ""));
  const FixedClockText clock(LocalTime{2026, 5, 6, 7, 8, 9, 3});
  const platform::ScopedTextPlatform useClock(clock);
  list_.AddTypedCommand("https://example.com/a b");
  ASSERT_EQ(list_.sheetAll.RowCount(), 3);
  EXPECT_EQ(list_.sheetAll.GetCell(0, 2), "8");
  EXPECT_EQ(list_.sheetAll.GetCell(1, 2), "https://example.com/a b");
  EXPECT_EQ(list_.sheetAll.GetCell(2, 2), "https://example.com/a b");
  EXPECT_EQ(list_.sheetAll.GetCell(3, 2), "");
  EXPECT_EQ(list_.sheetAll.GetCell(4, 2), TimeText(2026, 5, 6, 7, 8, 9));

  LauncherList reread(ListPath(), display_);
  reread.Load();
  reread.ResetView();
  EXPECT_EQ(display_.items.back(), "https://example.com/a b");
  EXPECT_EQ(reread.sheetAll.GetCell(2, 2), "https://example.com/a b");
}

TEST_F(LauncherListTest, TypedCommandKeptAndShownWhenTheFileCannotBeWritten) {
  Loaded(FourEntries());
  LauncherList noFolder(folder_.File("missing") + "/applist.tsv", display_);
  noFolder.sheetAll.Assign(list_.sheetAll);
  noFolder.Filter("calc");
  ASSERT_EQ(display_.items.size(), 1u);
  const int fills = display_.fills;

  EXPECT_THROW(noFolder.AddTypedCommand("https://example.com/"), AppError);
  ASSERT_EQ(noFolder.sheetAll.RowCount(), 5);
  EXPECT_EQ(noFolder.sheetAll.GetCell(1, 4), "https://example.com/");
  // The whole store is shown again, the new entry (launched now) at the bottom.
  EXPECT_GT(display_.fills, fills);
  EXPECT_EQ(display_.items.size(), 5u);
  EXPECT_EQ(display_.items.back(), "https://example.com/");
  EXPECT_EQ(display_.selection, 4);
}

// The IDs of the store, one per row, in a list file.
std::string IdLines(std::initializer_list<const char*> ids) {
  std::string bytes;
  int n = 0;
  for (const char* id : ids) {
    const std::string number = std::to_string(++n);
    bytes += Line(id, "entry " + number, "t" + number, "", "");
  }
  return bytes;
}

TEST_F(LauncherListTest, NewIdIsOneMoreThanTheLargestId) {
  list_.Load();
  EXPECT_EQ(list_.NewId(), "1");  // an empty list
  EXPECT_EQ(Loaded(IdLines({"1", "5", "3"})).NewId(), "6");  // gaps stay
  EXPECT_EQ(Loaded(IdLines({"007", "3"})).NewId(), "8");
  EXPECT_EQ(Loaded(IdLines({"-5"})).NewId(), "1");
  EXPECT_EQ(Loaded(IdLines({"-5", "-2147483648", "0"})).NewId(), "1");
  // Text that is not a whole number counts as 1, as it always has.
  EXPECT_EQ(Loaded(IdLines({"abc"})).NewId(), "2");
  EXPECT_EQ(Loaded(IdLines({"abc", "", "4x", "2.5"})).NewId(), "2");
  EXPECT_EQ(Loaded(IdLines({"abc", "9"})).NewId(), "10");
  EXPECT_EQ(Loaded(IdLines({"2147483646", "3"})).NewId(), "2147483647");
  // Nor do numbers past the int range.
  EXPECT_EQ(Loaded(IdLines({"2147483648"})).NewId(), "2");
  EXPECT_EQ(Loaded(IdLines({"3", "99999999999999999999999"})).NewId(), "4");
}

TEST_F(LauncherListTest, NewIdBesideTheLargestIntIsTheSmallestUnusedPositiveId) {
  EXPECT_EQ(Loaded(IdLines({"2147483647"})).NewId(), "1");
  EXPECT_EQ(Loaded(IdLines({"1", "2147483647", "2", "4"})).NewId(), "3");
  EXPECT_EQ(Loaded(IdLines({"3", "1", "2", "2147483647"})).NewId(), "4");
  // "007" is ID 7 however it is written.
  EXPECT_EQ(Loaded(IdLines({"2147483647", "1", "2", "3", "4", "5", "6", "007"})).NewId(), "8");
  EXPECT_EQ(Loaded(IdLines({"2147483647", "-1", "0", "abc", "", "+1"})).NewId(), "2");
  EXPECT_EQ(Loaded(IdLines({"+2147483647", "1", "2147483648"})).NewId(), "2");
}

TEST_F(LauncherListTest, NewEntriesBesideTheLargestIdGetUnusedIdsAndTheirLaunchesCountThemselves) {
  Loaded(Line("1", "first", "first.exe", "4", TimeText(2025, 1, 1, 9, 0, 0)) +
         Line("2147483647", "edited", "edited.exe", "7", TimeText(2025, 2, 1, 9, 0, 0)));
  list_.AddTypedCommand("typed.exe");
  list_.AddEntryIfMissing("dropped", "dropped.exe");
  ASSERT_EQ(list_.sheetAll.RowCount(), 4);
  EXPECT_EQ(list_.sheetAll.GetCell(0, 2), "2");
  EXPECT_EQ(list_.sheetAll.GetCell(0, 3), "3");

  list_.RecordLaunch(list_.sheetAll.GetCell(0, 2));
  EXPECT_EQ(list_.sheetAll.GetCell(3, 2), "1");
  EXPECT_EQ(list_.sheetAll.GetCell(3, 1), "7");
  EXPECT_EQ(list_.sheetAll.GetCell(4, 1), TimeText(2025, 2, 1, 9, 0, 0));
  EXPECT_EQ(list_.sheetAll.GetCell(3, 0), "4");
}

TEST_F(LauncherListTest, ListThatCouldNotBeReadIsNeverOverwritten) {
  const std::string original = FourEntries();
  WriteList(original);
  {
    const FailingReadText failing;
    const platform::ScopedTextPlatform useFailing(failing);
    EXPECT_THROW(list_.Load(), AppError);
  }
  EXPECT_EQ(list_.sheetAll.RowCount(), 0);
  list_.ResetView();
  EXPECT_TRUE(display_.items.empty());

  try {
    list_.AddTypedCommand("calc");
    ADD_FAILURE() << "saving over an unread list";
  } catch (const AppError& e) {
    const std::string message = e.what();
    EXPECT_NE(message.find(ListPath()), std::string::npos) << message;
    EXPECT_NE(message.find("上書き保存しません"), std::string::npos) << message;
  }
  list_.sheetAll.SetCell(0, 1, "9");
  EXPECT_THROW(list_.RecordLaunch("9"), AppError);
  EXPECT_THROW(list_.SaveList(), AppError);
  EXPECT_EQ(ReadList(), original);

  // Once the file reads, saving works again.
  list_.Load();
  EXPECT_EQ(list_.sheetAll.RowCount(), 4);
  list_.RecordLaunch("1");
  EXPECT_NE(ReadList(), original);
  EXPECT_EQ(list_.sheetAll.GetCell(3, 0), "4");
}

TEST_F(LauncherListTest, FolderInPlaceOfTheListIsLeftAlone) {
  std::filesystem::create_directory(ListPath());
  test::WriteBytes(folder_.File("applist.tsv/keep.txt"), "keep");
  list_.Load();  // not a list file: an empty list
  list_.ResetView();
  EXPECT_TRUE(display_.items.empty());
  EXPECT_THROW(list_.AddTypedCommand("calc"), AppError);
  EXPECT_TRUE(std::filesystem::is_directory(ListPath()));
  EXPECT_EQ(test::ReadBytes(folder_.File("applist.tsv/keep.txt")), "keep");
}

TEST_F(LauncherListTest, MissingFileAfterAFailedReadAllowsSavingAgain) {
  WriteList(FourEntries());
  {
    const FailingReadText failing;
    const platform::ScopedTextPlatform useFailing(failing);
    EXPECT_THROW(list_.Load(), AppError);
  }
  std::filesystem::remove(ListPath());
  list_.Load();
  list_.AddTypedCommand("calc");
  EXPECT_NE(ReadList().find("calc"), std::string::npos);
}

// Reading the list again after the user edited it: the edit is taken whole;
// a file that is gone or cannot be read leaves the list in memory as it was.
TEST_F(LauncherListTest, ReloadTakesTheEditedFileAndShowsItAfterResetView) {
  Loaded(FourEntries());
  WriteList(Line("1", "Editor", "C:\\Windows\\notepad.exe", "3", TimeText(2025, 3, 1, 9, 0, 0)) + "\r\n\r\n");
  list_.Reload();
  EXPECT_EQ(list_.sheetAll.RowCount(), 1);  // the blank lines at the end are dropped
  list_.ResetView();
  EXPECT_EQ(display_.items, std::vector<std::string>{"Editor"});
  list_.RecordLaunch("1");
  EXPECT_NE(ReadList().find("Editor"), std::string::npos);
}

TEST_F(LauncherListTest, ReloadOfAMissingFileKeepsTheListAndTheNextChangeWritesItAgain) {
  Loaded(FourEntries());
  std::filesystem::remove(ListPath());
  EXPECT_THROW(list_.Reload(), AppError);
  EXPECT_EQ(list_.sheetAll.RowCount(), 4);
  list_.ResetView();
  EXPECT_EQ(display_.items.size(), 4u);
  list_.RecordLaunch("2");
  const std::string written = ReadList();
  EXPECT_NE(written.find("Visual Studio Code"), std::string::npos);
  EXPECT_NE(written.find("\t11\t"), std::string::npos) << written;
}

TEST_F(LauncherListTest, ReloadThatFailsHalfwayKeepsTheListAndNeverWritesOverTheFile) {
  Loaded(FourEntries());
  const std::string edited = Line("1", "Edited", "x.exe", "", "");
  WriteList(edited);
  {
    const FailingReadText failing;
    const platform::ScopedTextPlatform useFailing(failing);
    EXPECT_THROW(list_.Reload(), AppError);
  }
  EXPECT_EQ(list_.sheetAll.RowCount(), 4);
  EXPECT_EQ(list_.sheetAll.GetCell(1, 1), "Calculator");
  EXPECT_THROW(list_.RecordLaunch("2"), AppError);
  EXPECT_EQ(ReadList(), edited);
  // A later reload that reads the file allows saving again.
  list_.Reload();
  list_.RecordLaunch("1");
  EXPECT_NE(ReadList().find("Edited\tx.exe\t1\t"), std::string::npos) << ReadList();
}

}  // namespace
}  // namespace lumora
