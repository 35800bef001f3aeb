// The list file as a user may have edited it: read, sorted three ways,
// narrowed (also typing on and back), written back and read again.
#include <cstdio>
#include <string>
#include <vector>

#include <unistd.h>

#include "fuzz/fuzz_support.h"
#include "launcher/launcher_list.h"
#include "sheet/CsvUtils2.h"

namespace {

class NullDisplay : public lumora::ListDisplay {
 public:
  void Fill(const std::vector<std::string_view>& names) override { count_ = static_cast<int>(names.size()); }
  int Count() const override { return count_; }
  void Select(int index) override { selection_ = index; }
  int Selection() const override { return selection_; }
  void Repaint() override {}

 private:
  int count_ = 0;
  int selection_ = -1;
};

std::string TempPath(const char* name) {
  // tmpfs where there is one: the list is written through fsync.
  const char* folder = access("/dev/shm", W_OK) == 0 ? "/dev/shm" : "/tmp";
  return std::string(folder) + "/lumora-fuzz-" + std::to_string(getpid()) + "-" + name;
}

// Removes the list file when the run ends.
struct RemovedAtExit {
  std::string path;
  ~RemovedAtExit() { std::remove(path.c_str()); }
};

void WriteFile(const std::string& path, std::string_view bytes) {
  std::FILE* file = std::fopen(path.c_str(), "wb");
  if (!file) std::abort();
  if (!bytes.empty() && std::fwrite(bytes.data(), 1, bytes.size(), file) != bytes.size()) std::abort();
  std::fclose(file);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  lumora::fuzz::UseShiftJis();
  static const RemovedAtExit file{TempPath("applist.tsv")};
  const std::string& listPath = file.path;
  const std::string_view bytes = lumora::fuzz::AsText(data, size);
  WriteFile(listPath, bytes);

  // The comma form of the sheet, as the generic reader also offers it.
  lumora::TCsvSheet commas;
  commas.LoadFromFile(listPath, ',');
  commas.headerRow = size % 2 == 0;
  commas.SortByText(0);
  commas.SortByNumber(1);
  commas.SortByDate(2);
  (void)commas.NextNumber(0, 1);
  (void)commas.MaxColCount();

  NullDisplay display;
  lumora::LauncherList list(listPath, display);
  list.Load();
  for (const int mode : {lumora::kSortByTime, lumora::kSortByCount, lumora::kSortByName}) {
    list.sortMode = mode;
    list.ResetView();
    if (display.Count() != list.sheetView.RowCount()) std::abort();
  }
  // A typed text taken from the list's own bytes.
  list.Filter(bytes.substr(0, bytes.size() % 7));
  if (display.Count() > list.sheetAll.RowCount()) std::abort();
  (void)list.NewId();

  // Typing on and back again (the later texts search the earlier matches or
  // show them again) shows what a list filtering each text afresh shows.
  const std::string_view typed = bytes.substr(bytes.size() > 8 ? 8 : 0, 3);
  std::vector<std::string_view> texts;
  for (std::size_t n = 1; n <= typed.size(); ++n) texts.push_back(typed.substr(0, n));
  for (std::size_t n = typed.size(); n-- > 0;) texts.push_back(typed.substr(0, n));
  std::vector<std::vector<std::string>> seen;
  for (const std::string_view text : texts) {
    list.Filter(text);
    seen.emplace_back();
    for (int r = 0; r < list.sheetView.RowCount(); ++r) seen.back().push_back(list.ViewId(r) + "\t" + list.ViewTarget(r));
  }
  NullDisplay freshDisplay;
  lumora::LauncherList fresh(listPath, freshDisplay);
  fresh.sheetAll.Assign(list.sheetAll);
  fresh.sortMode = list.sortMode;
  for (std::size_t i = 0; i < texts.size(); ++i) {
    fresh.Filter(texts[i]);
    if (fresh.sheetView.RowCount() != static_cast<int>(seen[i].size())) std::abort();
    for (int r = 0; r < fresh.sheetView.RowCount(); ++r) {
      if (fresh.ViewId(r) + "\t" + fresh.ViewTarget(r) != seen[i][static_cast<std::size_t>(r)]) std::abort();
    }
  }

  // What is written reads back as the same rows and cells.
  list.SaveList();
  lumora::TCsvSheet again;
  again.LoadFromFile(listPath, '\t');
  again.TrimEmptyRows();
  if (again.RowCount() != list.sheetAll.RowCount()) std::abort();
  return 0;
}
