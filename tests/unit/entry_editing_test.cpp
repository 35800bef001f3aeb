// Adding, editing and removing entries of the launcher list: the names of
// dropped files, the entries a drop adds, the property dialog's store, the
// deletion with its selection rule, the removal of missing files, and the
// refusal of every change while the list file could not be read.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "editing/entry_names.h"
#include "editing/prop_layout.h"
#include "launcher/launcher_list.h"
#include "platform/error.h"
#include "platform/text_platform.h"
#include "support/sheet_temp_folder.h"

namespace lumora {
namespace {

using platform::LocalTime;

class FakeDisplay : public ListDisplay {
 public:
  void Fill(const std::vector<std::string_view>& names) override {
    items.assign(names.begin(), names.end());
    selection = -1;
  }
  int Count() const override { return static_cast<int>(items.size()); }
  void Select(int index) override { selection = index; }
  int Selection() const override { return selection; }
  void Repaint() override {}

  std::vector<std::string> items;
  int selection = -1;
};

// The system's text services with a clock that reads a chosen time.
class FixedClockText : public platform::TextPlatform {
 public:
  explicit FixedClockText(LocalTime now) : now_(now) {}
  const platform::LeadByteTable& LeadBytes() const override { return Sys().LeadBytes(); }
  std::string MapToHalfWidth(std::string_view text) const override { return Sys().MapToHalfWidth(text); }
  std::optional<double> TextToDate(std::string_view text) const override { return Sys().TextToDate(text); }
  std::string AnsiToUtf8(std::string_view text) const override { return Sys().AnsiToUtf8(text); }
  LocalTime Now() const override { return now_; }
  std::string DateTimeText(const LocalTime& time) const override { return Sys().DateTimeText(time); }

 private:
  static const platform::TextPlatform& Sys() { return platform::SystemText(); }
  LocalTime now_;
};

// A read that fails once the file is open: the reader asks for the lead bytes then.
class FailingReadText : public FixedClockText {
 public:
  FailingReadText() : FixedClockText(LocalTime{}) {}
  const platform::LeadByteTable& LeadBytes() const override { throw AppError("read error"); }
};

std::string TimeText(int year, int month, int day, int hour, int minute, int second) {
  return platform::Text().DateTimeText(LocalTime{year, month, day, hour, minute, second, 0});
}

std::string Line(const std::string& id, const std::string& name, const std::string& target,
                 const std::string& count, const std::string& time) {
  return id + "\t" + name + "\t" + target + "\t" + count + "\t" + time + "\r\n";
}

class EntryEditingTest : public ::testing::Test {
 protected:
  std::string ListPath() const { return folder_.File("applist.tsv"); }
  void WriteList(const std::string& bytes) { test::WriteBytes(ListPath(), bytes); }
  std::string ReadList() const { return test::ReadBytes(ListPath()); }
  LauncherList& Loaded(const std::string& bytes) {
    WriteList(bytes);
    list_.Load();
    list_.ResetView();
    return list_;
  }
  // File order 1 Notepad, 5 Calculator, 3 Memo; time order Memo, Notepad, Calculator.
  std::string ThreeEntries() const {
    return Line("1", "Notepad", "C:\\Windows\\notepad.exe", "3", TimeText(2025, 3, 1, 9, 0, 0)) +
           Line("5", "Calculator", "calc.exe", "10", TimeText(2026, 1, 5, 18, 30, 5)) +
           Line("3", "Memo", "D:\\memo.txt", "", TimeText(2024, 12, 31, 23, 59, 59));
  }
  // A list whose file exists but could not be read: every change is refused.
  void LoadUnreadable() {
    WriteList(ThreeEntries());
    const FailingReadText failing;
    const platform::ScopedTextPlatform useFailing(failing);
    EXPECT_THROW(list_.Load(), AppError);
  }

