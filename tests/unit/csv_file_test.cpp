// The text sheet's files: reading with its block boundaries and bad input,
// writing with padding and quoting, round trips, and the failures of opening
// and creating files.
#include <gtest/gtest.h>

#include <filesystem>
#include <set>
#include <string>
#include <vector>

#include "platform/error.h"
#include "platform/files.h"
#include "sheet/CsvUtils2.h"
#include "support/sheet_temp_folder.h"

namespace lumora {
namespace {

using Rows = std::vector<std::vector<std::string>>;

// Every row with Count() cells, as read.
Rows Cells(TCsvSheet& sheet) {
  Rows rows;
  for (int r = 0; r < sheet.RowCount(); ++r) {
    const TCsvCells& row = sheet.GetRow(r);
    std::vector<std::string> cells;
    for (int c = 0; c < row.Count(); ++c) cells.push_back(row.GetCell(c));
    rows.push_back(cells);
  }
  return rows;
}

class CsvFileTest : public ::testing::Test {
 protected:
  // Writes the bytes to a file and reads it into a sheet.
  Rows Load(std::string_view bytes, char delimiter = '\t') {
    const std::string path = folder_.File("in.tsv");
    test::WriteBytes(path, bytes);
    TCsvSheet sheet;
    sheet.LoadFromFile(path, delimiter);
    return Cells(sheet);
  }

  std::string Save(const TCsvSheet& sheet, char delimiter = '\t') {
    const std::string path = folder_.File("out.tsv");
    sheet.SaveToFile(path, delimiter, "\r\n");
    return test::ReadBytes(path);
  }

