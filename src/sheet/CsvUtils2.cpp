#include "sheet/CsvUtils2.h"

#include <algorithm>
#include <array>
#include <atomic>
#include <charconv>
#include <climits>
#include <cstdint>
#include <cstring>

#include "platform/error.h"
#include "platform/file_stamp.h"
#include "platform/files.h"
#include "platform/text_platform.h"
#include "sheet/text_primitives.h"

namespace lumora {

namespace {

[[noreturn]] void ThrowIndexError(int index) {
  throw AppError("リストのインデックスが範囲を超えています (" + std::to_string(index) + ")");
}

// A cell text ends at its first zero byte.
std::string_view UpToZero(std::string_view text) {
  const std::size_t nul = text.find('\0');
  return nul == std::string_view::npos ? text : text.substr(0, nul);
}

// ---------------------------------------------------------------------------
// Reading

constexpr char kCR = 13;
constexpr char kLF = 10;
constexpr char kQuote = '"';

// A lead byte starts a two-byte character only when a second byte can
// follow it. No double-byte code page has a second byte below 0x40, so a
// lead byte before a tab, CR, LF, a double quote, a comma or a space, or at
// the end of the text, is a character of its own: a stray lead byte at the
// end of a name never swallows the delimiter behind it, and cells never
// merge.
bool LeadStandsAlone(std::string_view text, std::size_t lead) {
  return lead + 1 >= text.size() || static_cast<unsigned char>(text[lead + 1]) < 0x40;
}

// Reads the file in blocks of at most 65,535 bytes and hands out lines.
// Zero bytes are dropped as they are met and reading goes on behind them: a
// zero byte neither ends a block nor loses the rest of it. The end of file is
// flagged only when a byte is asked for and none is left; looking ahead (for
// the LF after a CR) never flags it. Lines are cut at bytes alone: CR and LF
// are never the second byte of a two-byte character.
// A file being read, stamped as its bytes go by.
class StampedInput : public platform::InputFile {
 public:
  explicit StampedInput(std::unique_ptr<platform::InputFile> file) : file_(std::move(file)) {}
  std::size_t Read(char* buffer, std::size_t size) override {
    const std::size_t read = file_->Read(buffer, size);
    stamp.Add(buffer, read);
    return read;
  }
  platform::FileStamp stamp;

 private:
  std::unique_ptr<platform::InputFile> file_;
};

class BlockReader {
 public:
  BlockReader(platform::InputFile& file) : file_(file) {}

  bool Eof() const { return eof_; }

  // Reads one line into line (without its line break) and keeps the line
  // break that ended it ("\r\n", "\r" or "\n"; empty at the end of file).
  // Returns false when the end of file was met before any character or line
  // break.
  bool ReadLine(std::string& line) {
    line.clear();
    lineBreak_ = {};
    bool any = false;
    for (;;) {
      int b = NextByte();
      if (b < 0) {
        eof_ = true;
        return any;
      }
      any = true;
      const char c = static_cast<char>(b);
      if (c == kCR) {
        if (PeekByte() == kLF) {
          NextByte();
          lineBreak_ = "\r\n";
        } else {
          lineBreak_ = "\r";
        }
        return true;
      }
      if (c == kLF) {
        lineBreak_ = "\n";
        return true;
      }
      line.push_back(c);
    }
  }

  // The line break that ended the last line read.
  std::string_view LineBreak() const { return lineBreak_; }

 private:
  // Makes a non-zero byte available at pos_; false when the file is used up.
  bool Fill() {
    for (;;) {
      while (pos_ < len_) {
        if (buffer_[pos_] != 0) return true;
        ++pos_;  // zero bytes are dropped
      }
      if (exhausted_) return false;
      len_ = file_.Read(buffer_.data(), kBlockSize);
      pos_ = 0;
      if (len_ == 0) {
        exhausted_ = true;
        return false;
      }
    }
  }

  int NextByte() {
    if (!Fill()) return -1;
    return static_cast<unsigned char>(buffer_[pos_++]);
  }

  int PeekByte() {
    if (!Fill()) return -1;
    return static_cast<unsigned char>(buffer_[pos_]);
  }

  static constexpr std::size_t kBlockSize = 65535;

