// The readers of hand-edited numbers and times, and the text helpers the
// list and the shell commands lean on.
#include <cmath>
#include <string>

#include "fuzz/fuzz_support.h"
#include "launcher/time_text_reader.h"
#include "sheet/text_primitives.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const auto& platform = lumora::fuzz::UseShiftJis();
  const std::string_view text = lumora::fuzz::AsText(data, size);

  const double number = lumora::StrToNum(text);
  if (std::isnan(number)) std::abort();
  (void)lumora::ToHalfWidth(text);

  static const lumora::TimeTextReader reader(platform);
  (void)reader.Read(text);
  (void)platform.TextToDate(text);

  // Two texts from one input: a search text and the text searched.
  const std::size_t cut = size ? data[0] % (size + 1) : 0;
  const std::string_view search = text.substr(0, cut);
  const std::string_view haystack = text.substr(cut);
  (void)lumora::MbcsPos(search, haystack);
  const int found = lumora::PosFrom(search, haystack, 1 + static_cast<int>(size % 5));
  if (found < 0 || static_cast<std::size_t>(found) > haystack.size()) std::abort();
  if (!search.empty()) (void)lumora::ReplaceText(haystack, search, "\x83\x5C", (size & 1) != 0);

  // A path is its folder part followed by its name part.
  if (lumora::FolderPart(text) + lumora::NamePart(text) != text) std::abort();
  return 0;
}
