// The text sheet: a small in-memory table of ANSI text cells, with a reader
// and writer for delimited text files (comma or tab, double-quote quoting)
// and three sorts. The launcher list lives in two of them.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace lumora {

namespace platform {
struct FileStamp;
}

// One row. A cell is a text of its own or an absent slot; an absent slot
// reads as empty text. A cell text ends at its first zero byte.
//
// The texts of a row sit end to end in one string; empty cells at the end of
// the row are only counted, so a row padded with thousands of empty cells
// (the writer pads every row to the widest) costs next to nothing.
class TCsvCells {
 public:
  TCsvCells() = default;
  TCsvCells(const TCsvCells&) = default;
  TCsvCells& operator=(const TCsvCells& other);
  TCsvCells(TCsvCells&&) noexcept = default;
  TCsvCells& operator=(TCsvCells&& other) noexcept;
  virtual ~TCsvCells() = default;

  int Add(std::string_view text);
  void Assign(const TCsvCells& other);
  virtual void Clear();
  int Count() const;
  std::string GetCell(int index) const;
  // The same text without a copy; valid until the row changes.
  std::string_view CellView(int index) const;
  void SetCell(int index, std::string_view text);
  bool IsEmptyRow() const;
  // Gives back the room a row grown cell by cell no longer needs.
  void ShrinkToFit();
  // The row as one line without line end; n < 0 means the row's own Count.
  std::string RowText(char delimiter, int n) const;

  // A sort key worked out from the row, kept until the row changes. The tag
  // names how it was worked out (nonzero; see NewSortKeyTag); a key kept
  // under another tag is not given back.
  std::optional<double> KeptSortKey(std::uint32_t tag) const {
    return tag != 0 && keyTag_ == tag ? std::optional<double>(key_) : std::nullopt;
  }
  void KeepSortKey(std::uint32_t tag, double key) const {
    keyTag_ = tag;
    key_ = key;
  }

 private:
  // Cell i is text_[start(i), ends_[i]); cells from ends_.size() to count_
  // are empty.
  std::string text_;
  std::vector<std::uint32_t> ends_;
  int count_ = 0;
  mutable std::uint32_t keyTag_ = 0;  // 0: no key kept
  mutable double key_ = 0;
};

// A tag no other caller has: sort keys worked out one way (one column, one
// conversion) are kept on the rows under it.
std::uint32_t NewSortKeyTag();

// A byte as the text sort compares it: a-z taken as A-Z (every byte, second
// bytes of two-byte characters too); texts then compare byte by byte, a
// shorter text before a longer one it begins.
inline char TextSortByte(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; }

// A number that moves on at every change of any row's cells and of any
// sheet's rows (added, removed, reordered): what was worked out from sheets
// is still good while it reads the same. Rows and sheets are changed on one
// thread.
std::uint64_t SheetChanges();

// An ordered list of rows (a slot may be absent). A sheet may show rows of
// another sheet without copying them (ShareRows, AddSharedRow): a change to
// such a row is seen in both.
class TCsvSheet {
 public:
  TCsvSheet() = default;
  TCsvSheet(const TCsvSheet&) = delete;
  TCsvSheet& operator=(const TCsvSheet&) = delete;
  virtual ~TCsvSheet() = default;

  // When true, sorting leaves row 0 in place and sorts rows 1 onward.
  bool headerRow = false;

  virtual void Clear();
  int AddRow(std::unique_ptr<TCsvCells> row);
  // A deep copy of other's rows.
  void Assign(const TCsvSheet& other);
  // The rows of other themselves, in other's order (no copy).
  void ShareRows(const TCsvSheet& other);
  // The rows of other at these numbers themselves, in this order (no copy).
  void ShareRows(const TCsvSheet& other, const std::vector<int>& rows);
  // Appends row of other itself (no copy).
  int AddSharedRow(const TCsvSheet& other, int row);
  void DeleteRow(int row);
  int RowCount() const;
  // The row itself; an absent slot is created as an empty row. Throws for an
  // index outside 0..RowCount()-1.
  TCsvCells& GetRow(int row);
  std::string GetCell(int column, int row) const;
  void SetCell(int column, int row, std::string_view text);
  int FindRow(int column, std::string_view text, int startRow) const;
  int MaxColCount() const;
  int NextNumber(int column, int start) const;
  // Clears the sheet, then reads the file in 65,535-byte blocks. Zero bytes
  // in the file are dropped and reading goes on behind them, so a zero byte
  // never ends the data or loses what follows it. stamp, when given, gets
  // the stamp of the bytes read.
  void LoadFromFile(const std::string& path, char delimiter, platform::FileStamp* stamp = nullptr);
  // Writes every row through a temporary file that replaces the target only
  // when all of it has been written; on failure the old file stays. stamp,
  // when given, gets the stamp of the bytes written (set only once the file
  // is in place).
  void SaveToFile(const std::string& path, char delimiter, std::string_view lineEnd,
                  platform::FileStamp* stamp = nullptr) const;
  // order, when given, gets for each row after the sort the number it had
  // before.
  void SortByText(int column, std::vector<int>* order = nullptr);
  // keyTag: when nonzero, each row keeps its converted cell under this tag,
  // so a later sort with the same tag converts only rows changed since.
  void SortByNumber(int column, std::uint32_t keyTag = 0, std::vector<int>* order = nullptr);
  void SortByDate(int column);
  // The same with another conversion of the cells to dates (nothing: date 0),
  // for a caller that keeps converted dates between sorts.
  using DateReader = std::function<std::optional<double>(std::string_view)>;
  void SortByDate(int column, const DateReader& readDate, std::uint32_t keyTag = 0,
                  std::vector<int>* order = nullptr);
  // Sorts by a number given for each row (keys[i] for row i, 0 past the
  // end), worked out by the caller: the same sort as the others, with the
  // keys compared as numbers.
  void SortByKeys(const std::vector<double>& keys, std::vector<int>* order = nullptr);
  void TrimEmptyRows();

 private:
  enum class SortKind { Text, Number, Date };
  void SortBy(SortKind kind, int column, const DateReader* readDate = nullptr, std::uint32_t keyTag = 0,
              std::vector<int>* order = nullptr);
  // Puts rows first.. in the given order (numbers counted from first).
  void Reorder(std::size_t first, const std::vector<int>& order, std::vector<int>* sortOrder);

  std::vector<std::shared_ptr<TCsvCells>> rows_;
};

}  // namespace lumora