  platform::InputFile& file_;
  std::string_view lineBreak_;
  std::array<char, kBlockSize> buffer_;  // only the first len_ bytes are ever read
  std::size_t pos_ = 0;
  std::size_t len_ = 0;
  bool exhausted_ = false;
  bool eof_ = false;
};

// Parses one row: a line, and further lines while a quoted cell is open. A
// line break inside a quoted cell is kept as the file has it (CR LF, CR or
// LF), so the cell is written back with the same bytes.
void ParseRow(BlockReader& reader, const platform::LeadByteTable& lead, char delimiter,
              std::string& line, TCsvCells& row) {
  reader.ReadLine(line);
  bool inQuotes = false;
  std::string cell;
  for (;;) {
    const std::size_t n = line.size();
    std::size_t i = 0;
    while (i < n) {
      const char c = line[i];
      if (lead.IsLead(c) && !LeadStandsAlone(line, i)) {
        cell.push_back(c);
        cell.push_back(line[i + 1]);
        i += 2;
      } else if (c == kQuote) {
        if (inQuotes && i + 1 < n && line[i + 1] == kQuote) {
          cell.push_back(kQuote);
          i += 2;
        } else {
          inQuotes = !inQuotes;
          ++i;
        }
      } else if (c == delimiter && !inQuotes) {
        row.Add(cell);
        cell.clear();
        ++i;
        while (i < n && line[i] == ' ') ++i;
      } else {
        cell.push_back(c);
        ++i;
      }
    }
    if (!inQuotes) break;
    const std::string_view lineBreak = reader.LineBreak();
    if (!reader.ReadLine(line)) break;
    cell += lineBreak;
  }
  row.Add(cell);
}

// ---------------------------------------------------------------------------
// Writing

// Whether the text needs quotes (1: with doubled quotes, 2: enclosed only,
// 0: none). Steps by characters as the reader does, so the second byte of a
// two-byte character is never taken for a quote, a line break, the delimiter
// or a space, and a lead byte the reader takes alone is passed over alone.
int QuoteRule(std::string_view text, char delimiter, const platform::LeadByteTable& lead) {
  bool enclose = false;
  for (std::size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    if (lead.IsLead(c)) {
      if (!LeadStandsAlone(text, i)) ++i;
      continue;
    }
    if (c == kQuote || c == kCR || c == kLF) return 1;
    if (c == delimiter || c == ' ') enclose = true;
  }
  if (enclose || text == "ID" || text == "id") return 2;
  return 0;
}

void AppendQuotedCell(std::string& out, std::string_view text, char delimiter,
                      const platform::LeadByteTable& lead) {
  switch (QuoteRule(text, delimiter, lead)) {
    case 1:
      // Every quote doubled, stepping by characters as QuoteRule does.
      out += kQuote;
      for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        out += c;
        if (lead.IsLead(c) && !LeadStandsAlone(text, i)) {
          out += text[++i];
        } else if (c == kQuote) {
          out += kQuote;
        }
      }
      out += kQuote;
      break;
    case 2:
      out += kQuote;
      out += text;
      out += kQuote;
      break;
    default:
      out += text;
      break;
  }
}

void AppendRowText(std::string& out, const TCsvCells& row, char delimiter, int n,
                   const platform::LeadByteTable& lead) {
  for (int i = 0; i < n; ++i) {
    if (i > 0) out += delimiter;
    AppendQuotedCell(out, row.CellView(i), delimiter, lead);
  }
}

// ---------------------------------------------------------------------------
// Sorting

// A decimal integer as the whole text: leading blanks, an optional sign and
// digits, within 32 bits.
bool ParseDecimalInt(std::string_view s, long long& out) {
  std::size_t i = 0;
  while (i < s.size() && s[i] == ' ') ++i;
  bool negative = false;
  if (i < s.size() && (s[i] == '+' || s[i] == '-')) {
    negative = s[i] == '-';
    ++i;
  }
  if (i >= s.size()) return false;
  long long value = 0;
  for (; i < s.size(); ++i) {
    if (s[i] < '0' || s[i] > '9') return false;
    value = value * 10 + (s[i] - '0');
    if (value > static_cast<long long>(INT_MAX) + 1) return false;
  }
  if (negative) value = -value;
  if (value > INT_MAX) return false;
  out = value;
  return true;
}

// The classic in-place quicksort over the order array: pivot at (L + R) div 2,
// the I and J scans, the left part L..J sorted next and the loop going on
// with I..R. Ranges are kept on a stack of their own rather than by
// recursion; they are disjoint, so the order they are taken in does not
// change the result. The scans are bounded by the range as a safeguard.
template <typename Compare>
void QuickSort(std::vector<int>& order, Compare compare) {
  if (order.size() < 2) return;
  std::vector<std::pair<int, int>> pending;
  pending.emplace_back(0, static_cast<int>(order.size()) - 1);
  while (!pending.empty()) {
    auto [L, R] = pending.back();
    pending.pop_back();
    int I;
    do {
      I = L;
      int J = R;
      const int P = order[static_cast<std::size_t>((L + R) / 2)];
      do {
        while (I < R && compare(order[static_cast<std::size_t>(I)], P) < 0) ++I;
        while (J > L && compare(order[static_cast<std::size_t>(J)], P) > 0) --J;
        if (I <= J) {
          std::swap(order[static_cast<std::size_t>(I)], order[static_cast<std::size_t>(J)]);
          ++I;
          --J;
        }
      } while (I <= J);
      if (L < J) pending.emplace_back(L, J);
      L = I;
    } while (I < R);
  }
}

int CompareText(std::string_view a, std::string_view b) {
  const std::size_t n = std::min(a.size(), b.size());
  const int c = n ? std::memcmp(a.data(), b.data(), n) : 0;
  if (c != 0) return c;
  return a.size() < b.size() ? -1 : (a.size() > b.size() ? 1 : 0);
}

// a - b truncated toward zero, reduced to its sign; numbers less than 1 apart
// are equal. Computed in floating point, so no integer can overflow.
int CompareNumber(double a, double b) {
  const double d = a - b;
  if (d >= 1.0) return 1;
  if (d <= -1.0) return -1;
  return 0;
}

int CompareDate(double a, double b) { return a < b ? -1 : (a > b ? 1 : 0); }

}  // namespace

