// The readers of hand-edited numbers and times, the text helpers the list
// and the shell commands lean on, and what the icon cache makes of an entry's
// ID (a file name that stays in "icons\") and of a cache file's bytes.
#include <cmath>
#include <string>

#include "fuzz/fuzz_support.h"
#include "icons/icon_cache.h"
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

  // A cache file name never leaves the folder nor names a device: no
  // separator, reserved sign or control character outside the second bytes
  // of two-byte characters, no leading dot.
  if (const auto name = lumora::IconCacheFileName(text)) {
    if (name->front() == '.' || name->size() > 104) std::abort();
    const auto& lead = platform.LeadBytes();
    for (std::size_t i = 0; i < name->size(); ++i) {
      const char c = (*name)[i];
      if (lead.IsLead(c)) {
        ++i;
        continue;
      }
      if (static_cast<unsigned char>(c) < 0x20 || std::string_view("\\/:*?\"<>|").find(c) != std::string_view::npos) {
        std::abort();
      }
    }
    std::string base = name->substr(0, name->find('.'));
    for (char& c : base) c = (c >= 'a' && c <= 'z') ? static_cast<char>(c - 32) : c;
    for (const char* device : {"CON", "PRN", "AUX", "NUL", "CONIN$", "CONOUT$"}) {
      if (base == device) std::abort();
    }
    if (base.size() == 4 && (base.rfind("COM", 0) == 0 || base.rfind("LPT", 0) == 0) &&
        base[3] >= '0' && base[3] <= '9') {
      std::abort();
    }
  }
  (void)lumora::IsWebTarget(text);
  (void)lumora::IconSlotOf(text);
  // A cache file read back is written again as the same pixels.
  if (const auto pixels = lumora::DecodeIconFile(text)) {
    const std::string again = lumora::EncodeIconFile(*pixels);
    if (again.size() != lumora::kIconFileBytes || lumora::DecodeIconFile(again) != pixels) std::abort();
  }
  return 0;
}
