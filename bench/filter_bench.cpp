// Keystrokes in the command line on a list of 10,000 entries: the filter
// puts the matching store rows into the view, sorts them and refills the
// list (here a list that keeps nothing), in each of the three orders; once
// as the first character typed into the whole list, once as typing "report"
// and erasing it, where a longer text searches the previous matches and a
// shorter one shows what it showed before. The baseline in the same run is a plain scan of the same
// names for the same texts: lower-case each one and look for the key with
// std::string::find.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <random>
#include <string>
#include <string_view>
#include <vector>

#include "launcher/launcher_list.h"
#include "platform/text_portable.h"

namespace {

constexpr int kEntries = 10000;

class NullDisplay : public lumora::ListDisplay {
 public:
  void Fill(const std::vector<std::string_view>& names) override {
    count_ = static_cast<int>(names.size());
    benchmark::DoNotOptimize(names.data());
  }
  int Count() const override { return count_; }
  void Select(int index) override { selection_ = index; }
  int Selection() const override { return selection_; }
  void Repaint() override {}

 private:
  int count_ = 0;
  int selection_ = -1;
};

// English and Japanese (Shift-JIS) names of programs, documents, folders and
// web pages, each with a number so that few names are alike.
void MakeList(lumora::TCsvSheet& sheet) {
  static const char* const kNames[] = {
      "Notepad", "Calculator", "Visual Studio Code", "Mozilla Firefox", "Report 2026",
      "Google Chrome", "Paint", "Command Prompt", "Excel budget", "project notes",
      "\x83\x81\x83\x82\x92\xA0",                  // memo-chou
      "\x95\x5C\x8C\x76\x8E\x5A",                  // hyou-keisan
      "\x83\x5C\x83\x74\x83\x67\x8A\x4A\x94\xAD",  // sofuto kaihatsu
      "\x90\xBF\x8B\x81\x8F\x91 (draft)",          // seikyuusho
      "\x83\x7C\x83\x93\x83\x76 control",          // ponpu
      "\x8E\xD0\x88\xF5\x96\xBC\x95\xEB",          // shain meibo
  };
  static const char* const kFolders[] = {
      "C:\\Windows\\System32\\", "C:\\Program Files\\Common Tools\\",
      "D:\\\x83\x5C\x81\x5B\x83\x58\\\x95\x5C\\", "\\\\server\\share\\docs\\",
      "http://example.com/", "E:\\work\\2026\\"};
  static const char* const kExtensions[] = {".exe", ".txt", ".xlsx", ".lnk", ""};
  std::mt19937 engine(20261207);
  auto random = [&engine] { return static_cast<unsigned>(engine()); };
  for (int r = 0; r < kEntries; ++r) {
    const std::string name =
        std::string(kNames[random() % std::size(kNames)]) + " " + std::to_string(random() % 1000);
    std::string target = kFolders[random() % std::size(kFolders)];
    target += name;
    target += kExtensions[random() % std::size(kExtensions)];
    char time[32];
    std::snprintf(time, sizeof time, "%04u/%02u/%02u %u:%02u:%02u", 2020 + random() % 7,
                  1 + random() % 12, 1 + random() % 28, random() % 24, random() % 60,
                  random() % 60);
    sheet.SetCell(0, r, std::to_string(r + 1));
    sheet.SetCell(1, r, name);
    sheet.SetCell(2, r, target);
    sheet.SetCell(3, r, r % 7 == 0 ? std::string() : std::to_string(random() % 5000));
    sheet.SetCell(4, r, time);
    if (r % 3 == 0) {
      sheet.SetCell(5, r, "");
      sheet.SetCell(6, r, "");
    }
  }
}

struct Fixture {
  // The program's own date form, so that both builds sort the same times.
  lumora::platform::PortableTextPlatform text;
  lumora::platform::ScopedTextPlatform useText{text};
  NullDisplay display;
  lumora::LauncherList list{"unused.tsv", display};
  std::vector<std::string> names;
  Fixture() {
    MakeList(list.sheetAll);
    for (int r = 0; r < list.sheetAll.RowCount(); ++r) names.push_back(list.sheetAll.GetCell(1, r));
  }
};

Fixture& Shared() {
  static Fixture fixture;
  return fixture;
}

const char* const kKeys[] = {"e", "not"};

void BM_Filter(benchmark::State& state) {
  auto& f = Shared();
  const std::string key = kKeys[state.range(0)];
  f.list.sortMode = static_cast<int>(state.range(1));
  for (auto _ : state) {
    // The first character typed into a launcher showing the whole list.
    state.PauseTiming();
    f.list.Filter("");
    state.ResumeTiming();
    f.list.Filter(key);
    benchmark::DoNotOptimize(f.display.Selection());
  }
  state.counters["matches"] = f.display.Count();
  state.SetLabel(std::string("key \"") + key + "\" " + lumora::SortModeText(f.list.sortMode));
}
BENCHMARK(BM_Filter)
    ->ArgsProduct({{0, 1}, {lumora::kSortByTime, lumora::kSortByCount, lumora::kSortByName}})
    ->Unit(benchmark::kMicrosecond);

const char* const kTyping[] = {"r", "re", "rep", "repo", "repor", "report", "repor", "repo", "rep", "re", "r", ""};

// Per keystroke: typing "report" and erasing it, again and again.
void BM_TypeAndErase(benchmark::State& state) {
  auto& f = Shared();
  f.list.sortMode = static_cast<int>(state.range(0));
  for (auto _ : state) {
    for (const char* text : kTyping) f.list.Filter(text);
    benchmark::DoNotOptimize(f.display.Selection());
  }
  state.SetItemsProcessed(state.iterations() * static_cast<std::int64_t>(std::size(kTyping)));
  state.SetLabel(std::string("typing \"report\" and erasing it, ") + lumora::SortModeText(f.list.sortMode));
}
BENCHMARK(BM_TypeAndErase)
    ->DenseRange(lumora::kSortByTime, lumora::kSortByName)
    ->Unit(benchmark::kMicrosecond);

// The baseline: lower-case every name and look for the key.
int ScanNames(const std::vector<std::string>& names, const std::string& key) {
  int matches = 0;
  for (const std::string& name : names) {
    std::string lowered = name;
    for (char& c : lowered) {
      if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    }
    if (lowered.find(key) != std::string::npos) ++matches;
  }
  return matches;
}

void BM_BaselineScan(benchmark::State& state) {
  auto& f = Shared();
  const std::string key = kKeys[state.range(0)];
  int matches = 0;
  for (auto _ : state) {
    matches = ScanNames(f.names, key);
    benchmark::DoNotOptimize(matches);
  }
  state.counters["matches"] = matches;
  state.SetLabel(std::string("key \"") + key + "\"");
}
BENCHMARK(BM_BaselineScan)->DenseRange(0, 1)->Unit(benchmark::kMicrosecond);

void BM_BaselineTypeAndErase(benchmark::State& state) {
  auto& f = Shared();
  for (auto _ : state) {
    for (const char* text : kTyping) benchmark::DoNotOptimize(ScanNames(f.names, text));
  }
  state.SetItemsProcessed(state.iterations() * static_cast<std::int64_t>(std::size(kTyping)));
  state.SetLabel("typing \"report\" and erasing it");
}
BENCHMARK(BM_BaselineTypeAndErase)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