  test::TempFolder folder_;
};

TEST_F(CsvFileTest, LinesAndLineBreaks) {
  EXPECT_EQ(Load("a\tb"), (Rows{{"a", "b"}}));
  EXPECT_EQ(Load("a\tb\r\n"), (Rows{{"a", "b"}, {""}}));
  EXPECT_EQ(Load("a\rb\nc\r\n\r\nd"), (Rows{{"a"}, {"b"}, {"c"}, {""}, {"d"}}));
  EXPECT_EQ(Load("a\r"), (Rows{{"a"}, {""}}));
  EXPECT_EQ(Load("a\t"), (Rows{{"a", ""}}));
  EXPECT_EQ(Load(""), (Rows{{""}}));
  EXPECT_EQ(Load("\r\n"), (Rows{{""}, {""}}));
}

TEST_F(CsvFileTest, SpacesAndQuotes) {
  EXPECT_EQ(Load("a\t  b"), (Rows{{"a", "b"}}));
  EXPECT_EQ(Load("  a"), (Rows{{"  a"}}));
  EXPECT_EQ(Load("a\t\"  b\""), (Rows{{"a", "  b"}}));
  EXPECT_EQ(Load("a\tb  "), (Rows{{"a", "b  "}}));
  EXPECT_EQ(Load("x\"y\"z"), (Rows{{"xyz"}}));
  EXPECT_EQ(Load("\"a\"\"b\"\t\"c\td\""), (Rows{{"a\"b", "c\td"}}));
  EXPECT_EQ(Load("\"\"\"\"\t\"\""), (Rows{{"\"", ""}}));
  EXPECT_EQ(Load("a,\"b,c\", d", ','), (Rows{{"a", "b,c", "d"}}));
}

TEST_F(CsvFileTest, QuotedCellsAcrossLines) {
  // Line breaks inside a quoted cell stay as the file has them.
  EXPECT_EQ(Load("\"one\ntwo\nthree\"\tx\ny"), (Rows{{"one\ntwo\nthree", "x"}, {"y"}}));
  EXPECT_EQ(Load("\"a\r\rb\""), (Rows{{"a\r\rb"}}));
  EXPECT_EQ(Load("\"a\r\nb\nc\rd\""), (Rows{{"a\r\nb\nc\rd"}}));
  // An unclosed quoted cell takes the rest of the file and ends with it.
  EXPECT_EQ(Load("a\t\"b\r\nc\r\n"), (Rows{{"a", "b\r\nc"}}));
  EXPECT_EQ(Load("a\t\"b\r\nc\r\n\r\n"), (Rows{{"a", "b\r\nc\r\n"}}));
  EXPECT_EQ(Load("\""), (Rows{{""}}));
}

TEST_F(CsvFileTest, TwoByteCharactersAreNeverSplit) {
  // Second bytes 0x5C and 0x7C, the latter read with "|" as the delimiter.
  EXPECT_EQ(Load("\x83\x5C\x95\x5C\t\x83\x7C"), (Rows{{"\x83\x5C\x95\x5C", "\x83\x7C"}}));
  EXPECT_EQ(Load("a\x83\x7C|b", '|'), (Rows{{"a\x83\x7C", "b"}}));
  EXPECT_EQ(Load("\"\x83\x7C|\"|b", '|'), (Rows{{"\x83\x7C|", "b"}}));
  // A lead byte as the last byte of the file stands alone.
  EXPECT_EQ(Load("a\tb\x83"), (Rows{{"a", "b\x83"}}));
  // A lead byte before a tab, CR, LF, quote or comma stands alone: the cells
  // around it never merge.
  EXPECT_EQ(Load("1\tbad\x81\tC:\\x.exe\t4"), (Rows{{"1", "bad\x81", "C:\\x.exe", "4"}}));
  EXPECT_EQ(Load("a\x83\r\nb\x83\nc"), (Rows{{"a\x83"}, {"b\x83"}, {"c"}}));
  EXPECT_EQ(Load("\"a\x83\"\tb"), (Rows{{"a\x83", "b"}}));
  EXPECT_EQ(Load("\"a\x83\"\"\"\tb"), (Rows{{"a\x83\"", "b"}}));
  EXPECT_EQ(Load("a\x83,b", ','), (Rows{{"a\x83", "b"}}));
  EXPECT_EQ(Load(std::string(65534, 'a') + "\x83\tb"), (Rows{{std::string(65534, 'a') + "\x83", "b"}}));
}

TEST_F(CsvFileTest, RowsWithStrayLeadBytesWriteBackTheSameBytes) {
  const std::string bytes =
      "1\tbad\x81\tC:\\x.exe\t4\t\"2024/01/02 3:04:05\"\t\t\t\r\n"
      "2\t\"q\x81\"\"\"\t\"x\x81\ty\"\t\"a\x81\nb\rc\"\t0\t\t\t\r\n";
  const std::string path = folder_.File("stray.tsv");
  test::WriteBytes(path, bytes);
  TCsvSheet sheet;
  sheet.LoadFromFile(path, '\t');
  sheet.TrimEmptyRows();
  EXPECT_EQ(sheet.GetCell(2, 1), "x\x81\ty");
  EXPECT_EQ(Save(sheet), bytes);
}

TEST_F(CsvFileTest, ZeroBytesAreDroppedAndReadingGoesOn) {
  using namespace std::string_literals;
  EXPECT_EQ(Load("a\0b\tc\r\n\0\0d"s), (Rows{{"ab", "c"}, {"d"}}));
  EXPECT_EQ(Load("\0"s), (Rows{{""}}));
  EXPECT_EQ(Load("\x83\0\x5C|x"s, '|'), (Rows{{"\x83\x5C", "x"}}));
  EXPECT_EQ(Load("a\r\0\nb"s), (Rows{{"a"}, {"b"}}));
  // Nothing behind a zero byte is lost, far past the first block either.
  std::string bytes = "first\0"s + std::string(70000, 'x') + "\tlast\r\nrow";
  bytes[30000] = '\0';
  const Rows rows = Load(bytes);
  ASSERT_EQ(rows.size(), 2u);
  EXPECT_EQ(rows[0][0], "first" + std::string(69999, 'x'));
  EXPECT_EQ(rows[0][1], "last");
  EXPECT_EQ(rows[1], (std::vector<std::string>{"row"}));
}

TEST_F(CsvFileTest, BlockBoundaries) {
  // Blocks hold 65,535 bytes: byte 65534 is the last of the first block.
  const std::string filler(65534, 'a');
  EXPECT_EQ(Load(filler + "\x83\x7C|b", '|'), (Rows{{filler + "\x83\x7C", "b"}}));
  EXPECT_EQ(Load(filler + "\r\nb"), (Rows{{filler}, {"b"}}));
  EXPECT_EQ(Load(filler + "\"\"\"|\"b\"", '|'), (Rows{{filler + "\"|b"}}));
  EXPECT_EQ(Load(filler + "a\r\nb"), (Rows{{filler + "a"}, {"b"}}));
  EXPECT_EQ(Load(filler + "a\x83"), (Rows{{filler + "a\x83"}}));
  const std::string twoBlocks(65535 * 2, 'b');
  EXPECT_EQ(Load(twoBlocks + "\r\n"), (Rows{{twoBlocks}, {""}}));
}

TEST_F(CsvFileTest, OneMebibyteLine) {
  std::string cell;
  while (cell.size() < (1u << 20)) cell += "\x95\x5C\x83\x5C|\\";
  const Rows rows = Load(cell + "\tend\r\n");
  ASSERT_EQ(rows.size(), 2u);
  EXPECT_EQ(rows[0], (std::vector<std::string>{cell, "end"}));
}

TEST_F(CsvFileTest, WritesPaddedLinesWithCrLf) {
  TCsvSheet sheet;
  for (int c = 0; c < 5; ++c) sheet.SetCell(c, 0, std::to_string(c));
  for (int c = 0; c < 7; ++c) sheet.SetCell(c, 2, "x");
  EXPECT_EQ(Save(sheet), "0\t1\t2\t3\t4\t\t\r\n\r\nx\tx\tx\tx\tx\tx\tx\r\n");
  EXPECT_EQ(Save(TCsvSheet()), "");
  TCsvSheet emptyRow;
  emptyRow.AddRow(std::make_unique<TCsvCells>());
  EXPECT_EQ(Save(emptyRow), "\r\n");
}

TEST_F(CsvFileTest, EveryCellReadsBackEqual) {
  const std::vector<std::string> cells = {
      "plain", "a\"b", "\"", "a\tb", "a b", "  lead", "trail  ", "a\r\nb", "\r\n", "ID", "id",
      "Id", "", "x,y", "\x83\x5C\x95\x5C", "\x83\x7C\"", "C:\\\x95\x5C\\\x83\x5C.txt",
      "\x82\xA0\x82\xA2", "\"quoted\"", "\xB1\xDE", "a\"\"\"b"};
  TCsvSheet sheet;
  for (std::size_t i = 0; i < cells.size(); ++i) {
    sheet.SetCell(static_cast<int>(i % 4), static_cast<int>(i / 4), cells[i]);
  }
  for (char delimiter : {'\t', ','}) {
    const std::string path = folder_.File("round.txt");
    sheet.SaveToFile(path, delimiter, "\r\n");
    TCsvSheet back;
    back.LoadFromFile(path, delimiter);
    ASSERT_EQ(back.RowCount(), sheet.RowCount() + 1);
    EXPECT_TRUE(back.GetRow(sheet.RowCount()).IsEmptyRow());
    back.TrimEmptyRows();
    for (std::size_t i = 0; i < cells.size(); ++i) {
      EXPECT_EQ(back.GetCell(static_cast<int>(i % 4), static_cast<int>(i / 4)), cells[i])
          << "cell " << i << " delimiter " << int{delimiter};
    }
    EXPECT_EQ(back.GetRow(0).Count(), 4);
    EXPECT_EQ(back.GetRow(back.RowCount() - 1).Count(), 4);  // padded
  }
}

TEST_F(CsvFileTest, LineBreaksInCellsReadBackUnchanged) {
  TCsvSheet sheet;
  sheet.SetCell(0, 0, "a\nb\rc");
  sheet.SetCell(1, 0, "z");
  sheet.SaveToFile(folder_.File("breaks.tsv"), '\t', "\r\n");
  TCsvSheet back;
  back.LoadFromFile(folder_.File("breaks.tsv"), '\t');
  EXPECT_EQ(back.GetCell(0, 0), "a\nb\rc");
  EXPECT_EQ(back.GetCell(1, 0), "z");
}

TEST_F(CsvFileTest, LoadingReplacesTheRows) {
  TCsvSheet sheet;
  sheet.SetCell(3, 4, "old");
  test::WriteBytes(folder_.File("new.tsv"), "n");
  sheet.LoadFromFile(folder_.File("new.tsv"), '\t');
  EXPECT_EQ(Cells(sheet), (Rows{{"n"}}));
}

TEST_F(CsvFileTest, MissingFileClearsTheSheetAndNamesThePath) {
  TCsvSheet sheet;
  sheet.SetCell(0, 0, "kept?");
  const std::string path = folder_.File("missing.tsv");
  try {
    sheet.LoadFromFile(path, '\t');
    FAIL() << "no error";
  } catch (const AppError& e) {
    const std::string message = e.what();
    const std::string head = "ファイル \"" + path + "\" は開けません\r\n";
    EXPECT_EQ(message.substr(0, head.size()), head);
    ASSERT_GT(message.size(), head.size());  // the reason on a line of its own
  }
  EXPECT_EQ(sheet.RowCount(), 0);
  EXPECT_THROW(sheet.LoadFromFile(folder_.Path().string(), '\t'), AppError);
}

TEST_F(CsvFileTest, FailedSaveKeepsSheetAndOldFile) {
  TCsvSheet sheet;
  sheet.SetCell(0, 0, "data");
  const std::string path = (folder_.Path() / "no such folder" / "out.tsv").string();
  try {
    sheet.SaveToFile(path, '\t', "\r\n");
    FAIL() << "no error";
  } catch (const AppError& e) {
    const std::string message = e.what();
    const std::string head = "ファイル \"" + path + "\" を作成できません\r\n";
    EXPECT_EQ(message.substr(0, head.size()), head);
    ASSERT_GT(message.size(), head.size());
  }
  EXPECT_EQ(Cells(sheet), (Rows{{"data"}}));

  // A folder in the target's place stays what it was.
  const auto target = folder_.Path() / "target";
  std::filesystem::create_directory(target);
  EXPECT_THROW(sheet.SaveToFile(target.string(), '\t', "\r\n"), AppError);
  EXPECT_TRUE(std::filesystem::is_directory(target));
}

TEST_F(CsvFileTest, SaveReplacesTheFileOnlyOnCommit) {
  const std::string path = folder_.File("list.tsv");
  test::WriteBytes(path, "old\r\n");
  {
    auto out = platform::CreateOutputFile(path);
    out->Write("new", 3);
  }  // destroyed without Commit
  EXPECT_EQ(test::ReadBytes(path), "old\r\n");
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder_.Path()),
                          std::filesystem::directory_iterator()),
            1);  // no temporary file left behind

  TCsvSheet sheet;
  sheet.SetCell(0, 0, "new");
  sheet.SaveToFile(path, '\t', "\r\n");
  EXPECT_EQ(test::ReadBytes(path), "new\r\n");
  EXPECT_TRUE(platform::FileExists(path));
  EXPECT_FALSE(platform::FileExists(folder_.Path().string()));
  EXPECT_FALSE(platform::FileExists(folder_.File("nothing")));
}

