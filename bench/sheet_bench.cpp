// The text sheet on a launcher list of 10,000 entries: reading, writing and
// the three sorts, beside a plain read-and-split of the same file.
#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <string_view>
#include <vector>

#include "platform/text_portable.h"
#include "sheet/CsvUtils2.h"

namespace {

constexpr int kEntries = 10000;

// Entry ID, name, target, launch count, time of last launch, two spare cells.
void MakeList(lumora::TCsvSheet& sheet) {
  static const char* const kNames[] = {
      "Notepad", "Calculator", "Visual Studio Code", "Mozilla Firefox", "Report 2026",
      "\x83\x81\x83\x82\x92\xA0",              // memo-chou
      "\x95\x5C\x8C\x76\x8E\x5A",              // hyou-keisan
      "\x83\x5C\x83\x74\x83\x67\x8A\x4A\x94\xAD",  // sofuto kaihatsu
      "\x90\xBF\x8B\x81\x8F\x91 (draft)",      // seikyuusho
      "\x83\x7C\x83\x93\x83\x76 control",      // ponpu
  };
  static const char* const kFolders[] = {
      "C:\\Windows\\System32\\", "C:\\Program Files\\Common Tools\\",
      "D:\\\x83\x5C\x81\x5B\x83\x58\\\x95\x5C\\",  // so-su \ hyou
      "\\\\server\\share\\docs\\", "http://example.com/", "E:\\work\\2026\\"};
  static const char* const kExtensions[] = {".exe", ".txt", ".xlsx", ".lnk", ""};
  std::mt19937 engine(20261207);
  auto random = [&engine] { return static_cast<unsigned>(engine()); };
  for (int r = 0; r < kEntries; ++r) {
    const std::string name = std::string(kNames[random() % std::size(kNames)]) + " " +
                             std::to_string(random() % 1000);
    std::string target = kFolders[random() % std::size(kFolders)];
    target += name;
    target += kExtensions[random() % std::size(kExtensions)];
    char time[32];
    std::snprintf(time, sizeof time, "%04u/%02u/%02u %02u:%02u:%02u", 2020 + random() % 7,
                  1 + random() % 12, 1 + random() % 28, random() % 24, random() % 60,
                  random() % 60);
    sheet.SetCell(0, r, std::to_string(r + 1));
    sheet.SetCell(1, r, name);
    sheet.SetCell(2, r, target);
    sheet.SetCell(3, r, std::to_string(random() % 5000));
    sheet.SetCell(4, r, r % 50 == 0 ? std::string("2026/12/07 13:45:09") : std::string(time));
    sheet.SetCell(5, r, "");
    sheet.SetCell(6, r, "");
  }
}

class ListFile {
 public:
  ListFile() {
    const auto stamp = std::chrono::steady_clock::now().time_since_epoch().count();
    folder_ = std::filesystem::temp_directory_path() / ("lumora_bench_" + std::to_string(stamp));
    std::filesystem::create_directories(folder_);
    path_ = (folder_ / "applist.tsv").string();
    lumora::TCsvSheet sheet;
    MakeList(sheet);
    sheet.SaveToFile(path_, '\t', "\r\n");
  }
  ~ListFile() {
    std::error_code ignored;
    std::filesystem::remove_all(folder_, ignored);
  }
  const std::string& Path() const { return path_; }
  std::string OutPath() const { return (folder_ / "out.tsv").string(); }

 private:
  std::filesystem::path folder_;
  std::string path_;
};

const ListFile& List() {
  static const ListFile file;
  return file;
}

lumora::TCsvSheet& LoadedList() {
  static lumora::TCsvSheet sheet;
  if (sheet.RowCount() == 0) sheet.LoadFromFile(List().Path(), '\t');
  return sheet;
}

void BM_LoadFromFile(benchmark::State& state) {
  lumora::TCsvSheet sheet;
  for (auto _ : state) {
    sheet.LoadFromFile(List().Path(), '\t');
    benchmark::DoNotOptimize(sheet.RowCount());
  }
  state.SetBytesProcessed(state.iterations() *
                          static_cast<int64_t>(std::filesystem::file_size(List().Path())));
}
BENCHMARK(BM_LoadFromFile)->Unit(benchmark::kMillisecond);

void BM_SaveToFile(benchmark::State& state) {
  const auto& sheet = LoadedList();
  const std::string out = List().OutPath();
  for (auto _ : state) sheet.SaveToFile(out, '\t', "\r\n");
  state.SetBytesProcessed(state.iterations() *
                          static_cast<int64_t>(std::filesystem::file_size(out)));
}
BENCHMARK(BM_SaveToFile)->Unit(benchmark::kMillisecond);

// The baseline: the whole file in one read, split on tabs and line ends.
void BM_BaselineReadAndSplit(benchmark::State& state) {
  for (auto _ : state) {
    std::ifstream in(List().Path(), std::ios::binary);
    std::string data(static_cast<std::size_t>(std::filesystem::file_size(List().Path())), '\0');
    in.read(data.data(), static_cast<std::streamsize>(data.size()));
    std::vector<std::vector<std::string_view>> rows;
    rows.emplace_back();
    std::size_t start = 0;
    for (std::size_t i = 0; i < data.size(); ++i) {
      const char c = data[i];
      if (c == '\t' || c == '\r' || c == '\n') {
        rows.back().emplace_back(data.data() + start, i - start);
        if (c == '\r' && i + 1 < data.size() && data[i + 1] == '\n') ++i;
        if (c != '\t') rows.emplace_back();
        start = i + 1;
      }
    }
    rows.back().emplace_back(data.data() + start, data.size() - start);
    benchmark::DoNotOptimize(rows.size());
  }
}
BENCHMARK(BM_BaselineReadAndSplit)->Unit(benchmark::kMillisecond);

template <typename Sort>
void RunSort(benchmark::State& state, Sort sort) {
  lumora::TCsvSheet sheet;
  for (auto _ : state) {
    state.PauseTiming();
    sheet.Assign(LoadedList());
    state.ResumeTiming();
    sort(sheet);
  }
}

void BM_SortByText(benchmark::State& state) {
  RunSort(state, [](lumora::TCsvSheet& s) { s.SortByText(1); });
}
BENCHMARK(BM_SortByText)->Unit(benchmark::kMillisecond);

void BM_SortByNumber(benchmark::State& state) {
  RunSort(state, [](lumora::TCsvSheet& s) { s.SortByNumber(3); });
}
BENCHMARK(BM_SortByNumber)->Unit(benchmark::kMillisecond);

void BM_SortByDate(benchmark::State& state) {
  // The program's date form, in both builds.
  static const lumora::platform::PortableTextPlatform portable;
  const lumora::platform::ScopedTextPlatform scope(portable);
  RunSort(state, [](lumora::TCsvSheet& s) { s.SortByDate(4); });
}
BENCHMARK(BM_SortByDate)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