// ---------------------------------------------------------------------------
// TCsvCells

namespace {
std::atomic<std::uint64_t> sheetChanges{0};
// A plain load and store: rows and sheets change on one thread, and a
// locked add per cell would slow loading a large list.
void NoteChange() { sheetChanges.store(sheetChanges.load(std::memory_order_relaxed) + 1, std::memory_order_relaxed); }
}  // namespace

std::uint64_t SheetChanges() { return sheetChanges.load(std::memory_order_relaxed); }

TCsvCells& TCsvCells::operator=(const TCsvCells& other) {
  Assign(other);
  return *this;
}

TCsvCells& TCsvCells::operator=(TCsvCells&& other) noexcept {
  text_ = std::move(other.text_);
  ends_ = std::move(other.ends_);
  count_ = other.count_;
  keyTag_ = other.keyTag_;
  key_ = other.key_;
  NoteChange();
  return *this;
}

int TCsvCells::Add(std::string_view text) {
  SetCell(count_, text);
  return count_ - 1;
}

void TCsvCells::Assign(const TCsvCells& other) {
  if (this == &other) return;
  text_ = other.text_;
  ends_ = other.ends_;
  count_ = other.count_;
  keyTag_ = other.keyTag_;
  key_ = other.key_;
  NoteChange();
}

void TCsvCells::Clear() {
  NoteChange();
  text_.clear();
  ends_.clear();
  count_ = 0;
  keyTag_ = 0;
}

int TCsvCells::Count() const { return count_; }

std::string TCsvCells::GetCell(int index) const { return std::string(CellView(index)); }

std::string_view TCsvCells::CellView(int index) const {
  if (index < 0 || static_cast<std::size_t>(index) >= ends_.size()) return {};
  const std::size_t i = static_cast<std::size_t>(index);
  const std::size_t start = i == 0 ? 0 : ends_[i - 1];
  return std::string_view(text_).substr(start, ends_[i] - start);
}

void TCsvCells::SetCell(int index, std::string_view text) {
  if (index < 0) ThrowIndexError(index);
  text = UpToZero(text);
  NoteChange();
  keyTag_ = 0;
  if (index >= count_) count_ = index + 1;
  const std::size_t i = static_cast<std::size_t>(index);
  if (i >= ends_.size()) {
    if (text.empty()) return;  // an empty cell past the stored ones is only counted
    ends_.resize(i, static_cast<std::uint32_t>(text_.size()));
    text_.append(text);
    ends_.push_back(static_cast<std::uint32_t>(text_.size()));
    return;
  }
  const std::size_t start = i == 0 ? 0 : ends_[i - 1];
  const std::size_t oldLength = ends_[i] - start;
  text_.replace(start, oldLength, text);
  const auto shift = static_cast<std::int64_t>(text.size()) - static_cast<std::int64_t>(oldLength);
  for (std::size_t k = i; k < ends_.size(); ++k) {
    ends_[k] = static_cast<std::uint32_t>(static_cast<std::int64_t>(ends_[k]) + shift);
  }
  // Empty cells at the end go back to being only counted.
  while (!ends_.empty() && (ends_.size() == 1 ? ends_[0] == 0 : ends_.back() == ends_[ends_.size() - 2])) {
    ends_.pop_back();
  }
}