// Links to the list file (a list kept in a synced folder) stay links: the
// file they lead to is replaced, in the same safe way.
class CsvFileLinkTest : public CsvFileTest {
 protected:
  // Makes link lead to target (relative or absolute); false where this
  // system gives the tests no symbolic links (the Windows build's library
  // under Wine: tests/win/files_win_test.cpp makes its links another way).
  static bool Link(const std::filesystem::path& target, const std::filesystem::path& link) {
    std::error_code error;
    std::filesystem::create_symlink(target, link, error);
    return !error && std::filesystem::is_symlink(std::filesystem::symlink_status(link, error));
  }
  static void SaveText(const std::string& path, const std::string& text) {
    TCsvSheet sheet;
    sheet.SetCell(0, 0, text);
    sheet.SaveToFile(path, '\t', "\r\n");
  }
  // The names in a folder.
  static std::set<std::string> Names(const std::filesystem::path& folder) {
    std::set<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(folder)) {
      names.insert(entry.path().filename().string());
    }
    return names;
  }
  void SetUp() override {
    std::filesystem::create_directory(folder_.Path() / "data");
    std::filesystem::create_directory(folder_.Path() / "synced");
  }
  std::filesystem::path Data() const { return folder_.Path() / "data"; }
  std::filesystem::path Synced() const { return folder_.Path() / "synced"; }
};

