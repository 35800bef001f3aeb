// The entry icon decision and its two cache levels, with a requester that
// records what would go to the lookup thread: web addresses and network
// paths, memory slots keyed by ID, the 822-byte cache files, hostile IDs from
// a hand-edited list, and cache files that cannot be written.
#include "icons/icon_cache.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "support/sheet_temp_folder.h"

namespace lumora {
namespace {

IconPixels Solid(std::uint8_t blue, std::uint8_t green, std::uint8_t red) {
  IconPixels pixels;
  for (std::size_t i = 0; i < pixels.size(); i += 3) {
    pixels[i] = blue;
    pixels[i + 1] = green;
    pixels[i + 2] = red;
  }
  return pixels;
}

IconPixels Gradient() {
  IconPixels pixels;
  for (std::size_t i = 0; i < pixels.size(); ++i) pixels[i] = static_cast<std::uint8_t>(i * 7);
  return pixels;
}

struct Request {
  std::int64_t slot;
  std::string idText, target;
  unsigned generation;
};

class RecordingRequester : public IconRequester {
 public:
  void Request(std::int64_t slot, const std::string& idText, const std::string& target, unsigned generation) override {
    requests.push_back({slot, idText, target, generation});
  }
  std::vector<lumora::Request> requests;
};

class EntryIconsTest : public ::testing::Test {
 protected:
  EntryIconsTest() : icons(folder.Path().string() + "/", requester) { icons.Memory().SetDefault(Solid(1, 2, 3)); }

  std::string CacheFile(const std::string& name) const { return folder.File(name); }
  // Answers the last request as the lookup thread would.
  bool Answer(const std::optional<IconPixels>& pixels) {
    const Request& r = requester.requests.back();
    return icons.Arrived(r.slot, r.idText, r.generation, pixels);
  }
  IconPixels CellOf(const EntryPicture& picture) const {
    IconPixels pixels;
    std::copy(icons.Memory().CellPixels(picture.cell), icons.Memory().CellPixels(picture.cell) + kIconPixelBytes,
              pixels.begin());
    return pixels;
  }

