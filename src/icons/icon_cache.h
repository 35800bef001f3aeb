// The entry icons as the core sees them: the decision which picture a row
// shows, the memory level (one 16x16 cell per entry ID), the disk level (one
// 822-byte BMP file per entry in "icons\"), and the rules that keep a
// hand-edited list file from steering those files anywhere else.
//
// Pixels are 16 rows of 16 pixels, 3 bytes each in the order blue, green,
// red, top row first: the layout of a top-down 24-bit DIB, so the Win32 layer
// draws a cell straight from these bytes (one store for every icon, no GDI
// object per entry).
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace lumora {

inline constexpr int kIconSide = 16;
inline constexpr std::size_t kIconRowBytes = kIconSide * 3;            // 48, no padding
inline constexpr std::size_t kIconPixelBytes = kIconRowBytes * kIconSide;  // 768
inline constexpr std::size_t kIconFileBytes = 14 + 40 + kIconPixelBytes;  // 822

using IconPixels = std::array<std::uint8_t, kIconPixelBytes>;

// A cell of white pixels, the ground every cached icon is drawn on.
IconPixels WhiteIconPixels();

// Web addresses ("http://" or "https://" anywhere, case-sensitive) and
// network paths (two leading backslashes) show the web icon and are never
// looked up on disk.
bool IsWebTarget(std::string_view target);

// The memory slot of an entry: its ID read as a decimal integer (an optional
// sign and digits that fit 32 bits), 0 when the text is not such an integer.
// Nothing for a negative ID: such an entry has no slot.
std::optional<std::int64_t> IconSlotOf(std::string_view idText);

// The cache file name of an entry, idText + ".bmp", when idText can name a
// file in "icons\" and nothing else: one or more of the letters, digits,
// "-", "_" and "." and two-byte or katakana characters of the code page, not
// starting with ".", at most 100 bytes, and not a device name (CON, PRN, AUX,
// NUL, COM0-9, LPT0-9, CONIN$, CONOUT$, with or without an extension).
// Nothing otherwise: such an entry keeps its icon in memory only.
std::optional<std::string> IconCacheFileName(std::string_view idText);

// The 822-byte BMP file of a cell: file header, 40-byte information header,
// 24 bits per pixel, rows bottom-up.
std::string EncodeIconFile(const IconPixels& pixels);
// The cell of a BMP file of 16x16 pixels, 24 bits, uncompressed (bottom-up
// or top-down); nothing for anything else.
std::optional<IconPixels> DecodeIconFile(std::string_view bytes);

// What a row shows: the web icon (drawn through its mask) or a cell of the
// memory level (opaque). Cell 0 is the default icon on white.
struct EntryPicture {
  bool web = false;
  int cell = 0;
  bool operator==(const EntryPicture&) const = default;
};

// The memory level: cells in one block of bytes, a map from slot to cell.
// Cell 0 holds the default icon; cached icons take cells from 1 up.
class IconMemory {
 public:
  IconMemory();

  void SetDefault(const IconPixels& pixels);
  // The cell of the slot, or nothing.
  std::optional<int> Find(std::int64_t slot) const;
  // Stores the pixels for the slot (replacing what it held); returns the cell.
  int Store(std::int64_t slot, const IconPixels& pixels);
  // Empties the slot (its cell is given back by the next Clear).
  void Drop(std::int64_t slot);
  // Empties every slot; the default icon stays.
  void Clear();

  // The first byte of a cell's pixels (kIconPixelBytes of them).
  const std::uint8_t* CellPixels(int cell) const { return bytes_.data() + static_cast<std::size_t>(cell) * kIconPixelBytes; }
  int CellCount() const { return static_cast<int>(bytes_.size() / kIconPixelBytes); }
  std::size_t SlotCount() const { return slots_.size(); }

 private:
  std::vector<std::uint8_t> bytes_;
  std::unordered_map<std::int64_t, int> slots_;
};

// Asks for the icon of a target somewhere else (a worker thread); the answer
// comes back through EntryIcons::Arrived.
class IconRequester {
 public:
  virtual ~IconRequester() = default;
  virtual void Request(std::int64_t slot, const std::string& idText, const std::string& target,
                       unsigned generation) = 0;
};

// Writes cache files somewhere else (the lookup thread), so that no row
// waits for the disk. A write that fails is dropped without a word.
class IconFileWriter {
 public:
  virtual ~IconFileWriter() = default;
  virtual void WriteIconFile(const std::string& path, std::string bytes) = 0;
  // Deletes a cache file, after the writes asked for before.
  virtual void RemoveIconFile(const std::string& path) = 0;
};

// The icon decision of a row and both cache levels. Lookups of icons in
// neither level go to the requester; until the answer arrives the row shows
// the default icon and no second lookup of that slot is asked for.
class EntryIcons {
 public:
  // iconsFolder ends with the path separator ("<program folder>icons\").
  // Without a writer the cache files are written at once.
  EntryIcons(std::string iconsFolder, IconRequester& requester, IconFileWriter* writer = nullptr);

  // The picture of an entry, from its ID text (column 0) and target.
  EntryPicture GetEntryIcon(std::string_view idText, std::string_view target);

  // The answer to a request: the icon on white, or nothing when the target
  // has no icon (it then caches the default icon). Stores it in memory and
  // writes the cache file; a file that cannot be written is left for the
  // next run, without a message. False when the answer is stale (the caches
  // were cleared after the request) and nothing was stored.
  bool Arrived(std::int64_t slot, const std::string& idText, unsigned generation,
               const std::optional<IconPixels>& pixels);

  // FreeIconList: every slot empty; answers still on their way are dropped.
  void FreeIconList();

  // The entry with this ID is gone or has another target: its slot is
  // emptied, an answer on its way for it is dropped, and its cache file is
  // deleted, so that the ID (reused, or with the new target) gets its own
  // icon at the next paint.
  void ForgetEntry(std::string_view idText);

  IconMemory& Memory() { return memory_; }
  const IconMemory& Memory() const { return memory_; }
  bool Pending(std::int64_t slot) const;
  const std::string& IconsFolder() const { return iconsFolder_; }

 private:
  bool LoadFromDisk(std::int64_t slot, std::string_view idText);

  std::string iconsFolder_;
  IconRequester& requester_;
  IconFileWriter* writer_;
  IconMemory memory_;
  // The slots looked up now, each with the number of its request: an
  // answer counts only for the request its slot waits for.
  std::unordered_map<std::int64_t, unsigned> pending_;
  unsigned lastRequest_ = 0;
};

}  // namespace lumora