TEST_F(CsvFileLinkTest, SavingThroughALinkReplacesTheFileItLeadsTo) {
  test::WriteBytes((Synced() / "list.tsv").string(), "old\r\n");
  const auto link = Data() / "applist.tsv";
  if (!Link(std::filesystem::path("..") / "synced" / "list.tsv", link)) GTEST_SKIP() << "no symbolic links";

  SaveText(link.string(), "new");
  EXPECT_TRUE(std::filesystem::is_symlink(link)) << "the link was replaced by a file";
  EXPECT_EQ(std::filesystem::read_symlink(link), std::filesystem::path("..") / "synced" / "list.tsv");
  EXPECT_EQ(test::ReadBytes((Synced() / "list.tsv").string()), "new\r\n");
  EXPECT_EQ(Names(Data()), (std::set<std::string>{"applist.tsv"}));
  EXPECT_EQ(Names(Synced()), (std::set<std::string>{"list.tsv"}));  // no temporary file left

  // Read back through the link, and saved again.
  TCsvSheet back;
  back.LoadFromFile(link.string(), '\t');
  EXPECT_EQ(back.GetCell(0, 0), "new");
  SaveText(link.string(), "newer");
  EXPECT_TRUE(std::filesystem::is_symlink(link));
  EXPECT_EQ(test::ReadBytes((Synced() / "list.tsv").string()), "newer\r\n");
}