bool TCsvCells::IsEmptyRow() const { return text_.empty(); }

void TCsvCells::ShrinkToFit() {
  text_.shrink_to_fit();
  ends_.shrink_to_fit();
}

std::string TCsvCells::RowText(char delimiter, int n) const {
  if (n < 0) n = Count();
  std::string out;
  AppendRowText(out, *this, delimiter, n, platform::Text().LeadBytes());
  return out;
}

// ---------------------------------------------------------------------------
// TCsvSheet

void TCsvSheet::Clear() {
  NoteChange();
  rows_.clear();
}

int TCsvSheet::AddRow(std::unique_ptr<TCsvCells> row) {
  NoteChange();
  rows_.push_back(std::move(row));
  return static_cast<int>(rows_.size()) - 1;
}

void TCsvSheet::Assign(const TCsvSheet& other) {
  if (this == &other) return;
  std::vector<std::shared_ptr<TCsvCells>> copy;
  copy.reserve(other.rows_.size());
  for (const auto& row : other.rows_) {
    copy.push_back(row ? std::make_shared<TCsvCells>(*row) : std::make_shared<TCsvCells>());
  }
  NoteChange();
  rows_ = std::move(copy);
}

void TCsvSheet::ShareRows(const TCsvSheet& other) {
  if (this == &other) return;
  NoteChange();
  rows_ = other.rows_;
}

void TCsvSheet::ShareRows(const TCsvSheet& other, const std::vector<int>& rows) {
  for (const int row : rows) {
    if (row < 0 || row >= other.RowCount()) ThrowIndexError(row);
  }
  std::vector<std::shared_ptr<TCsvCells>> shared;
  shared.reserve(rows.size());
  for (const int row : rows) shared.push_back(other.rows_[static_cast<std::size_t>(row)]);
  NoteChange();
  rows_ = std::move(shared);
}

int TCsvSheet::AddSharedRow(const TCsvSheet& other, int row) {
  if (row < 0 || row >= other.RowCount()) ThrowIndexError(row);
  NoteChange();
  auto& slot = other.rows_[static_cast<std::size_t>(row)];
  rows_.push_back(slot ? slot : std::make_shared<TCsvCells>());
  return static_cast<int>(rows_.size()) - 1;
}

void TCsvSheet::DeleteRow(int row) {
  if (row < 0 || row >= RowCount()) ThrowIndexError(row);
  NoteChange();
  rows_.erase(rows_.begin() + row);
}

int TCsvSheet::RowCount() const { return static_cast<int>(rows_.size()); }

TCsvCells& TCsvSheet::GetRow(int row) {
  if (row < 0 || row >= RowCount()) ThrowIndexError(row);
  auto& slot = rows_[static_cast<std::size_t>(row)];
  if (!slot) {
    NoteChange();
    slot = std::make_shared<TCsvCells>();
  }
  return *slot;
}

std::string TCsvSheet::GetCell(int column, int row) const {
  if (row < 0 || row >= RowCount()) return {};
  const auto& slot = rows_[static_cast<std::size_t>(row)];
  return slot ? slot->GetCell(column) : std::string();
}

void TCsvSheet::SetCell(int column, int row, std::string_view text) {
  if (row < 0) ThrowIndexError(row);
  if (row >= RowCount()) {
    NoteChange();
    rows_.resize(static_cast<std::size_t>(row) + 1);
  }
  auto& slot = rows_[static_cast<std::size_t>(row)];
  if (!slot) slot = std::make_shared<TCsvCells>();
  slot->SetCell(column, text);
}

int TCsvSheet::FindRow(int column, std::string_view text, int startRow) const {
  for (int r = std::max(startRow, 0); r < RowCount(); ++r) {
    const auto& slot = rows_[static_cast<std::size_t>(r)];
    if ((slot ? slot->CellView(column) : std::string_view()) == text) return r;
  }
  return -1;
}

