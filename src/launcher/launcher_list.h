// The launcher list: the store of "data\applist.tsv" (sheetAll, file order),
// the shown rows (sheetView, display order), the three sort orders, the
// filter of the command line and the recording of launches. It shows its
// rows through a ListDisplay, the launcher's list box in the program and a
// fake in tests.
//
// Entry columns: 0 entry ID, 1 name, 2 target, 3 launch count, 4 time of the
// last launch (the platform's DateTimeText), 5 and 6 kept as they are.
//
// The file is the truth: other programs may rewrite it while the launcher
// runs. Every change (a launch, a drop, an edit, a delete, a removal) first
// catches up with the file (CatchUpWithFile) and is then made on the rows
// the file holds, found by entry ID, so a save never brings back a row
// another program removed nor drops one it added.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "launcher/time_text_reader.h"
#include "platform/file_stamp.h"
#include "sheet/CsvUtils2.h"

namespace lumora {

// The list box as the list logic sees it.
class ListDisplay {
 public:
  virtual ~ListDisplay() = default;
  // Empties the list and adds the names in order; afterwards nothing is selected.
  virtual void Fill(const std::vector<std::string_view>& names) = 0;
  virtual int Count() const = 0;
  // Selects item index; -1 removes the selection.
  virtual void Select(int index) = 0;
  virtual int Selection() const = 0;
  virtual void Repaint() = 0;
};

enum SortMode : int { kSortByTime = 0, kSortByCount = 1, kSortByName = 2 };

// "time", "count" and "name" exactly (letter case included); nothing for any
// other text.
std::optional<int> SortModeOfText(std::string_view text);
// The settings text of a sort mode: "time", "count" or "name".
const char* SortModeText(int sortMode);

// The filter key of a typed text: A-Z of the one-byte characters turned into
// a-z, nothing else folded. Names match a key that occurs in them starting at
// a character boundary.
std::string FilterKey(std::string_view typedText);

class LauncherList {
 public:
  LauncherList(std::string listPath, ListDisplay& display);

  TCsvSheet sheetAll;   // the store, in file order; never sorted
  TCsvSheet sheetView;  // the shown rows, in display order
  int sortMode = kSortByTime;

  const std::string& ListPath() const { return listPath_; }

  // Told the ID of an entry that was removed, got another target, or is new
  // (its ID may have been a removed entry's): the icon cached for that ID is
  // not the entry's. Unassigned, nothing happens.
  std::function<void(const std::string& id)> OnEntryIconStale;

  // Reads the list file into the store when it exists (then TrimEmptyRows);
  // a missing file leaves the store empty. When the file exists but cannot be
  // read, the store is left empty, saving is refused until a later Load
  // succeeds, and the error is thrown.
  void Load();
  // Reads the list file again (after the user edited it) into a new sheet
  // and takes it only when the whole file was read. Otherwise the store stays
  // as it was and the error is thrown: a missing file leaves saving allowed,
  // so the next change writes the list again; a file that exists but cannot
  // be read is never written over (as after Load).
  void Reload();

  // Writes the store to the list file (tab, CR LF), replacing it in one step.
  // Throws, and writes nothing, while the file could not be read.
  void SaveList();
  // SaveList, then show(); when the save fails the store is taken back to
  // the file (TakeBackUnsaved), the view rebuilt (ResetView) and the error
  // goes on.
  void SaveOrTakeBack(const std::function<void()>& show);

  // The view := the whole store, sorted and shown as by RefreshList.
  void ResetView();
  // Sorts the view by sortMode and refills the display, the last row selected.
  void RefreshList();
  // The command line's filter: the store rows whose names contain the typed
  // text (A-Z folded), sorted and shown, the last row selected; an empty
  // text shows every entry (ResetView).
  void Filter(std::string_view typedText);

  // Counts a launch of the entry with this ID (first store row with that ID
  // text, after CatchUpWithFile): count + 1, time := now, SaveList; then
  // ResetView in any case. An entry no longer in the file counts nothing.
  // A save that fails takes the store back to the file (TakeBackUnsaved).
  void RecordLaunch(std::string_view id);
  // Appends name/target with a new ID and the time now, unless some entry
  // has exactly this target. Neither saves nor refreshes.
  void AddEntryIfMissing(std::string_view name, std::string_view target);
  // Appends a typed command line that the shell opened as a new entry (name
  // and target the text, time now, count empty) and saves. When the save
  // fails the store is taken back to the file (TakeBackUnsaved), the view
  // rebuilt (ResetView) and the error thrown.
  void AddTypedCommand(std::string_view text);

  // When the list file is no longer what the store was last read from or
  // written to (another program changed it, made it or put another in its
  // place), the store is read from it again: entries that went or got
  // another target are told to OnEntryIconStale, and the view still holds
  // the rows read before (the caller shows it again). Returns whether it
  // read. A file that is gone leaves the store as it is (the next save
  // writes it again); nothing is read while saving is refused. Throws, with
  // the store unchanged, when the file cannot be read; saving is not refused
  // for that, the next change tries again.
  bool CatchUpWithFile();

  // Throws the reason why saving is refused (the list file could not be
  // read), before a command changes anything; does nothing otherwise.
  void CheckSavable() const;

  // A dropped file, folder or shortcut target: the entry's name and target.
  struct DroppedEntry {
    std::string name;
    std::string target;
  };
  // Appends one entry per dropped item (new ID, name, target, count "1",
  // time now, cells 5 and 6 empty), rebuilds the view, saves, and selects
  // the last row. Refused (CheckSavable) before anything is added; when the
  // save fails the store is taken back to the file (TakeBackUnsaved), the
  // view rebuilt and the error thrown.
  void AddDroppedEntries(const std::vector<DroppedEntry>& entries);

