#include "icons/icon_cache.h"

#include <algorithm>
#include <cstring>
#include <exception>
#include <limits>
#include <memory>
#include <utility>

#include "platform/files.h"
#include "platform/text_platform.h"

namespace lumora {

namespace {

constexpr std::size_t kLongestCacheName = 100;

void PutLe(std::string& out, std::size_t at, std::uint32_t value, int bytes) {
  for (int i = 0; i < bytes; ++i) out[at + static_cast<std::size_t>(i)] = static_cast<char>((value >> (8 * i)) & 0xFF);
}

std::uint32_t GetLe(std::string_view in, std::size_t at, int bytes) {
  std::uint32_t value = 0;
  for (int i = bytes - 1; i >= 0; --i) value = (value << 8) | static_cast<unsigned char>(in[at + static_cast<std::size_t>(i)]);
  return value;
}

char Upper(char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c; }

bool IsDeviceName(std::string_view name) {
  // The part before the first dot names the device whatever follows it.
  std::string base(name.substr(0, name.find('.')));
  std::transform(base.begin(), base.end(), base.begin(), Upper);
  if (base == "CON" || base == "PRN" || base == "AUX" || base == "NUL" || base == "CONIN$" || base == "CONOUT$")
    return true;
  return base.size() == 4 && (base.starts_with("COM") || base.starts_with("LPT")) && base[3] >= '0' && base[3] <= '9';
}

}  // namespace

IconPixels WhiteIconPixels() {
  IconPixels pixels;
  pixels.fill(0xFF);
  return pixels;
}

bool IsWebTarget(std::string_view target) {
  return target.find("http://") != std::string_view::npos || target.find("https://") != std::string_view::npos ||
         target.starts_with("\\\\");
}

std::optional<std::int64_t> IconSlotOf(std::string_view idText) {
  std::size_t pos = 0;
  bool negative = false;
  if (pos < idText.size() && (idText[pos] == '+' || idText[pos] == '-')) negative = idText[pos++] == '-';
  if (pos == idText.size()) return 0;
  std::int64_t value = 0;
  for (; pos < idText.size(); ++pos) {
    const char c = idText[pos];
    if (c < '0' || c > '9') return 0;
    value = value * 10 + (c - '0');
    // Beyond a 32-bit integer the text is no integer the list knows.
    if (value > std::int64_t{std::numeric_limits<std::int32_t>::max()} + (negative ? 1 : 0)) return 0;
  }
  if (negative && value != 0) return std::nullopt;
  return value;
}

std::optional<std::string> IconCacheFileName(std::string_view idText) {
  if (idText.empty() || idText.size() > kLongestCacheName || idText.front() == '.') return std::nullopt;
  const platform::LeadByteTable& lead = platform::Text().LeadBytes();
  for (std::size_t i = 0; i < idText.size(); ++i) {
    const unsigned char c = static_cast<unsigned char>(idText[i]);
    if (lead.IsLead(c)) {
      // A two-byte character: its second byte may be any byte but a control.
      if (i + 1 >= idText.size() || static_cast<unsigned char>(idText[i + 1]) < 0x40) return std::nullopt;
      ++i;
      continue;
    }
    const bool plain = (c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '-' ||
                       c == '_' || c == '.' || (c >= 0xA1 && c <= 0xDF);
    if (!plain) return std::nullopt;
  }
  if (IsDeviceName(idText)) return std::nullopt;
  return std::string(idText) + ".bmp";
}

std::string EncodeIconFile(const IconPixels& pixels) {
  std::string file(kIconFileBytes, '\0');
  file[0] = 'B';
  file[1] = 'M';
  PutLe(file, 2, kIconFileBytes, 4);  // file size
  PutLe(file, 10, 54, 4);             // offset of the pixels
  PutLe(file, 14, 40, 4);             // information header size
  PutLe(file, 18, kIconSide, 4);      // width
  PutLe(file, 22, kIconSide, 4);      // height, positive: bottom-up
  PutLe(file, 26, 1, 2);              // planes
  PutLe(file, 28, 24, 2);             // bits per pixel
  PutLe(file, 30, 0, 4);              // BI_RGB
  PutLe(file, 34, kIconPixelBytes, 4);
  for (int row = 0; row < kIconSide; ++row) {
    const std::size_t from = static_cast<std::size_t>(row) * kIconRowBytes;
    const std::size_t to = 54 + static_cast<std::size_t>(kIconSide - 1 - row) * kIconRowBytes;
    std::memcpy(file.data() + to, pixels.data() + from, kIconRowBytes);
  }
  return file;
}

std::optional<IconPixels> DecodeIconFile(std::string_view bytes) {
  if (bytes.size() < 54 || bytes[0] != 'B' || bytes[1] != 'M') return std::nullopt;
  const std::uint32_t offset = GetLe(bytes, 10, 4);
  const std::uint32_t headerSize = GetLe(bytes, 14, 4);
  const std::int32_t width = static_cast<std::int32_t>(GetLe(bytes, 18, 4));
  const std::int32_t height = static_cast<std::int32_t>(GetLe(bytes, 22, 4));
  if (headerSize < 40 || width != kIconSide || (height != kIconSide && height != -kIconSide) ||
      GetLe(bytes, 26, 2) != 1 || GetLe(bytes, 28, 2) != 24 || GetLe(bytes, 30, 4) != 0) {
    return std::nullopt;
  }
  if (offset < 14 + headerSize || offset > bytes.size() || bytes.size() - offset < kIconPixelBytes) return std::nullopt;
  IconPixels pixels;
  for (int row = 0; row < kIconSide; ++row) {
    const int fileRow = height > 0 ? kIconSide - 1 - row : row;
    std::memcpy(pixels.data() + static_cast<std::size_t>(row) * kIconRowBytes,
                bytes.data() + offset + static_cast<std::size_t>(fileRow) * kIconRowBytes, kIconRowBytes);
  }
  return pixels;
}

// --- the memory level ------------------------------------------------------

IconMemory::IconMemory() : bytes_(kIconPixelBytes, 0xFF) {}

void IconMemory::SetDefault(const IconPixels& pixels) { std::copy(pixels.begin(), pixels.end(), bytes_.begin()); }

std::optional<int> IconMemory::Find(std::int64_t slot) const {
  const auto found = slots_.find(slot);
  if (found == slots_.end()) return std::nullopt;
  return found->second;
}

int IconMemory::Store(std::int64_t slot, const IconPixels& pixels) {
  int cell = 0;
  if (const std::optional<int> held = Find(slot)) {
    cell = *held;
  } else {
    cell = CellCount();
    bytes_.resize(bytes_.size() + kIconPixelBytes);
    slots_.emplace(slot, cell);
  }
  std::copy(pixels.begin(), pixels.end(), bytes_.begin() + static_cast<std::ptrdiff_t>(cell) * kIconPixelBytes);
  return cell;
}

void IconMemory::Drop(std::int64_t slot) { slots_.erase(slot); }

void IconMemory::Clear() {
  slots_.clear();
  bytes_.resize(kIconPixelBytes);
  bytes_.shrink_to_fit();
}

// --- the decision ------------------------------------------------------------

EntryIcons::EntryIcons(std::string iconsFolder, IconRequester& requester, IconFileWriter* writer)
    : iconsFolder_(std::move(iconsFolder)), requester_(requester), writer_(writer) {}

bool EntryIcons::Pending(std::int64_t slot) const { return pending_.contains(slot); }

EntryPicture EntryIcons::GetEntryIcon(std::string_view idText, std::string_view target) {
  if (IsWebTarget(target)) return EntryPicture{true, 0};
  const std::optional<std::int64_t> slot = IconSlotOf(idText);
  // A negative ID has no slot: the default icon, and nothing looked up.
  if (!slot) return EntryPicture{false, 0};
  if (const std::optional<int> cell = memory_.Find(*slot)) return EntryPicture{false, *cell};
  // A lookup on its way: its file (if any) was read and found wanting.
  if (Pending(*slot)) return EntryPicture{false, 0};
  if (LoadFromDisk(*slot, idText)) return EntryPicture{false, *memory_.Find(*slot)};
  pending_.emplace(*slot, ++lastRequest_);
  requester_.Request(*slot, std::string(idText), std::string(target), lastRequest_);
  return EntryPicture{false, 0};
}

bool EntryIcons::LoadFromDisk(std::int64_t slot, std::string_view idText) {
  const std::optional<std::string> name = IconCacheFileName(idText);
  if (!name) return false;
  const std::string path = iconsFolder_ + *name;
  try {
    if (!platform::FileExists(path)) return false;
    const std::unique_ptr<platform::InputFile> file = platform::OpenInputFile(path);
    // Read one byte more than a cache file holds: a longer file is no cache
    // file of ours, but a BMP file of another layout may still be good.
    std::string bytes(4096, '\0');
    std::size_t got = 0;
    while (got < bytes.size()) {
      const std::size_t n = file->Read(bytes.data() + got, bytes.size() - got);
      if (n == 0) break;
      got += n;
    }
    bytes.resize(got);
    const std::optional<IconPixels> pixels = DecodeIconFile(bytes);
    if (!pixels) return false;
    memory_.Store(slot, *pixels);
    return true;
  } catch (const std::exception&) {
    // Unreadable: looked up afresh and written again.
    return false;
  }
}

bool EntryIcons::Arrived(std::int64_t slot, const std::string& idText, unsigned generation,
                         const std::optional<IconPixels>& pixels) {
  const auto waiting = pending_.find(slot);
  if (waiting == pending_.end() || waiting->second != generation) return false;
  pending_.erase(waiting);
  const IconPixels stored = pixels ? *pixels : IconPixels([this] {
    IconPixels fallback;
    std::copy(memory_.CellPixels(0), memory_.CellPixels(0) + kIconPixelBytes, fallback.begin());
    return fallback;
  }());
  memory_.Store(slot, stored);
  if (const std::optional<std::string> name = IconCacheFileName(idText)) {
    if (writer_) {
      writer_->WriteIconFile(iconsFolder_ + *name, EncodeIconFile(stored));
      return true;
    }
    try {
      const std::string bytes = EncodeIconFile(stored);
      const std::unique_ptr<platform::OutputFile> file = platform::CreateOutputFile(iconsFolder_ + *name);
      file->Write(bytes.data(), bytes.size());
      file->Commit();
    } catch (const std::exception&) {
      // "icons\" removed or read-only, a full disk: the icon stays in memory
      // for this run and the next run tries the file again.
    }
  }
  return true;
}

void EntryIcons::FreeIconList() {
  memory_.Clear();
  pending_.clear();
}

void EntryIcons::ForgetEntry(std::string_view idText) {
  const std::optional<std::int64_t> slot = IconSlotOf(idText);
  if (!slot) return;
  memory_.Drop(*slot);
  pending_.erase(*slot);
  const std::optional<std::string> name = IconCacheFileName(idText);
  if (!name) return;
  if (writer_) {
    writer_->RemoveIconFile(iconsFolder_ + *name);
  } else {
    platform::RemoveFile(iconsFolder_ + *name);
  }
}

}  // namespace lumora
