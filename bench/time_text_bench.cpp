// Reading the time cells of a 10,000-entry list: the platform's conversion
// (here the portable one) against TimeTextReader, and the reader's learning
// of the form, which the list pays once.
#include <benchmark/benchmark.h>

#include <string>
#include <vector>

#include "launcher/time_text_reader.h"
#include "platform/text_portable.h"

namespace {

std::vector<std::string> TimeTexts(const lumora::platform::TextPlatform& platform) {
  std::vector<std::string> texts;
  for (int i = 0; i < 10000; ++i) {
    const int second = (i * 7919) % 86400;
    texts.push_back(platform.DateTimeText(lumora::platform::LocalTime{
        2000 + i % 27, 1 + i % 12, 1 + i % 28, second / 3600, second / 60 % 60, second % 60, 0}));
  }
  return texts;
}

void BM_PlatformConversion(benchmark::State& state) {
  const lumora::platform::PortableTextPlatform platform;
  const std::vector<std::string> texts = TimeTexts(platform);
  for (auto _ : state) {
    for (const std::string& text : texts) benchmark::DoNotOptimize(platform.TextToDate(text));
  }
  state.SetItemsProcessed(state.iterations() * static_cast<long long>(texts.size()));
}
BENCHMARK(BM_PlatformConversion);

void BM_TimeTextReader(benchmark::State& state) {
  const lumora::platform::PortableTextPlatform platform;
  const std::vector<std::string> texts = TimeTexts(platform);
  const lumora::TimeTextReader reader(platform);
  for (auto _ : state) {
    for (const std::string& text : texts) benchmark::DoNotOptimize(reader.Read(text));
  }
  state.SetItemsProcessed(state.iterations() * static_cast<long long>(texts.size()));
}
BENCHMARK(BM_TimeTextReader);

void BM_TimeTextReaderLearning(benchmark::State& state) {
  const lumora::platform::PortableTextPlatform platform;
  for (auto _ : state) benchmark::DoNotOptimize(lumora::TimeTextReader(platform).HasForm());
}
BENCHMARK(BM_TimeTextReaderLearning);

}  // namespace

BENCHMARK_MAIN();