int TCsvSheet::MaxColCount() const {
  int n = 0;
  for (const auto& row : rows_) {
    if (row) n = std::max(n, row->Count());
  }
  return n;
}

// The result is kept in 64 bits and capped at INT_MAX, so a cell holding
// the largest integer cannot overflow it.
int TCsvSheet::NextNumber(int column, int start) const {
  long long result = start;
  for (int r = 0; r < RowCount(); ++r) {
    long long value = 0;
    if (!ParseDecimalInt(GetCell(column, r), value)) value = start;
    if (value >= result) result = value + 1;
  }
  return static_cast<int>(std::min<long long>(result, INT_MAX));
}

void TCsvSheet::LoadFromFile(const std::string& path, char delimiter, platform::FileStamp* stamp) {
  Clear();
  StampedInput file(platform::OpenInputFile(path));
  const auto& lead = platform::Text().LeadBytes();
  auto reader = std::make_unique<BlockReader>(file);
  std::string line;
  while (!reader->Eof()) {
    auto row = std::make_shared<TCsvCells>();
    ParseRow(*reader, lead, delimiter, line, *row);
    row->ShrinkToFit();
    NoteChange();
    rows_.push_back(std::move(row));
  }
  if (stamp) *stamp = file.stamp;
}

void TCsvSheet::SaveToFile(const std::string& path, char delimiter, std::string_view lineEnd,
                           platform::FileStamp* stamp) const {
  auto file = platform::CreateOutputFile(path);
  platform::FileStamp written;
  const auto& lead = platform::Text().LeadBytes();
  const int n = MaxColCount();
  constexpr std::size_t kChunk = 64 * 1024;
  std::string out;
  out.reserve(kChunk * 2);
  for (const auto& row : rows_) {
    if (row) AppendRowText(out, *row, delimiter, n, lead);
    out += lineEnd;
    if (out.size() >= kChunk) {
      file->Write(out.data(), out.size());
      written.Add(out.data(), out.size());
      out.clear();
    }
  }
  if (!out.empty()) file->Write(out.data(), out.size());
  written.Add(out.data(), out.size());
  file->Commit();
  if (stamp) *stamp = written;
}

void TCsvSheet::SortBy(SortKind kind, int column, const DateReader* readDate, std::uint32_t keyTag,
                       std::vector<int>* sortOrder) {
  if (sortOrder) {
    sortOrder->resize(rows_.size());
    for (std::size_t i = 0; i < rows_.size(); ++i) (*sortOrder)[i] = static_cast<int>(i);
  }
  if (rows_.empty()) return;
  const std::size_t first = headerRow ? 1 : 0;
  if (rows_.size() <= first + 1) return;
  const std::size_t count = rows_.size() - first;

  // The sort moves indexes; the rows are put in their new order by pointer
  // at the end.
  std::vector<int> order(count);
  for (std::size_t i = 0; i < count; ++i) order[i] = static_cast<int>(i);
  auto cellOf = [&](std::size_t i) {
    const auto& slot = rows_[first + i];
    return slot ? slot->CellView(column) : std::string_view();
  };

  if (kind == SortKind::Text) {
    // The cells as the sort compares them (TextSortByte), end to end in one
    // buffer.
    std::size_t total = 0;
    for (std::size_t i = 0; i < count; ++i) total += cellOf(i).size();
    std::string folded;
    folded.reserve(total);
    for (std::size_t i = 0; i < count; ++i) {
      for (const char c : cellOf(i)) folded.push_back(TextSortByte(c));
    }
    // The first sixteen bytes of each key as two numbers (zero bytes after
    // a shorter text, which holds none) settle most comparisons at once,
    // names that begin alike included.
    struct Key {
      std::uint64_t head[2];
      std::string_view text;
    };
    std::vector<Key> keys(count);
    std::size_t start = 0;
    for (std::size_t i = 0; i < count; ++i) {
      const std::size_t length = cellOf(i).size();
      Key& key = keys[i];
      key.text = std::string_view(folded).substr(start, length);
      start += length;
      for (std::size_t half = 0; half < 2; ++half) {
        std::uint64_t head = 0;
        for (std::size_t k = half * 8; k < half * 8 + 8; ++k) {
          head = (head << 8) | (k < length ? static_cast<unsigned char>(key.text[k]) : 0u);
        }
        key.head[half] = head;
      }
    }
    QuickSort(order, [&](int a, int b) {
      const Key& x = keys[static_cast<std::size_t>(a)];
      const Key& y = keys[static_cast<std::size_t>(b)];
      if (x.head[0] != y.head[0]) return x.head[0] < y.head[0] ? -1 : 1;
      if (x.head[1] != y.head[1]) return x.head[1] < y.head[1] ? -1 : 1;
      return CompareText(x.text, y.text);
    });
  } else {
    // Each row's key is worked out once per sort, or taken from the row when
    // it kept one under keyTag.
    std::vector<double> keys(count);
    const auto& text = platform::Text();
    for (std::size_t i = 0; i < count; ++i) {
      const TCsvCells* row = rows_[first + i].get();
      if (row) {
        if (const std::optional<double> kept = row->KeptSortKey(keyTag)) {
          keys[i] = *kept;
          continue;
        }
      }
      const std::string_view cell = cellOf(i);
      if (kind == SortKind::Number) {
        keys[i] = StrToNum(cell);
      } else {
        keys[i] = (readDate ? (*readDate)(cell) : text.TextToDate(cell)).value_or(0.0);
      }
      if (row && keyTag != 0) row->KeepSortKey(keyTag, keys[i]);
    }
    if (kind == SortKind::Number) {
      QuickSort(order, [&](int a, int b) {
        return CompareNumber(keys[static_cast<std::size_t>(a)], keys[static_cast<std::size_t>(b)]);
      });
    } else {
      QuickSort(order, [&](int a, int b) {
        return CompareDate(keys[static_cast<std::size_t>(a)], keys[static_cast<std::size_t>(b)]);
      });
    }
  }

  Reorder(first, order, sortOrder);
}