  test::TempFolder folder_;
  FakeDisplay display_;
  LauncherList list_{folder_.File("applist.tsv"), display_};
};

TEST(DroppedEntryNameTest, FileNameUpToItsLastDotFolderWhole) {
  EXPECT_EQ(DroppedEntryName("C:\\Docs\\Memo.Backup.txt", false), "Memo.Backup");
  EXPECT_EQ(DroppedEntryName("C:\\Docs\\README", false), "README");
  EXPECT_EQ(DroppedEntryName("C:\\Docs\\.profile", false), ".profile");
  EXPECT_EQ(DroppedEntryName("C:a.b.exe", false), "a.b");
  EXPECT_EQ(DroppedEntryName("C:\\Tools", true), "Tools");
  EXPECT_EQ(DroppedEntryName("C:\\Tools\\v1.2", true), "v1.2");
  EXPECT_EQ(DroppedEntryName("C:\\Tools\\", true), "Tools");
  EXPECT_EQ(DroppedEntryName("D:\\", true), "D:");
  EXPECT_EQ(DroppedEntryName("\\\\server\\share", true), "share");
  // ソ is 83 5C: its second byte is no backslash, 表 (95 5C) likewise.
  EXPECT_EQ(DroppedEntryName("C:\\\x83\x5C\x83\x74\x83\x67.txt", false), "\x83\x5C\x83\x74\x83\x67");
  EXPECT_EQ(DroppedEntryName("C:\\\x95\x5C", true), "\x95\x5C");
}

TEST(DroppedEntryNameTest, ShortcutsDriveTargetsAndFolders) {
  EXPECT_TRUE(IsShortcutPath("C:\\Users\\me\\Editor.LNK"));
  EXPECT_TRUE(IsShortcutPath("x.lnk"));
  EXPECT_FALSE(IsShortcutPath("C:\\a.lnk\\b.txt"));
  EXPECT_FALSE(IsShortcutPath("C:\\lnk"));
  EXPECT_FALSE(IsShortcutPath("C:\\a.lnkx"));

  EXPECT_TRUE(IsDrivePathTarget("D:\\Games\\x.exe"));
  EXPECT_TRUE(IsDrivePathTarget("\"C:\\Program Files\\a.exe\" -x"));
  EXPECT_FALSE(IsDrivePathTarget("https://example.com/"));
  EXPECT_FALSE(IsDrivePathTarget("calc.exe"));
  EXPECT_FALSE(IsDrivePathTarget("\\\\server\\share\\a.txt"));
  EXPECT_FALSE(IsDrivePathTarget("tools\\a.exe"));

  EXPECT_EQ(TargetPath("\"C:\\Program Files\\a.exe\" -x \"y\""), "C:\\Program Files\\a.exe");
  EXPECT_EQ(TargetPath("\"C:\\open"), "C:\\open");
  EXPECT_EQ(TargetPath("C:\\Program Files\\a.exe"), "C:\\Program Files\\a.exe");
  EXPECT_EQ(TargetPath(""), "");

  EXPECT_EQ(TargetFolder("C:\\Tools\\a.exe"), "C:\\Tools\\");
  EXPECT_EQ(TargetFolder("C:\\Tools"), "C:\\");
  EXPECT_EQ(TargetFolder("C:x"), "C:");
  EXPECT_EQ(TargetFolder("calc.exe"), "");
}

TEST(PropLayoutTest, TheDialogScalesEveryEdgeWithItsDpi) {
  const PropLayout designed;
  EXPECT_EQ(designed.Scale(PropLayout::kName), (Rect{16, 32, 233, 52}));
  EXPECT_EQ(designed.Scale(PropLayout::kOk), (Rect{162, 171, 237, 196}));
  EXPECT_EQ(designed.ClientWidth(), 249);
  EXPECT_EQ(designed.ClientHeight(), 199);
  const PropLayout twice(192);
  EXPECT_EQ(twice.Scale(PropLayout::kOk), (Rect{324, 342, 474, 392}));
  EXPECT_EQ(twice.Scale(PropLayout::kPath), (Rect{422, 158, 472, 202}));
  EXPECT_EQ(twice.FontHeight(), 24);
  EXPECT_EQ(PropLayout(144).ClientHeight(), 299);  // 298.5 rounded up
  // Nothing reaches past the client area or into the bottom panel but OK.
  for (const Rect& r : {PropLayout::kName, PropLayout::kFile, PropLayout::kPath, PropLayout::kDate, PropLayout::kNow,
                        PropLayout::kOpenDir}) {
    EXPECT_LE(r.right, PropLayout::kClientWidth);
    EXPECT_LE(r.bottom, PropLayout::kClientHeight - PropLayout::kBottomPanelHeight);
  }
  EXPECT_LE(PropLayout::kFileLabel.right, PropLayout::kOpenDir.left);
}

TEST_F(EntryEditingTest, DropAddsConsecutiveIdsSevenCellsSavesOnceAndSelectsTheLastRow) {
  Loaded(ThreeEntries());
  const FixedClockText clock(LocalTime{2026, 5, 6, 7, 8, 9, 3});
  const platform::ScopedTextPlatform useClock(clock);
  list_.AddDroppedEntries({{"a", "C:\\x\\a.txt"}, {"b", "C:\\x\\b"}, {"a", "C:\\x\\a.txt"}});
  ASSERT_EQ(list_.sheetAll.RowCount(), 6);
  for (int row = 3; row < 6; ++row) {
    EXPECT_EQ(list_.sheetAll.GetCell(0, row), std::to_string(row + 3));
    EXPECT_EQ(list_.sheetAll.GetCell(3, row), "1");
    EXPECT_EQ(list_.sheetAll.GetCell(4, row), TimeText(2026, 5, 6, 7, 8, 9));
    EXPECT_EQ(list_.sheetAll.GetRow(row).Count(), 7);
  }
  EXPECT_EQ(list_.sheetAll.GetCell(2, 5), "C:\\x\\a.txt");  // the same file twice: two entries
  EXPECT_EQ(display_.selection, 5);
  EXPECT_EQ(display_.items.size(), 6u);

  const std::string text = ReadList();
  std::size_t lines = 0;
  for (std::size_t start = 0, end; (end = text.find("\r\n", start)) != std::string::npos; start = end + 2) {
    EXPECT_EQ(std::count(text.begin() + static_cast<long>(start), text.begin() + static_cast<long>(end), '\t'), 6);
    ++lines;
  }
  EXPECT_EQ(lines, 6u);
}

TEST_F(EntryEditingTest, DropOntoAnEmptyListStartsAtOne) {
  list_.Load();
  list_.ResetView();
  list_.AddDroppedEntries({{"Tools", "C:\\Tools"}});
  EXPECT_EQ(list_.sheetAll.GetCell(0, 0), "1");
  EXPECT_EQ(display_.items, std::vector<std::string>{"Tools"});
  EXPECT_EQ(display_.selection, 0);
}

TEST_F(EntryEditingTest, DroppedEntriesStayShownWhenTheSaveFails) {
  LauncherList noFolder(folder_.File("missing") + "/applist.tsv", display_);
  EXPECT_THROW(noFolder.AddDroppedEntries({{"a", "C:\\a.txt"}, {"b", "C:\\b.txt"}}), AppError);
  EXPECT_EQ(noFolder.sheetAll.RowCount(), 2);
  EXPECT_EQ(display_.items.size(), 2u);
}

TEST_F(EntryEditingTest, StoreEditsTheEntryByIdKeepingIdAndCount) {
  Loaded(ThreeEntries());
  EXPECT_EQ(list_.StoreEntry("5", "\x93\x64\x91\xEC", "C:\\calc 2.exe", "not a date"), "5");
  ASSERT_EQ(list_.sheetAll.RowCount(), 3);
  EXPECT_EQ(list_.sheetAll.GetCell(1, 1), "\x93\x64\x91\xEC");
  EXPECT_EQ(list_.sheetAll.GetCell(2, 1), "C:\\calc 2.exe");
  EXPECT_EQ(list_.sheetAll.GetCell(3, 1), "10");
  EXPECT_EQ(list_.sheetAll.GetCell(4, 1), "not a date");
  // A time that is not a date sorts before every real one.
  EXPECT_EQ(display_.items.front(), "\x93\x64\x91\xEC");
  EXPECT_NE(ReadList().find("5\t\x93\x64\x91\xEC\t\"C:\\calc 2.exe\"\t10\t\"not a date\"\r\n"), std::string::npos);
}

TEST_F(EntryEditingTest, StoreOfANewOrVanishedEntryAppendsWithTheNextIdAndNoCount) {
  Loaded(ThreeEntries());
  EXPECT_EQ(list_.StoreEntry("", "new", "new.exe", TimeText(2026, 1, 1, 0, 0, 1)), "6");
  EXPECT_EQ(list_.StoreEntry("42", "gone", "gone.exe", ""), "7");
  ASSERT_EQ(list_.sheetAll.RowCount(), 5);
  EXPECT_EQ(list_.sheetAll.GetCell(1, 3), "new");
  EXPECT_EQ(list_.sheetAll.GetCell(3, 3), "");
  EXPECT_EQ(list_.sheetAll.GetCell(0, 4), "7");
}

TEST_F(EntryEditingTest, StoreWithoutIdOverwritesTheFirstRowWithoutId) {
  Loaded(Line("2", "a", "a.exe", "", "") + Line("", "no id", "x.exe", "4", "") + Line("", "also none", "y.exe", "", ""));
  EXPECT_EQ(list_.StoreEntry("", "named", "n.exe", ""), "3");
  EXPECT_EQ(list_.sheetAll.RowCount(), 3);
  EXPECT_EQ(list_.sheetAll.GetCell(1, 1), "named");
  EXPECT_EQ(list_.sheetAll.GetCell(3, 1), "4");
  EXPECT_EQ(list_.sheetAll.GetCell(1, 2), "also none");
}

TEST_F(EntryEditingTest, FailedStoreLeavesTheStoreAsItWas) {
  // The user is told nothing was saved: no later save may write it.
  LauncherList noFolder(folder_.File("missing") + "/applist.tsv", display_);
  std::string id = "unchanged";
  EXPECT_THROW(noFolder.StoreEntry("", "x", "x.exe", "", &id), AppError);
  EXPECT_EQ(id, "unchanged");
  EXPECT_EQ(noFolder.sheetAll.RowCount(), 0);
  EXPECT_TRUE(display_.items.empty());

  Loaded(ThreeEntries());
  ASSERT_TRUE(std::filesystem::remove(ListPath()));
  ASSERT_TRUE(std::filesystem::create_directory(ListPath()));  // the file cannot be replaced
  EXPECT_THROW(list_.StoreEntry("5", "renamed", "C:\\other.exe", "x"), AppError);
  EXPECT_EQ(list_.sheetAll.GetCell(1, 1), "Calculator");
  EXPECT_EQ(list_.sheetAll.GetCell(2, 1), "calc.exe");
}

TEST_F(EntryEditingTest, DeleteSelectsTheStoreRowsFormerNumber) {
  Loaded(ThreeEntries());  // shown: Memo(3), Notepad(1), Calculator(5)
  ASSERT_EQ(display_.items, (std::vector<std::string>{"Memo", "Notepad", "Calculator"}));
  list_.DeleteViewEntry(1);  // Notepad, store row 0
  EXPECT_EQ(display_.items, (std::vector<std::string>{"Memo", "Calculator"}));
  EXPECT_EQ(display_.selection, 0);
  const std::string saved = ReadList();
  EXPECT_EQ(saved.rfind("5\tCalculator\t", 0), 0u) << saved;
  EXPECT_NE(saved.find("\r\n3\tMemo\t"), std::string::npos) << saved;
  EXPECT_EQ(saved.find("Notepad"), std::string::npos) << saved;

  list_.DeleteViewEntry(0);  // Memo, store row 1: no item 1 any more, the last stays selected
  EXPECT_EQ(display_.items, std::vector<std::string>{"Calculator"});
  EXPECT_EQ(display_.selection, 0);
}

TEST_F(EntryEditingTest, DeleteOfAnIdMissingFromTheStoreLeavesTheViewRowOnlyAndSavesNothing) {
  Loaded(ThreeEntries());
  list_.sheetAll.DeleteRow(2);  // the shown Memo is no longer in the store
  const std::string before = ReadList();  // a save would write two rows
  list_.DeleteViewEntry(0);
  EXPECT_EQ(list_.sheetView.RowCount(), 2);
  EXPECT_EQ(list_.sheetAll.RowCount(), 2);
  EXPECT_EQ(ReadList(), before);
  EXPECT_EQ(display_.items.size(), 3u);  // not refilled
}

TEST_F(EntryEditingTest, RemoveMissingAsksOncePerMissingDriveTargetInStoreOrder) {
  Loaded(Line("1", "gone", "D:\\Games\\x.exe", "", "") + Line("2", "web", "https://example.com/", "", "") +
         Line("3", "calc", "calc.exe", "", "") + Line("4", "share", "\\\\server\\s\\a.exe", "", "") +
         Line("5", "here", "C:\\here.exe", "", "") + Line("6", "gone too", "E:\\y\\", "", "") +
         Line("7", "kept", "F:\\z.exe", "", "") + Line("8", "quoted", "\"\"\"C:\\here.exe\"\" -x\"", "", ""));
  std::vector<std::string> asked;
  list_.RemoveMissing([](const std::string& target) { return target == "C:\\here.exe"; },
                      [&](const std::string& name, const std::string& target) {
                        asked.push_back(name + "|" + target);
                        return name != "kept";
                      });
  EXPECT_EQ(asked, (std::vector<std::string>{"gone|D:\\Games\\x.exe", "gone too|E:\\y\\", "kept|F:\\z.exe"}));
  ASSERT_EQ(list_.sheetAll.RowCount(), 6);
  EXPECT_EQ(list_.sheetAll.GetCell(1, 0), "web");
  EXPECT_EQ(list_.sheetAll.GetCell(1, 4), "kept");
  EXPECT_EQ(list_.sheetAll.GetCell(1, 5), "quoted");  // its program is there
  EXPECT_EQ(list_.sheetAll.GetCell(2, 5), "\"C:\\here.exe\" -x");
  EXPECT_EQ(display_.items.size(), 6u);
  EXPECT_EQ(ReadList().find("gone"), std::string::npos);
}

TEST_F(EntryEditingTest, RemoveMissingFindsTheEntryAgainByIdAfterEachQuestion) {
  // While a question is up the list is read again: the row the question
  // was about now holds another entry, which must stay.
  Loaded(Line("1", "gone", "D:\\x.exe", "", "") + Line("2", "keep", "C:\\here.exe", "", ""));
  list_.RemoveMissing([](const std::string& target) { return target == "C:\\here.exe"; },
                      [&](const std::string&, const std::string&) {
                        list_.sheetAll.DeleteRow(0);
                        return true;
                      });
  ASSERT_EQ(list_.sheetAll.RowCount(), 1);
  EXPECT_EQ(list_.sheetAll.GetCell(1, 0), "keep");
  EXPECT_NE(ReadList().find("keep"), std::string::npos);

}

TEST_F(EntryEditingTest, RemoveMissingSavesEvenWhenEveryAnswerIsNo) {
  Loaded(Line("1", "gone", "D:\\x.exe", "", ""));
  std::filesystem::remove(ListPath());  // only a save brings it back
  int questions = 0;
  list_.RemoveMissing([](const std::string&) { return false; },
                      [&](const std::string&, const std::string&) { return ++questions, false; });
  EXPECT_EQ(questions, 1);
  EXPECT_EQ(ReadList(), Line("1", "gone", "D:\\x.exe", "", ""));
}

// Another program rewrites the list file while the launcher runs: each change
// goes onto the rows the file holds then, found by ID.
TEST_F(EntryEditingTest, LaunchDropAndDeleteKeepWhatAnotherProgramWrote) {
  Loaded(ThreeEntries());
  std::vector<std::string> stale;
  list_.OnEntryIconStale = [&](const std::string& id) { stale.push_back(id); };
  // Notepad counted 7 elsewhere, Memo removed, 9 added.
  WriteList(Line("1", "Notepad", "n.exe", "7", "") + Line("5", "Calculator", "calc.exe", "10", "") +
            Line("9", "Theirs", "t.exe", "", ""));
  list_.RecordLaunch("1");
  EXPECT_EQ(ReadList().rfind("1\tNotepad\tn.exe\t8\t", 0), 0u) << ReadList();
  EXPECT_EQ(ReadList().find("Memo"), std::string::npos);
  EXPECT_EQ(stale, (std::vector<std::string>{"1", "3", "9"}));  // target changed, gone, new
  EXPECT_EQ(display_.items.size(), 3u);

  WriteList(ReadList() + Line("10", "Added", "a.exe", "", ""));
  list_.AddDroppedEntries({{"Dropped", "C:\\d.txt"}});
  EXPECT_NE(ReadList().find("\r\n10\tAdded\ta.exe\t\t\t\t\r\n11\tDropped\t"), std::string::npos) << ReadList();

  const int calculator = list_.ViewRowOf("5", "calc.exe");
  WriteList(ReadList() + Line("12", "Later", "l.exe", "", ""));
  list_.DeleteViewEntry(calculator);
  EXPECT_EQ(ReadList().find("Calculator"), std::string::npos);
  EXPECT_NE(ReadList().find("12\tLater"), std::string::npos);
  EXPECT_EQ(display_.items.size(), 5u);  // shown from the rows read
}

TEST_F(EntryEditingTest, StoreNeverWritesOverAnotherProgramsRemovalOrNewRow) {
  Loaded(ThreeEntries());
  const std::string theirs = Line("1", "Notepad", "n.exe", "", "");
  WriteList(theirs);
  EXPECT_THROW(list_.StoreEntry("3", "Memo 2", "D:\\memo2.txt", ""), AppError);
  EXPECT_EQ(ReadList(), theirs);
  EXPECT_EQ(display_.items, std::vector<std::string>{"Notepad"});

  const std::string reserved = list_.NewId();  // "2", taken meanwhile elsewhere
  WriteList(theirs + Line("2", "Other", "o.exe", "", ""));
  EXPECT_EQ(list_.StoreEntry(reserved, "Mine", "m.exe", ""), "3");
  EXPECT_NE(ReadList().find("2\tOther\to.exe"), std::string::npos) << ReadList();
  EXPECT_NE(ReadList().find("3\tMine\tm.exe"), std::string::npos) << ReadList();
}

TEST_F(EntryEditingTest, EveryChangeIsRefusedWhileTheListCouldNotBeRead) {
  LoadUnreadable();
  const std::string original = ReadList();
  EXPECT_THROW(list_.CheckSavable(), AppError);
  EXPECT_THROW(list_.AddDroppedEntries({{"a", "C:\\a.txt"}}), AppError);
  EXPECT_THROW(list_.StoreEntry("", "a", "a.exe", ""), AppError);
  int questions = 0;
  EXPECT_THROW(list_.RemoveMissing([](const std::string&) { return false; },
                                    [&](const std::string&, const std::string&) { return ++questions, true; }),
               AppError);
  EXPECT_EQ(questions, 0);
  EXPECT_EQ(list_.sheetAll.RowCount(), 0);
  EXPECT_EQ(ReadList(), original);
  try {
    list_.StoreEntry("", "a", "a.exe", "");
  } catch (const AppError& error) {
    EXPECT_NE(std::string(error.what()).find("上書き保存しません"), std::string::npos) << error.what();
  }
}

}  // namespace
}  // namespace lumora