  // The property dialog's OK: the first store row with this ID (an empty ID
  // matches a row whose ID cell is empty), or a new row at the end, gets the
  // name, target and time text as typed; a row without an ID gets a new one.
  // Then saves and rebuilds the view. Returns the entry's ID (also in newId).
  // When catching up with the file shows that another program removed the
  // entry, nothing is stored and an error says so (the edit is never written
  // over that removal); an ID that only another program's new row has gets the
  // typed entry a new row and ID. Refused (CheckSavable) before anything
  // changes; when the save fails the store is put back as it was (the user is
  // told nothing was saved, so no later save may write it), and the error is
  // thrown.
  std::string StoreEntry(std::string_view id, std::string_view name, std::string_view target,
                         std::string_view time, std::string* newId = nullptr);

  // Removes the entry shown as item index: its view row, and the first store
  // row with its ID. When the file was read again first, the entry is looked
  // for by its ID and target among the rows read, and the view is made again
  // from those rows, filtered by the last key typed. When the ID is in the
  // store: the view is sorted and shown again, the item with the store row's
  // former number is selected when there is one (else the last), and the list
  // is saved. Refused (CheckSavable) before anything changes.
  void DeleteViewEntry(int index);

  // The removal of entries whose files are gone: every store row, in store
  // order, whose target is a drive path (":\") that exists neither as a file
  // nor as a folder (exists gets the path of a quoted target without its
  // quotes and arguments) is offered to askRemove(name, target); on true it is
  // removed. Then saves and rebuilds the view, also when nothing went.
  // Refused (CheckSavable) before the first question.
  // A question lets anything happen meanwhile, the list's own end included:
  // after each one listLives() (when given) is asked first, and on false the
  // removal stops there without touching the list again; otherwise the entry
  // is found again by its ID and target (after the last answer, in the rows
  // CatchUpWithFile gives), and removed only when it is still there and its
  // file still missing.
  void RemoveMissing(const std::function<bool(const std::string& target)>& exists,
                     const std::function<bool(const std::string& name, const std::string& target)>& askRemove,
                     const std::function<bool()>& listLives = {});

  // The view row of the entry with this ID and target; -1 when it is not
  // shown (any more).
  int ViewRowOf(std::string_view id, std::string_view target) const;
  // Some store row has this ID and this target.
  bool HasEntry(std::string_view id, std::string_view target) const;

  // The ID for a new entry, one that no entry of the store has: one more
  // than the largest ID (an ID that is not an int counts as 1), or,
  // when that would pass the largest int, the smallest positive number that
  // no ID reads as ("007" takes 7).
  std::string NewId() const;
  void IconStale(const std::string& id);
  // Gives the store row a new ID.
  void SetNewId(int row, const std::string& id);

  // The view row shown as item index of the display: its ID and target.
  std::string ViewId(int index) const { return sheetView.GetCell(0, index); }
  std::string ViewTarget(int index) const { return sheetView.GetCell(2, index); }

 private:
  // After a failed save: the store goes back to what the list file holds.
  // The user is told the change was not saved, so no later, unrelated save
  // may write it; a file that cannot be read back leaves saving refused, as
  // after Load. Without a list file the store, the only copy of the list,
  // stays as it is.
  void TakeBackUnsaved() noexcept;
  std::string NowText() const;
  // The first store row with this ID and this target; -1 when none.
  int StoreRowOf(std::string_view id, std::string_view target) const;
  // The rows read from the list file, with the stamp of its bytes, become
  // the store.
  void TakeRowsRead(TCsvSheet& read, const platform::FileStamp& stamp);
  // The view sorted by sortMode; order, when given, gets the view's former
  // row numbers in their new order.
  void SortView(std::vector<int>* order);
  // Fills the display with the view's names and selects the bottom row.
  void ShowView();
  // The store rows whose names hold key ("" every row), sorted and shown.
  void ShowFiltered(const std::string& key);
  // Each store row's place in the name order (equal names, equal places).
  void RankNames();
  // Makes the time reader and the sort key tags anew when the text services
  // in force changed (keys worked out under others must not be reused).
  void FollowTextPlatform();
  // The date of a time cell, converted once per distinct text.
  std::optional<double> DateOf(std::string_view text);

  std::string listPath_;
  ListDisplay& display_;
  // Why saving is refused (the list file exists but could not be read).
  std::string saveRefusal_;
  // The stamp of the list file as last read or written; nothing while the
  // store was read from no file.
  std::optional<platform::FileStamp> fileStamp_;
  std::unordered_map<std::string, std::optional<double>> dateCache_;
  // Reads the program's own time texts; made for the text services in force.
  std::optional<TimeTextReader> timeReader_;
  const platform::TextPlatform* timeReaderPlatform_ = nullptr;
  // The rows keep their converted time and count cells under these tags.
  std::uint32_t timeKeyTag_ = 0;
  std::uint32_t countKeyTag_ = 0;

  // The keys typed on the way to the one shown, each a prefix of the next,
  // with their results: a longer key searches only the rows the shorter one
  // matched, and going back (Backspace) shows a step's rows again without
  // searching or sorting. Any change to a sheet, the sort mode or the text
  // services drops them.
  struct FilterStep {
    std::string key;
    std::vector<int> matches;  // store rows holding the key, store order; empty for key ""
    std::vector<int> shown;    // the rows shown, in display order
  };
  std::vector<FilterStep> steps_;
  // Kept with the steps, for the name order: each store row's place by name.
  std::vector<int> nameRanks_;
  bool kept_ = false;  // what is kept was worked out under the values below
  std::uint64_t stepsChanges_ = 0;
  int stepsSortMode_ = kSortByTime;
  const platform::TextPlatform* stepsPlatform_ = nullptr;
};

}  // namespace lumora