void TCsvSheet::Reorder(std::size_t first, const std::vector<int>& order, std::vector<int>* sortOrder) {
  NoteChange();
  std::vector<std::shared_ptr<TCsvCells>> sorted;
  sorted.reserve(order.size());
  for (int i : order) sorted.push_back(std::move(rows_[first + static_cast<std::size_t>(i)]));
  std::move(sorted.begin(), sorted.end(), rows_.begin() + static_cast<std::ptrdiff_t>(first));
  if (sortOrder) {
    for (std::size_t i = 0; i < order.size(); ++i) (*sortOrder)[first + i] = static_cast<int>(first) + order[i];
  }
}

void TCsvSheet::SortByKeys(const std::vector<double>& keys, std::vector<int>* sortOrder) {
  if (sortOrder) {
    sortOrder->resize(rows_.size());
    for (std::size_t i = 0; i < rows_.size(); ++i) (*sortOrder)[i] = static_cast<int>(i);
  }
  const std::size_t first = headerRow ? 1 : 0;
  if (rows_.size() <= first + 1) return;
  std::vector<int> order(rows_.size() - first);
  for (std::size_t i = 0; i < order.size(); ++i) order[i] = static_cast<int>(i);
  auto keyOf = [&](int i) {
    const std::size_t row = first + static_cast<std::size_t>(i);
    return row < keys.size() ? keys[row] : 0.0;
  };
  QuickSort(order, [&](int a, int b) { return CompareDate(keyOf(a), keyOf(b)); });
  Reorder(first, order, sortOrder);
}

void TCsvSheet::SortByText(int column, std::vector<int>* order) { SortBy(SortKind::Text, column, nullptr, 0, order); }
void TCsvSheet::SortByNumber(int column, std::uint32_t keyTag, std::vector<int>* order) {
  SortBy(SortKind::Number, column, nullptr, keyTag, order);
}
void TCsvSheet::SortByDate(int column) { SortBy(SortKind::Date, column); }
void TCsvSheet::SortByDate(int column, const DateReader& readDate, std::uint32_t keyTag, std::vector<int>* order) {
  SortBy(SortKind::Date, column, &readDate, keyTag, order);
}

std::uint32_t NewSortKeyTag() {
  static std::atomic<std::uint32_t> last{0};
  std::uint32_t tag = ++last;
  if (tag == 0) tag = ++last;  // 0 means "no key kept"
  return tag;
}

void TCsvSheet::TrimEmptyRows() {
  while (!rows_.empty() && (!rows_.back() || rows_.back()->IsEmptyRow())) {
    NoteChange();
    rows_.pop_back();
  }
}

}  // namespace lumora
