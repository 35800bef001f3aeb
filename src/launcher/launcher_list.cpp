#include "launcher/launcher_list.h"

#include <algorithm>
#include <charconv>
#include <climits>
#include <exception>
#include <memory>
#include <unordered_set>
#include <utility>

#include "editing/entry_names.h"
#include "platform/error.h"
#include "platform/files.h"
#include "platform/text_platform.h"

namespace lumora {

namespace {

constexpr int kColId = 0;
constexpr int kColName = 1;
constexpr int kColTarget = 2;
constexpr int kColCount = 3;
constexpr int kColTime = 4;

constexpr char kDelimiter = '\t';
constexpr std::string_view kLineEnd = "\r\n";

char LowerAscii(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

// Folds A-Z of the one-byte characters into out; the second byte of a
// two-byte character is copied as it is, even where it reads as a letter.
void FoldLetters(std::string_view text, const platform::LeadByteTable& lead, std::string& out) {
  out.assign(text);
  for (std::size_t i = 0; i < out.size(); ++i) {
    if (lead.IsLead(out[i])) {
      ++i;
    } else {
      out[i] = LowerAscii(out[i]);
    }
  }
}

// Whether key occurs in text starting at a character boundary, so that it
// never matches from the second byte of a two-byte character.
bool ContainsAtBoundary(std::string_view text, std::string_view key,
                        const platform::LeadByteTable& lead) {
  if (key.size() > text.size()) return false;
  const std::size_t last = text.size() - key.size();
  for (std::size_t i = 0; i <= last; i += lead.IsLead(text[i]) ? 2 : 1) {
    if (text[i] == key[0] && text.compare(i, key.size(), key) == 0) return true;
  }
  return false;
}

// The launch count after one more launch: a cell that is not a whole decimal
// integer (empty included) counts as 0. Worked out in 64 bits, so the largest
// count does not wrap.
std::string NextCount(std::string_view cell) {
  int value = 0;
  std::string_view digits = cell;
  if (!digits.empty() && digits.front() == '+') digits.remove_prefix(1);
  const char* first = digits.data();
  const char* last = digits.data() + digits.size();
  const auto [end, error] = std::from_chars(first, last, value);
  if (digits.empty() || error != std::errc() || end != last) value = 0;
  return std::to_string(static_cast<long long>(value) + 1);
}

// An ID cell as an int: blanks before it, a sign, then only decimal digits.
// Nothing for any other text, numbers past the int range included.
std::optional<int> IdNumber(std::string_view cell) {
  std::size_t i = 0;
  while (i < cell.size() && cell[i] == ' ') ++i;
  bool negative = false;
  if (i < cell.size() && (cell[i] == '+' || cell[i] == '-')) {
    negative = cell[i] == '-';
    ++i;
  }
  if (i >= cell.size()) return std::nullopt;
  long long value = 0;
  for (; i < cell.size(); ++i) {
    if (cell[i] < '0' || cell[i] > '9') return std::nullopt;
    value = value * 10 + (cell[i] - '0');
    if (value > static_cast<long long>(INT_MAX) + 1) return std::nullopt;
  }
  if (negative) value = -value;
  if (value > INT_MAX) return std::nullopt;
  return static_cast<int>(value);
}

}  // namespace

std::optional<int> SortModeOfText(std::string_view text) {
  if (text == "time") return kSortByTime;
  if (text == "count") return kSortByCount;
  if (text == "name") return kSortByName;
  return std::nullopt;
}

const char* SortModeText(int sortMode) {
  switch (sortMode) {
    case kSortByCount:
      return "count";
    case kSortByName:
      return "name";
    default:
      return "time";
  }
}

std::string FilterKey(std::string_view typedText) {
  std::string key;
  FoldLetters(typedText, platform::Text().LeadBytes(), key);
  return key;
}

LauncherList::LauncherList(std::string listPath, ListDisplay& display)
    : listPath_(std::move(listPath)), display_(display) {}

void LauncherList::Load() {
  fileStamp_.reset();
  if (!platform::FileExists(listPath_)) {
    // Nothing there to lose: start from an empty list and allow saving.
    sheetAll.Clear();
    saveRefusal_.clear();
    return;
  }
  try {
    platform::FileStamp stamp;
    sheetAll.LoadFromFile(listPath_, kDelimiter, &stamp);
    sheetAll.TrimEmptyRows();
    fileStamp_ = stamp;
    saveRefusal_.clear();
  } catch (...) {
    // The file holds the user's list, but we could not read it: the nearly
    // empty store must never be written over it.
    sheetAll.Clear();
    saveRefusal_ = "リストファイル \"" + platform::Text().AnsiToUtf8(listPath_) +
                   "\" を読み込めなかったため、上書き保存しません。";
    throw;
  }
}

void LauncherList::Reload() {
  if (!platform::FileExists(listPath_)) {
    throw AppError("リストファイル \"" + platform::Text().AnsiToUtf8(listPath_) + "\" が見つかりません。");
  }
  TCsvSheet fresh;
  fresh.headerRow = sheetAll.headerRow;
  platform::FileStamp stamp;
  try {
    fresh.LoadFromFile(listPath_, kDelimiter, &stamp);
  } catch (...) {
    saveRefusal_ = "リストファイル \"" + platform::Text().AnsiToUtf8(listPath_) +
                   "\" を読み込めなかったため、上書き保存しません。";
    throw;
  }
  fresh.TrimEmptyRows();
  TakeRowsRead(fresh, stamp);
  saveRefusal_.clear();
}

bool LauncherList::CatchUpWithFile() {
  if (!saveRefusal_.empty()) return false;
  const std::optional<platform::FileStamp> now = platform::StampOfFile(listPath_);
  if (now == fileStamp_) return false;
  if (!now) {
    // Nothing there to read: the store is the only copy of the list.
    fileStamp_.reset();
    return false;
  }
  TCsvSheet fresh;
  fresh.headerRow = sheetAll.headerRow;
  platform::FileStamp stamp;
  fresh.LoadFromFile(listPath_, kDelimiter, &stamp);
  fresh.TrimEmptyRows();
  TakeRowsRead(fresh, stamp);
  return true;
}

void LauncherList::TakeRowsRead(TCsvSheet& read, const platform::FileStamp& stamp) {
  if (OnEntryIconStale) {
    // A launch counts on the first row with an ID, so the first row stands
    // for the entry here too.
    const auto targetsById = [](const TCsvSheet& sheet) {
      std::unordered_map<std::string, std::string> targets;
      for (int r = 0; r < sheet.RowCount(); ++r) targets.try_emplace(sheet.GetCell(kColId, r), sheet.GetCell(kColTarget, r));
      return targets;
    };
    const auto before = targetsById(sheetAll);
    const auto after = targetsById(read);
    // In file order, each ID once: entries gone or with another target,
    // then new ones.
    std::unordered_set<std::string> told;
    const auto tell = [&](const std::string& id) {
      if (told.insert(id).second) IconStale(id);
    };
    for (int r = 0; r < sheetAll.RowCount(); ++r) {
      const std::string id = sheetAll.GetCell(kColId, r);
      const auto it = after.find(id);
      if (it == after.end() || it->second != before.at(id)) tell(id);
    }
    for (int r = 0; r < read.RowCount(); ++r) {
      const std::string id = read.GetCell(kColId, r);
      if (before.find(id) == before.end()) tell(id);
    }
  }
  sheetAll.ShareRows(read);
  fileStamp_ = stamp;
}

void LauncherList::SaveList() {
  if (!saveRefusal_.empty()) throw AppError(saveRefusal_);
  platform::FileStamp stamp;
  sheetAll.SaveToFile(listPath_, kDelimiter, kLineEnd, &stamp);
  fileStamp_ = stamp;
}

void LauncherList::ResetView() { ShowFiltered(std::string()); }

void LauncherList::FollowTextPlatform() {
  const platform::TextPlatform& platform = platform::Text();
  if (timeReader_ && timeReaderPlatform_ == &platform) return;
  timeReader_.emplace(platform);
  timeReaderPlatform_ = &platform;
  dateCache_.clear();
  timeKeyTag_ = NewSortKeyTag();
  countKeyTag_ = NewSortKeyTag();
}

std::optional<double> LauncherList::DateOf(std::string_view text) {
  // The texts the program wrote itself are read without the locale.
  FollowTextPlatform();
  const platform::TextPlatform& platform = platform::Text();
  if (const std::optional<double> date = timeReader_->Read(text)) return date;
  // Any other text: the locale's conversion is slow on some systems and the same times come
  // back at every keystroke, so each text is converted once. The cache is
  // dropped when it outgrows the list a few times over.
  if (dateCache_.size() > 4 * static_cast<std::size_t>(sheetAll.RowCount()) + 1024) dateCache_.clear();
  const auto [it, added] = dateCache_.try_emplace(std::string(text));
  if (added) it->second = platform.TextToDate(text);
  return it->second;
}

void LauncherList::SortView(std::vector<int>* order) {
  // The converted time and count cells stay on the rows from one sort to
  // the next, so a sort converts nothing that did not change.
  FollowTextPlatform();
  switch (sortMode) {
    case kSortByCount:
      sheetView.SortByNumber(kColCount, countKeyTag_, order);
      break;
    case kSortByName:
      sheetView.SortByText(kColName, order);
      break;
    default:
      sheetView.SortByDate(kColTime, [this](std::string_view text) { return DateOf(text); }, timeKeyTag_, order);
      break;
  }
}

void LauncherList::ShowView() {
  const int rows = sheetView.RowCount();
  std::vector<std::string_view> names;
  names.reserve(static_cast<std::size_t>(rows));
  for (int r = 0; r < rows; ++r) names.push_back(sheetView.GetRow(r).CellView(kColName));

  display_.Fill(names);
  display_.Select(display_.Count() - 1);  // -1, no selection, for an empty list
  display_.Repaint();
}

void LauncherList::RefreshList() {
  sheetView.TrimEmptyRows();
  SortView(nullptr);
  ShowView();
}

void LauncherList::Filter(std::string_view typedText) {
  if (typedText.empty()) {
    ResetView();
    return;
  }
  ShowFiltered(FilterKey(typedText));
}

void LauncherList::RankNames() {
  // The names as the name sort compares them (TextSortByte, then byte by
  // byte).
  const int rows = sheetAll.RowCount();
  std::string folded;
  std::vector<std::size_t> ends(static_cast<std::size_t>(rows));
  for (int r = 0; r < rows; ++r) {
    for (const char c : sheetAll.GetRow(r).CellView(kColName)) {
      folded.push_back(TextSortByte(c));
    }
    ends[static_cast<std::size_t>(r)] = folded.size();
  }
  auto name = [&](int r) {
    const std::size_t end = ends[static_cast<std::size_t>(r)];
    const std::size_t start = r == 0 ? 0 : ends[static_cast<std::size_t>(r) - 1];
    return std::string_view(folded).substr(start, end - start);
  };
  std::vector<int> byName(static_cast<std::size_t>(rows));
  for (int r = 0; r < rows; ++r) byName[static_cast<std::size_t>(r)] = r;
  std::sort(byName.begin(), byName.end(), [&](int a, int b) { return name(a) < name(b); });
  // Equal names share a place.
  nameRanks_.assign(static_cast<std::size_t>(rows), 0);
  int rank = 0;
  for (std::size_t i = 0; i < byName.size(); ++i) {
    if (i > 0 && name(byName[i]) != name(byName[i - 1])) ++rank;
    nameRanks_[static_cast<std::size_t>(byName[i])] = rank;
  }
}

void LauncherList::ShowFiltered(const std::string& key) {
  // Steps worked out from other rows, another order or other text services
  // are of no use.
  if (!kept_ || stepsChanges_ != SheetChanges() || stepsSortMode_ != sortMode ||
      stepsPlatform_ != &platform::Text()) {
    steps_.clear();
    nameRanks_.clear();
  }
  while (!steps_.empty() && key.compare(0, steps_.back().key.size(), steps_.back().key) != 0) steps_.pop_back();

  if (!steps_.empty() && steps_.back().key == key) {
    // Back to a text typed before: its rows in their order, as they were.
    sheetView.ShareRows(sheetAll, steps_.back().shown);
  } else {
    // A longer key matches only names the shorter one matched.
    FilterStep step;
    step.key = key;
    const FilterStep* previous = steps_.empty() ? nullptr : &steps_.back();
    const bool narrowed = previous && !previous->key.empty();
    const platform::LeadByteTable& lead = platform::Text().LeadBytes();
    std::string lowered;  // one buffer for every name
    const auto consider = [&](int r) {
      if (key.empty()) {
        step.matches.push_back(r);
        return;
      }
      FoldLetters(sheetAll.GetRow(r).CellView(kColName), lead, lowered);
      if (ContainsAtBoundary(lowered, key, lead)) step.matches.push_back(r);
    };
    if (narrowed) {
      for (const int r : previous->matches) consider(r);
    } else {
      const int rows = sheetAll.RowCount();
      step.matches.reserve(key.empty() ? static_cast<std::size_t>(rows) : 0);
      for (int r = 0; r < rows; ++r) consider(r);
    }

    sheetView.ShareRows(sheetAll, step.matches);
    sheetView.TrimEmptyRows();
    std::vector<int> order;
    if (sortMode == kSortByName) {
      // By each name's place among all the store's names: numbers to
      // compare, each pair with the outcome its names would give.
      if (nameRanks_.empty()) RankNames();
      std::vector<double> keys(static_cast<std::size_t>(sheetView.RowCount()));
      for (std::size_t i = 0; i < keys.size(); ++i) keys[i] = nameRanks_[static_cast<std::size_t>(step.matches[i])];
      sheetView.SortByKeys(keys, &order);
    } else {
      SortView(&order);
    }
    step.shown.reserve(order.size());
    for (const int before : order) step.shown.push_back(step.matches[static_cast<std::size_t>(before)]);
    // The whole list's own numbers are 0, 1, 2...: not worth keeping.
    if (key.empty()) std::vector<int>().swap(step.matches);
    steps_.push_back(std::move(step));
  }
  ShowView();  // shows and selects the bottom row
  kept_ = true;
  stepsChanges_ = SheetChanges();
  stepsSortMode_ = sortMode;
  stepsPlatform_ = &platform::Text();
}

void LauncherList::RecordLaunch(std::string_view id) {
  CatchUpWithFile();
  const int row = sheetAll.FindRow(kColId, id, 0);
  if (row >= 0) {
    sheetAll.SetCell(kColTime, row, NowText());
    sheetAll.SetCell(kColCount, row, NextCount(sheetAll.GetCell(kColCount, row)));
    SaveOrTakeBack([this] { ResetView(); });
    return;
  }
  ResetView();
}

std::string LauncherList::NewId() const {
  // A launch is counted on the first entry with the launched ID, so a
  // duplicate would count the wrong entry.
  const int rows = sheetAll.RowCount();
  int largest = 0;
  for (int r = 0; r < rows; ++r) largest = std::max(largest, IdNumber(sheetAll.GetCell(kColId, r)).value_or(1));
  if (largest < INT_MAX) return std::to_string(largest + 1);

  // The rows cannot take every number of 1..rows+1.
  std::vector<bool> taken(static_cast<std::size_t>(rows) + 2, false);
  for (int r = 0; r < rows; ++r) {
    const std::optional<int> number = IdNumber(sheetAll.GetCell(kColId, r));
    if (number && *number >= 1 && *number <= rows + 1) taken[static_cast<std::size_t>(*number)] = true;
  }
  int id = 1;
  while (taken[static_cast<std::size_t>(id)]) ++id;
  return std::to_string(id);
}

void LauncherList::AddEntryIfMissing(std::string_view name, std::string_view target) {
  if (sheetAll.FindRow(kColTarget, target, 0) >= 0) return;
  const int row = sheetAll.RowCount();
  SetNewId(row, NewId());
  sheetAll.SetCell(kColName, row, name);
  sheetAll.SetCell(kColTarget, row, target);
  sheetAll.SetCell(kColTime, row, NowText());
}

void LauncherList::AddTypedCommand(std::string_view text) {
  CatchUpWithFile();
  const int row = sheetAll.RowCount();
  SetNewId(row, NewId());
  sheetAll.SetCell(kColName, row, text);
  sheetAll.SetCell(kColTarget, row, text);
  sheetAll.SetCell(kColTime, row, NowText());
  SaveOrTakeBack([this] { ResetView(); });
}

void LauncherList::IconStale(const std::string& id) {
  if (OnEntryIconStale && !id.empty()) OnEntryIconStale(id);
}

void LauncherList::SetNewId(int row, const std::string& id) {
  sheetAll.SetCell(kColId, row, id);
  // The ID may have been another entry's: its cached icon is not this one's.
  IconStale(id);
}

void LauncherList::TakeBackUnsaved() noexcept {
  // Without a list file the store is the only copy of the list: it stays.
  if (!platform::FileExists(listPath_)) return;
  try {
    Reload();  // a file it cannot read leaves saving refused
  } catch (...) {
  }
}

void LauncherList::CheckSavable() const {
  if (!saveRefusal_.empty()) throw AppError(saveRefusal_);
}

void LauncherList::SaveOrTakeBack(const std::function<void()>& show) {
  try {
    SaveList();
  } catch (...) {
    // A save refused for an unread file wrote nothing and never will.
    if (saveRefusal_.empty()) TakeBackUnsaved();
    ResetView();
    throw;
  }
  show();
}

void LauncherList::AddDroppedEntries(const std::vector<DroppedEntry>& entries) {
  CheckSavable();
  CatchUpWithFile();  // the new IDs follow the rows of the file
  const std::string now = NowText();
  for (const DroppedEntry& entry : entries) {
    const int row = sheetAll.RowCount();
    SetNewId(row, NewId());
    sheetAll.SetCell(kColName, row, entry.name);
    sheetAll.SetCell(kColTarget, row, entry.target);
    sheetAll.SetCell(6, row, "");
    sheetAll.SetCell(kColCount, row, "1");
    sheetAll.SetCell(kColTime, row, now);
  }
  sheetAll.TrimEmptyRows();
  SaveOrTakeBack([this] { ResetView(); });
  display_.Select(display_.Count() - 1);
}

std::string LauncherList::StoreEntry(std::string_view id, std::string_view name, std::string_view target,
                                     std::string_view time, std::string* newId) {
  CheckSavable();
  const bool known = sheetAll.FindRow(kColId, id, 0) >= 0;
  const bool read = CatchUpWithFile();
  int row = sheetAll.FindRow(kColId, id, 0);
  if (read && known && row < 0) {
    // Another program removed the entry meanwhile: the edit is not saved
    // over that removal. The dialog keeps the text; its next OK stores it
    // as a new entry.
    ResetView();
    throw AppError("編集していた項目は、ほかのプログラムがリストファイルから削除していました。");
  }
  // A row that came with the file under the ID meant for a new entry is
  // another program's: the new entry gets a row and an ID of its own.
  if (read && !known) row = -1;
  // Numbered before a new row exists, so that its empty ID cell takes no part.
  const std::string freshId = NewId();
  const bool added = row < 0;
  if (added) row = sheetAll.RowCount();
  const std::vector<int> columns{kColId, kColName, kColTarget, kColTime};
  std::vector<std::string> before;
  for (const int column : columns) before.push_back(sheetAll.GetCell(column, row));
  if (sheetAll.GetCell(kColTarget, row) != target) IconStale(sheetAll.GetCell(kColId, row));
  sheetAll.SetCell(kColName, row, name);
  sheetAll.SetCell(kColTarget, row, target);
  sheetAll.SetCell(kColTime, row, time);
  if (sheetAll.GetCell(kColId, row).empty()) SetNewId(row, freshId);
  std::string stored = sheetAll.GetCell(kColId, row);
  try {
    SaveList();
  } catch (...) {
    if (added) {
      sheetAll.DeleteRow(row);
    } else {
      for (std::size_t i = 0; i < columns.size(); ++i) sheetAll.SetCell(columns[i], row, before[i]);
    }
    ResetView();
    throw;
  }
  ResetView();
  if (newId) *newId = stored;
  return stored;
}

void LauncherList::DeleteViewEntry(int index) {
  if (index < 0 || index >= sheetView.RowCount()) return;
  CheckSavable();
  const std::string id = sheetView.GetCell(kColId, index);
  const std::string target = sheetView.GetCell(kColTarget, index);
  const std::string key = steps_.empty() ? std::string() : steps_.back().key;
  if (CatchUpWithFile()) {
    // The view holds the rows read before: the entry is looked for in the
    // rows read now (another program may have removed or changed it), and
    // the view is made again from them.
    const int storeRow = StoreRowOf(id, target);
    const auto show = [this, key, storeRow] {
      ShowFiltered(key);
      if (storeRow >= 0 && storeRow < display_.Count()) display_.Select(storeRow);
    };
    if (storeRow < 0) {
      show();
      return;
    }
    sheetAll.DeleteRow(storeRow);
    IconStale(id);
    SaveOrTakeBack(show);
    return;
  }
  sheetView.DeleteRow(index);
  const int storeRow = sheetAll.FindRow(kColId, id, 0);
  if (storeRow < 0) return;  // it leaves the view only; nothing to save
  sheetAll.DeleteRow(storeRow);
  IconStale(id);
  SaveOrTakeBack([this, storeRow] {
    RefreshList();
    if (storeRow < display_.Count()) display_.Select(storeRow);
  });
}

void LauncherList::RemoveMissing(const std::function<bool(const std::string&)>& exists,
                                 const std::function<bool(const std::string&, const std::string&)>& askRemove,
                                 const std::function<bool()>& listLives) {
  CheckSavable();
  // Every question is asked about an entry, never about a row number: the
  // rows may have moved, gone or changed by the time the answer comes.
  struct Missing {
    std::string id, name, target;
  };
  std::vector<Missing> missing;
  for (int row = 0; row < sheetAll.RowCount(); ++row) {
    const std::string target = sheetAll.GetCell(kColTarget, row);
    if (IsDrivePathTarget(target) && !exists(TargetPath(target))) {
      missing.push_back({sheetAll.GetCell(kColId, row), sheetAll.GetCell(kColName, row), target});
    }
  }
  std::vector<const Missing*> chosen;
  for (const Missing& entry : missing) {
    const bool remove = askRemove(entry.name, entry.target);
    if (listLives && !listLives()) return;  // this object is gone: touch nothing
    if (remove) chosen.push_back(&entry);
  }
  // The answers go onto the rows the file holds after the last of them.
  CatchUpWithFile();
  for (const Missing* entry : chosen) {
    if (exists(TargetPath(entry->target))) continue;
    const int row = StoreRowOf(entry->id, entry->target);
    if (row < 0) continue;
    IconStale(entry->id);
    sheetAll.DeleteRow(row);
  }
  SaveOrTakeBack([this] { ResetView(); });
}

int LauncherList::ViewRowOf(std::string_view id, std::string_view target) const {
  for (int row = 0; row < sheetView.RowCount(); ++row) {
    if (sheetView.GetCell(kColId, row) == id && sheetView.GetCell(kColTarget, row) == target) return row;
  }
  return -1;
}

bool LauncherList::HasEntry(std::string_view id, std::string_view target) const {
  return StoreRowOf(id, target) >= 0;
}

int LauncherList::StoreRowOf(std::string_view id, std::string_view target) const {
  for (int row = 0; row < sheetAll.RowCount(); ++row) {
    if (sheetAll.GetCell(kColId, row) == id && sheetAll.GetCell(kColTarget, row) == target) return row;
  }
  return -1;
}

std::string LauncherList::NowText() const {
  const auto& text = platform::Text();
  return text.DateTimeText(text.Now());
}

}  // namespace lumora