TEST_F(CsvFileLinkTest, ALinkToALinkReachesTheFileAtTheEnd) {
  test::WriteBytes((Synced() / "list.tsv").string(), "old\r\n");
  const auto middle = folder_.Path() / "middle.tsv";
  const auto link = Data() / "applist.tsv";
  if (!Link(Synced() / "list.tsv", middle) || !Link(middle, link)) GTEST_SKIP() << "no symbolic links";

  SaveText(link.string(), "new");
  EXPECT_TRUE(std::filesystem::is_symlink(link));
  EXPECT_TRUE(std::filesystem::is_symlink(middle));
  EXPECT_EQ(test::ReadBytes((Synced() / "list.tsv").string()), "new\r\n");
  EXPECT_EQ(Names(Synced()), (std::set<std::string>{"list.tsv"}));
}

TEST_F(CsvFileLinkTest, ALinkToAFileNotThereYetCreatesThatFileAndStays) {
  const auto link = Data() / "applist.tsv";
  if (!Link(Synced() / "list.tsv", link)) GTEST_SKIP() << "no symbolic links";
  EXPECT_FALSE(platform::FileExists(link.string()));

  SaveText(link.string(), "first");
  EXPECT_TRUE(std::filesystem::is_symlink(link));
  EXPECT_EQ(test::ReadBytes((Synced() / "list.tsv").string()), "first\r\n");
  EXPECT_TRUE(platform::FileExists(link.string()));
  EXPECT_EQ(Names(Data()), (std::set<std::string>{"applist.tsv"}));
}

TEST_F(CsvFileLinkTest, ALoopOfLinksIsAnErrorAndChangesNothing) {
  const auto a = Data() / "applist.tsv";
  const auto b = Data() / "other.tsv";
  if (!Link(b, a) || !Link(a, b)) GTEST_SKIP() << "no symbolic links";
  EXPECT_THROW(SaveText(a.string(), "x"), AppError);
  EXPECT_TRUE(std::filesystem::is_symlink(a));
  EXPECT_TRUE(std::filesystem::is_symlink(b));
  EXPECT_EQ(Names(Data()), (std::set<std::string>{"applist.tsv", "other.tsv"}));
}

}  // namespace
}  // namespace lumora