  test::TempFolder folder;
  RecordingRequester requester;
  EntryIcons icons;
};

TEST(IconTargetsTest, WebAddressesAnywhereAndTwoLeadingBackslashesAreWebTargets) {
  EXPECT_TRUE(IsWebTarget("http://example.com/"));
  EXPECT_TRUE(IsWebTarget("https://example.com/"));
  EXPECT_TRUE(IsWebTarget("C:\\tools\\browser.exe http://example.com/"));
  EXPECT_TRUE(IsWebTarget("x https://y"));
  EXPECT_TRUE(IsWebTarget("\\\\server\\share\\file.txt"));
  EXPECT_FALSE(IsWebTarget("HTTP://EXAMPLE.COM/"));
  EXPECT_FALSE(IsWebTarget("Https://example.com/"));
  EXPECT_FALSE(IsWebTarget("\\windows\\notepad.exe"));
  EXPECT_FALSE(IsWebTarget("C:\\windows\\notepad.exe"));
  EXPECT_FALSE(IsWebTarget(""));
}

TEST(IconSlotTest, DecimalIdsKeyTheirSlotOthersShareSlotZeroNegativesHaveNone) {
  EXPECT_EQ(IconSlotOf("12"), 12);
  EXPECT_EQ(IconSlotOf("007"), 7);
  EXPECT_EQ(IconSlotOf("+5"), 5);
  EXPECT_EQ(IconSlotOf("2000000000"), 2000000000);
  EXPECT_EQ(IconSlotOf("2147483647"), 2147483647);
  // Not integers: slot 0.
  EXPECT_EQ(IconSlotOf(""), 0);
  EXPECT_EQ(IconSlotOf("abc"), 0);
  EXPECT_EQ(IconSlotOf("12a"), 0);
  EXPECT_EQ(IconSlotOf(" 12"), 0);
  EXPECT_EQ(IconSlotOf("-"), 0);
  EXPECT_EQ(IconSlotOf("2147483648"), 0);
  EXPECT_EQ(IconSlotOf("99999999999999999999999"), 0);
  EXPECT_EQ(IconSlotOf("-0"), 0);
  // Negative: no slot.
  EXPECT_EQ(IconSlotOf("-1"), std::nullopt);
  EXPECT_EQ(IconSlotOf("-2147483648"), std::nullopt);
}

TEST(IconCacheFileNameTest, IdsTheProgramWritesKeepTheirNameExactly) {
  EXPECT_EQ(IconCacheFileName("12"), "12.bmp");
  EXPECT_EQ(IconCacheFileName("007"), "007.bmp");
  EXPECT_EQ(IconCacheFileName("2000000000"), "2000000000.bmp");
  EXPECT_EQ(IconCacheFileName("-3"), "-3.bmp");
  EXPECT_EQ(IconCacheFileName("abc_1.2"), "abc_1.2.bmp");
  // Two-byte characters, also with a backslash as their second byte (表).
  EXPECT_EQ(IconCacheFileName("\x95\x5C"), "\x95\x5C.bmp");
  EXPECT_EQ(IconCacheFileName("\xB1\xB2"), "\xB1\xB2.bmp");  // half-width katakana
}

TEST(IconCacheFileNameTest, NamesThatCouldLeaveTheFolderOrOpenADeviceAreRefused) {
  for (const char* hostile :
       {"..\\..\\x", "..", ".", ".hidden", "C:\\Windows\\x", "C:x", "\\\\server\\share\\x", "a/b", "a:b", "a*",
        "a?", "a\"b", "a<b", "a>b", "a|b", "a\tb", "a\nb", "a\x01", "a b", "", "CON", "con", "NUL", "nul.txt", "AUX",
        "PRN", "COM1", "com9", "LPT1", "lpt3.x", "CONIN$", "CONOUT$", "\x95"}) {
    EXPECT_EQ(IconCacheFileName(hostile), std::nullopt) << "[" << hostile << "]";
  }
  EXPECT_EQ(IconCacheFileName(std::string(100, '9')), std::string(100, '9') + ".bmp");
  EXPECT_EQ(IconCacheFileName(std::string(101, '9')), std::nullopt);
  // Names that only look like devices are files.
  EXPECT_EQ(IconCacheFileName("CONSOLE"), "CONSOLE.bmp");
  EXPECT_EQ(IconCacheFileName("COM10"), "COM10.bmp");
}

TEST(IconFileTest, EncodesThe822ByteBottomUpBmpAndReadsItBack) {
  const IconPixels pixels = Gradient();
  const std::string file = EncodeIconFile(pixels);
  ASSERT_EQ(file.size(), 822u);
  EXPECT_EQ(file.substr(0, 2), "BM");
  auto le = [&](std::size_t at, int bytes) {
    std::uint32_t v = 0;
    for (int i = bytes - 1; i >= 0; --i) v = (v << 8) | static_cast<unsigned char>(file[at + i]);
    return v;
  };
  EXPECT_EQ(le(2, 4), 822u);
  EXPECT_EQ(le(10, 4), 54u);
  EXPECT_EQ(le(14, 4), 40u);
  EXPECT_EQ(le(18, 4), 16u);
  EXPECT_EQ(le(22, 4), 16u);  // positive: bottom-up
  EXPECT_EQ(le(26, 2), 1u);
  EXPECT_EQ(le(28, 2), 24u);
  EXPECT_EQ(le(30, 4), 0u);
  // The top row of the picture is the last row of the file.
  EXPECT_EQ(static_cast<unsigned char>(file[54 + 15 * 48]), pixels[0]);
  EXPECT_EQ(static_cast<unsigned char>(file[54]), pixels[15 * 48]);
  EXPECT_EQ(DecodeIconFile(file), pixels);
}

TEST(IconFileTest, GarbageTruncatedOrOtherLayoutsAreNoCacheFile) {
  std::string good = EncodeIconFile(Gradient());
  EXPECT_EQ(DecodeIconFile(std::string(822, '\0')), std::nullopt);
  EXPECT_EQ(DecodeIconFile("garbage"), std::nullopt);
  EXPECT_EQ(DecodeIconFile(good.substr(0, 821)), std::nullopt);
  std::string wide = good;
  wide[18] = 32;  // 32 wide
  EXPECT_EQ(DecodeIconFile(wide), std::nullopt);
  std::string bits = good;
  bits[28] = 32;  // 32 bits per pixel
  EXPECT_EQ(DecodeIconFile(bits), std::nullopt);
  std::string compressed = good;
  compressed[30] = 1;
  EXPECT_EQ(DecodeIconFile(compressed), std::nullopt);
  std::string offset = good;
  offset[10] = 100;  // pixels beyond the end
  EXPECT_EQ(DecodeIconFile(offset), std::nullopt);
  // A top-down file of the same size is read the right way up.
  std::string topDown = good;
  topDown[22] = static_cast<char>(0xF0);
  topDown[23] = topDown[24] = topDown[25] = static_cast<char>(0xFF);
  const std::optional<IconPixels> read = DecodeIconFile(topDown);
  ASSERT_TRUE(read.has_value());
  EXPECT_EQ((*read)[0], static_cast<std::uint8_t>(good[54]));
}

TEST_F(EntryIconsTest, WebTargetsShowTheWebIconWithoutLookupOrFile) {
  EXPECT_TRUE(icons.GetEntryIcon("1", "http://example.com/").web);
  EXPECT_TRUE(icons.GetEntryIcon("2", "prog.exe https://example.com/").web);
  EXPECT_TRUE(icons.GetEntryIcon("3", "\\\\server\\share").web);
  EXPECT_TRUE(requester.requests.empty());
  EXPECT_EQ(icons.Memory().SlotCount(), 0u);
  EXPECT_TRUE(std::filesystem::is_empty(folder.Path()));
}

TEST_F(EntryIconsTest, AnIconInNeitherLevelIsAskedForOnceShowsTheDefaultThenIsCachedAndWritten) {
  const EntryPicture first = icons.GetEntryIcon("12", "C:\\x.exe");
  EXPECT_EQ(first, (EntryPicture{false, 0}));
  ASSERT_EQ(requester.requests.size(), 1u);
  EXPECT_EQ(requester.requests[0].slot, 12);
  EXPECT_EQ(requester.requests[0].target, "C:\\x.exe");
  // Painted again while the lookup runs: no second request.
  EXPECT_EQ(icons.GetEntryIcon("12", "C:\\x.exe"), (EntryPicture{false, 0}));
  EXPECT_EQ(requester.requests.size(), 1u);

  EXPECT_TRUE(Answer(Gradient()));
  const EntryPicture cached = icons.GetEntryIcon("12", "C:\\x.exe");
  EXPECT_FALSE(cached.web);
  EXPECT_NE(cached.cell, 0);
  EXPECT_EQ(CellOf(cached), Gradient());
  EXPECT_EQ(test::ReadBytes(CacheFile("12.bmp")), EncodeIconFile(Gradient()));
  EXPECT_EQ(requester.requests.size(), 1u);
}

TEST_F(EntryIconsTest, ATargetWithoutIconCachesTheDefaultIconUnderTheIdAsWritten) {
  icons.GetEntryIcon("007", "HTTP://EXAMPLE.COM/");
  ASSERT_EQ(requester.requests.size(), 1u);
  EXPECT_EQ(requester.requests[0].slot, 7);
  EXPECT_TRUE(Answer(std::nullopt));
  EXPECT_EQ(test::ReadBytes(CacheFile("007.bmp")), EncodeIconFile(Solid(1, 2, 3)));
  EXPECT_FALSE(std::filesystem::exists(CacheFile("7.bmp")));
  // Slot 7 is shared by "7".
  EXPECT_EQ(CellOf(icons.GetEntryIcon("7", "other.exe")), Solid(1, 2, 3));
  EXPECT_EQ(requester.requests.size(), 1u);
}

TEST_F(EntryIconsTest, AGoodCacheFileIsReadOnceAndServedFromMemoryAfterwards) {
  test::WriteBytes(CacheFile("5.bmp"), EncodeIconFile(Gradient()));
  const EntryPicture picture = icons.GetEntryIcon("5", "C:\\missing.exe");
  EXPECT_EQ(CellOf(picture), Gradient());
  EXPECT_TRUE(requester.requests.empty());
  std::filesystem::remove(CacheFile("5.bmp"));
  EXPECT_EQ(icons.GetEntryIcon("5", "C:\\missing.exe"), picture);
  EXPECT_TRUE(requester.requests.empty());
}

TEST_F(EntryIconsTest, AGarbageCacheFileIsLookedUpAgainAndOverwrittenWithAGoodOne) {
  test::WriteBytes(CacheFile("3.bmp"), std::string(822, '\0'));
  EXPECT_EQ(icons.GetEntryIcon("3", "C:\\a.exe"), (EntryPicture{false, 0}));
  ASSERT_EQ(requester.requests.size(), 1u);
  EXPECT_TRUE(Answer(Gradient()));
  EXPECT_EQ(test::ReadBytes(CacheFile("3.bmp")), EncodeIconFile(Gradient()));
}

TEST_F(EntryIconsTest, EqualIdsAndNonIntegersShareSlotsButNameTheirOwnFiles) {
  icons.GetEntryIcon("abc", "a.exe");
  ASSERT_EQ(requester.requests.size(), 1u);
  EXPECT_EQ(requester.requests[0].slot, 0);
  EXPECT_TRUE(Answer(Gradient()));
  EXPECT_TRUE(std::filesystem::exists(CacheFile("abc.bmp")));
  // "xyz" is slot 0 too: the icon cached first, no lookup, no file of its own.
  EXPECT_EQ(CellOf(icons.GetEntryIcon("xyz", "b.exe")), Gradient());
  EXPECT_EQ(requester.requests.size(), 1u);
  EXPECT_FALSE(std::filesystem::exists(CacheFile("xyz.bmp")));
}

TEST_F(EntryIconsTest, HostileIdsKeepTheirIconInMemoryOnlyAndTouchNoFileOutside) {
  const std::filesystem::path outside = folder.Path() / "outside";
  std::filesystem::create_directory(outside);
  const std::string iconsFolder = (outside / "icons").string() + "/";
  std::filesystem::create_directory(outside / "icons");
  RecordingRequester recorder;
  EntryIcons hostile(iconsFolder, recorder);
  // A file the traversal would reach, and one it would write.
  test::WriteBytes((outside / "x.bmp").string(), EncodeIconFile(Gradient()));
  const std::vector<std::string> ids = {"../x", "..\\x", "C:\\Windows\\x", "\\\\server\\share\\x", "a*b", "NUL", "COM1"};
  for (const std::string& id : ids) {
    EXPECT_EQ(hostile.GetEntryIcon(id, "t.exe"), (EntryPicture{false, 0})) << id;
  }
  // None was read from the file outside: all share slot 0, asked for once.
  ASSERT_EQ(recorder.requests.size(), 1u);
  EXPECT_TRUE(hostile.Arrived(0, "../x", recorder.requests[0].generation, Solid(9, 9, 9)));
  EXPECT_EQ(test::ReadBytes((outside / "x.bmp").string()), EncodeIconFile(Gradient()));
  EXPECT_TRUE(std::filesystem::is_empty(outside / "icons"));
  // Shown from memory.
  const EntryPicture shown = hostile.GetEntryIcon("..\\x", "t.exe");
  EXPECT_NE(shown.cell, 0);
}

TEST_F(EntryIconsTest, AHugeIdTakesOneCellAndANegativeIdShowsTheDefaultWithoutLookup) {
  icons.GetEntryIcon("2000000000", "a.exe");
  EXPECT_TRUE(Answer(Gradient()));
  EXPECT_EQ(icons.Memory().SlotCount(), 1u);
  EXPECT_EQ(icons.Memory().CellCount(), 2);  // the default and this one
  EXPECT_TRUE(std::filesystem::exists(CacheFile("2000000000.bmp")));

  EXPECT_EQ(icons.GetEntryIcon("-5", "a.exe"), (EntryPicture{false, 0}));
  EXPECT_EQ(requester.requests.size(), 1u);
  EXPECT_FALSE(std::filesystem::exists(CacheFile("-5.bmp")));
}

TEST_F(EntryIconsTest, ACacheFileThatCannotBeWrittenLeavesTheIconInMemoryAndTheNextRunTriesAgain) {
  RecordingRequester recorder;
  const std::string missingFolder = (folder.Path() / "gone").string() + "/";
  {
    EntryIcons run(missingFolder, recorder);
    run.GetEntryIcon("4", "a.exe");
    ASSERT_EQ(recorder.requests.size(), 1u);
    EXPECT_TRUE(run.Arrived(4, "4", recorder.requests[0].generation, Gradient()));
    const EntryPicture shown = run.GetEntryIcon("4", "a.exe");
    EXPECT_NE(shown.cell, 0);
    EXPECT_EQ(recorder.requests.size(), 1u);
  }
  // The next run, with the folder back.
  std::filesystem::create_directory(folder.Path() / "gone");
  EntryIcons next(missingFolder, recorder);
  next.GetEntryIcon("4", "a.exe");
  ASSERT_EQ(recorder.requests.size(), 2u);
  EXPECT_TRUE(next.Arrived(4, "4", recorder.requests[1].generation, Gradient()));
  EXPECT_EQ(test::ReadBytes(missingFolder + "4.bmp"), EncodeIconFile(Gradient()));
}

TEST_F(EntryIconsTest, AWriterGetsTheCacheFileInsteadOfTheDisk) {
  struct Writer : IconFileWriter {
    void WriteIconFile(const std::string& path, std::string bytes) override { files.emplace_back(path, bytes); }
    void RemoveIconFile(const std::string& path) override { files.emplace_back(path, "removed"); }
    std::vector<std::pair<std::string, std::string>> files;
  } writer;
  EntryIcons deferred(folder.Path().string() + "/", requester, &writer);
  deferred.GetEntryIcon("8", "a.exe");
  ASSERT_TRUE(deferred.Arrived(8, "8", requester.requests.back().generation, Gradient()));
  ASSERT_EQ(writer.files.size(), 1u);
  EXPECT_EQ(writer.files[0].first, folder.Path().string() + "/8.bmp");
  EXPECT_EQ(writer.files[0].second, EncodeIconFile(Gradient()));
  EXPECT_FALSE(std::filesystem::exists(CacheFile("8.bmp")));
  EXPECT_NE(deferred.GetEntryIcon("8", "a.exe").cell, 0);
  deferred.ForgetEntry("8");  // removed after the write, by the writer too
  ASSERT_EQ(writer.files.size(), 2u);
  EXPECT_EQ(writer.files[1], std::make_pair(folder.Path().string() + "/8.bmp", std::string("removed")));
}

TEST_F(EntryIconsTest, FreeIconListEmptiesEverySlotAndDropsAnswersAskedForBefore) {
  icons.GetEntryIcon("1", "a.exe");
  EXPECT_TRUE(Answer(Gradient()));
  icons.GetEntryIcon("2", "b.exe");
  const Request before = requester.requests.back();
  icons.FreeIconList();
  EXPECT_EQ(icons.Memory().SlotCount(), 0u);
  EXPECT_EQ(icons.Memory().CellCount(), 1);
  EXPECT_FALSE(icons.Arrived(before.slot, before.idText, before.generation, Gradient()));
  EXPECT_FALSE(std::filesystem::exists(CacheFile("2.bmp")));
  EXPECT_FALSE(icons.Pending(2));
  // The file of 1 is still there: read back from disk, no lookup.
  const std::size_t asked = requester.requests.size();
  EXPECT_EQ(CellOf(icons.GetEntryIcon("1", "a.exe")), Gradient());
  EXPECT_EQ(requester.requests.size(), asked);
  // 2 is asked for anew.
  icons.GetEntryIcon("2", "b.exe");
  EXPECT_EQ(requester.requests.size(), asked + 1);
}

}  // namespace
}  // namespace lumora
