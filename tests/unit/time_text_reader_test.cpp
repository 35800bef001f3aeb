// The fast reader of the program's own time texts. Against the system's text
// platform it must give exactly what the platform's conversion gives (natively
// the portable platform, under Wine the locale's conversion of code page
// 932); against made-up platforms it must learn other forms and refuse the
// ones it cannot read.
#include "launcher/time_text_reader.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "platform/text_portable.h"

namespace lumora {
namespace {

using platform::LocalTime;
using platform::TextPlatform;

long long DaysFrom1899(int y, int m, int d) {
  using namespace std::chrono;
  const sys_days date{year{y} / month{static_cast<unsigned>(m)} / day{static_cast<unsigned>(d)}};
  const sys_days epoch{year{1899} / December / 30};
  return (date - epoch).count();
}

LocalTime At(int y, int mo, int d, int h = 0, int mi = 0, int s = 0) {
  using namespace std::chrono;
  const sys_days date{year{y} / month{static_cast<unsigned>(mo)} / day{static_cast<unsigned>(d)}};
  return LocalTime{y, mo, d, h, mi, s, static_cast<int>(weekday{date}.c_encoding())};
}

bool IsLeap(int y) { return (y % 4 == 0 && y % 100 != 0) || y % 400 == 0; }

int DaysInMonth(int y, int m) {
  static constexpr int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  return m == 2 && IsLeap(y) ? 29 : kDays[m - 1];
}

// Checks one text: the reader must read it, and to the same double as the
// platform's conversion.
void ExpectSameAsPlatform(const TimeTextReader& reader, const TextPlatform& platform,
                          const std::string& text) {
  const std::optional<double> theirs = platform.TextToDate(text);
  const std::optional<double> mine = reader.Read(text);
  ASSERT_TRUE(theirs.has_value()) << text;
  ASSERT_TRUE(mine.has_value()) << text;
  ASSERT_EQ(*mine, *theirs) << text;  // exactly, to the last bit
}

// Each maximal digit group of one or two digits, padded to two ("05") or
// stripped of a leading zero ("5").
std::string Repadded(const std::string& text, bool pad) {
  std::string out;
  for (std::size_t i = 0; i < text.size();) {
    if (text[i] < '0' || text[i] > '9') {
      out += text[i++];
      continue;
    }
    std::size_t end = i;
    while (end < text.size() && text[end] >= '0' && text[end] <= '9') ++end;
    std::string group = text.substr(i, end - i);
    if (pad && group.size() == 1) group = "0" + group;
    if (!pad && group.size() == 2 && group[0] == '0') group.erase(0, 1);
    out += group;
    i = end;
  }
  return out;
}

// The system's form with other digits: the probe time's text with each
// digit group replaced by the text given for its field.
std::string InSystemForm(const std::string& y, const std::string& mo, const std::string& d,
                         const std::string& h, const std::string& mi, const std::string& s) {
  const std::string probe = platform::SystemText().DateTimeText(At(2003, 11, 22, 13, 44, 55));
  const std::map<std::string, std::string> groups = {{"2003", y}, {"11", mo}, {"22", d},
                                                     {"13", h},   {"44", mi}, {"55", s}};
  std::string out;
  for (std::size_t i = 0; i < probe.size();) {
    if (probe[i] < '0' || probe[i] > '9') {
      out += probe[i++];
      continue;
    }
    std::size_t end = i;
    while (end < probe.size() && probe[end] >= '0' && probe[end] <= '9') ++end;
    out += groups.at(probe.substr(i, end - i));
    i = end;
  }
  return out;
}

TEST(TimeTextReaderTest, LearnsTheSystemForm) {
  const TextPlatform& system = platform::SystemText();
  const TimeTextReader reader(system);
  ASSERT_TRUE(reader.HasForm()) << system.DateTimeText(At(2003, 11, 22, 13, 44, 55));
  ExpectSameAsPlatform(reader, system, system.DateTimeText(At(2003, 11, 22, 13, 44, 55)));
  EXPECT_EQ(*reader.Read(system.DateTimeText(At(1899, 12, 30, 12, 0, 0))), 0.5);
  EXPECT_EQ(*reader.Read(system.DateTimeText(At(1899, 12, 29, 6, 0, 0))), -1.25);
}

TEST(TimeTextReaderTest, AgreesWithTheSystemOnEveryMonthsEdgeDays) {
  const TextPlatform& system = platform::SystemText();
  const TimeTextReader reader(system);
  const int years[] = {1601, 1602, 1700, 1899, 1900, 1901, 1999, 2000,
                       2001, 2023, 2024, 2025, 2100, 2400, 9998, 9999};
  const int times[][3] = {{0, 0, 0},  {0, 0, 1},   {0, 1, 1},    {9, 7, 8},
                          {12, 0, 0}, {13, 44, 55}, {23, 59, 59}};
  for (int y : years) {
    for (int m = 1; m <= 12; ++m) {
      const int last = DaysInMonth(y, m);
      for (int d : {1, 2, 10, 28, 29, 30, 31}) {
        if (d > last) continue;
        for (const auto& t : times) {
          ASSERT_NO_FATAL_FAILURE(
              ExpectSameAsPlatform(reader, system, system.DateTimeText(At(y, m, d, t[0], t[1], t[2]))));
        }
      }
    }
  }
}

// Every seventh second of the days next to 1899-12-30, where the days take
// the fewest bits and the ways of adding the time of day round differently
// most often. The reader may leave a text to the system (when the system
// could round it either way) but never reads one otherwise.
TEST(TimeTextReaderTest, AgreesWithTheSystemAroundTheEpoch) {
  const TextPlatform& system = platform::SystemText();
  const TimeTextReader reader(system);
  ASSERT_TRUE(reader.HasForm());
  int texts = 0, read = 0;
  for (const LocalTime& date : {At(1899, 12, 27), At(1899, 12, 28), At(1899, 12, 29), At(1899, 12, 30),
                                At(1899, 12, 31), At(1900, 1, 1), At(1900, 1, 2)}) {
    for (int second = 0; second < 86400; second += 7) {
      LocalTime t = date;
      t.hour = second / 3600, t.minute = second / 60 % 60, t.second = second % 60;
      const std::string text = system.DateTimeText(t);
      const std::optional<double> mine = reader.Read(text);
      ++texts;
      if (!mine) continue;
      ++read;
      const std::optional<double> theirs = system.TextToDate(text);
      ASSERT_TRUE(theirs.has_value()) << text;
      ASSERT_EQ(*mine, *theirs) << text;
    }
  }
  EXPECT_GE(read, texts * 98 / 100);
}

TEST(TimeTextReaderTest, AgreesWithTheSystemOnManyTimes) {
  const TextPlatform& system = platform::SystemText();
  const TimeTextReader reader(system);
  std::uint32_t seed = 12345;
  auto next = [&seed](std::uint32_t n) {
    seed = seed * 1664525u + 1013904223u;
    return (seed >> 8) % n;
  };
  for (int i = 0; i < 20000; ++i) {
    const int y = 1601 + static_cast<int>(next(9999 - 1601 + 1));
    const int m = 1 + static_cast<int>(next(12));
    const int d = 1 + static_cast<int>(next(static_cast<std::uint32_t>(DaysInMonth(y, m))));
    const int second = static_cast<int>(next(86400));
    ASSERT_NO_FATAL_FAILURE(ExpectSameAsPlatform(
        reader, system,
        system.DateTimeText(At(y, m, d, second / 3600, second / 60 % 60, second % 60))));
  }
}

TEST(TimeTextReaderTest, ReadsZeroPaddedAndPlainFieldsAlike) {
  const TextPlatform& system = platform::SystemText();
  const TimeTextReader reader(system);
  for (const LocalTime& t : {At(2004, 1, 5, 9, 7, 8), At(1601, 2, 3, 4, 5, 6), At(2024, 2, 9, 0, 0, 0),
                             At(1899, 12, 1, 0, 0, 1), At(9999, 9, 9, 9, 9, 9)}) {
    const std::string text = system.DateTimeText(t);
    ASSERT_NO_FATAL_FAILURE(ExpectSameAsPlatform(reader, system, Repadded(text, true)));
    ASSERT_NO_FATAL_FAILURE(ExpectSameAsPlatform(reader, system, Repadded(text, false)));
  }
}

TEST(TimeTextReaderTest, ReadsTheDateAloneAsTheProgramWritesMidnight) {
  const TextPlatform& system = platform::SystemText();
  const TimeTextReader reader(system);
  const std::string midnight = system.DateTimeText(At(2024, 2, 29));
  EXPECT_EQ(midnight.find(':'), std::string::npos) << midnight;
  ExpectSameAsPlatform(reader, system, midnight);
  EXPECT_EQ(*reader.Read(midnight), static_cast<double>(DaysFrom1899(2024, 2, 29)));
  // Midnight written in full reads the same.
  ExpectSameAsPlatform(reader, system, InSystemForm("2024", "02", "29", "0", "00", "00"));
  EXPECT_EQ(*reader.Read(InSystemForm("2024", "02", "29", "0", "00", "00")), *reader.Read(midnight));
}

TEST(TimeTextReaderTest, LeavesEveryOtherTextToThePlatform) {
  const TimeTextReader reader(platform::SystemText());
  const std::string good = InSystemForm("2024", "02", "29", "23", "59", "59");
  ASSERT_TRUE(reader.Read(good).has_value()) << good;
  const std::string notMine[] = {
      InSystemForm("2023", "02", "29", "1", "00", "00"),  // no leap day that year
      InSystemForm("1900", "02", "29", "1", "00", "00"),
      InSystemForm("2024", "04", "31", "1", "00", "00"),
      InSystemForm("2024", "13", "01", "1", "00", "00"),
      InSystemForm("2024", "00", "01", "1", "00", "00"),
      InSystemForm("2024", "01", "00", "1", "00", "00"),
      InSystemForm("2024", "01", "32", "1", "00", "00"),
      InSystemForm("2024", "01", "01", "24", "00", "00"),
      InSystemForm("2024", "01", "01", "1", "60", "00"),
      InSystemForm("2024", "01", "01", "1", "00", "60"),
      InSystemForm("1600", "12", "31", "1", "00", "00"),  // before the years read
      InSystemForm("0999", "12", "31", "1", "00", "00"),
      InSystemForm("24", "01", "01", "1", "00", "00"),     // a two-digit year
      InSystemForm("20240", "01", "01", "1", "00", "00"),
      InSystemForm("2024", "001", "01", "1", "00", "00"),
      InSystemForm("2024", "01", "01", "100", "00", "00"),
      InSystemForm("2024", "01", "01", "1", "00", ""),
      " " + good,
      good + " ",
      good + "0",
      good.substr(0, good.size() - 3),  // no seconds
      platform::SystemText().DateTimeText(At(2024, 2, 29)) + " ",
      "",
      "abc",
  };
  for (const std::string& text : notMine) EXPECT_FALSE(reader.Read(text).has_value()) << text;
}

// A made-up platform: its own form of time text, and a conversion that
// reads back exactly the texts it wrote, adding the time of day in the
// given way.
class MadeUpPlatform : public TextPlatform {
 public:
  using Format = std::function<std::string(const LocalTime&)>;
  using Sum = std::function<double(long long days, const LocalTime&)>;
  MadeUpPlatform(Format format, Sum sum) : format_(std::move(format)), sum_(std::move(sum)) {}

  const platform::LeadByteTable& LeadBytes() const override { return portable_.LeadBytes(); }
  std::string MapToHalfWidth(std::string_view text) const override {
    return portable_.MapToHalfWidth(text);
  }
  std::optional<double> TextToDate(std::string_view text) const override {
    const auto it = written_.find(std::string(text));
    if (it == written_.end()) return std::nullopt;
    const LocalTime& t = it->second;
    return sum_(DaysFrom1899(t.year, t.month, t.day), t);
  }
  std::string AnsiToUtf8(std::string_view text) const override { return std::string(text); }
  LocalTime Now() const override { return At(2024, 1, 1); }
  std::string DateTimeText(const LocalTime& time) const override {
    std::string text = format_(time);
    written_[text] = time;
    return text;
  }

 private:
  platform::PortableTextPlatform portable_;
  Format format_;
  Sum sum_;
  mutable std::map<std::string, LocalTime> written_;
};

double SecondsOfDaySum(long long days, const LocalTime& t) {
  const double fraction = (t.hour * 3600 + t.minute * 60 + t.second) / 86400.0;
  return days < 0 ? static_cast<double>(days) - fraction : static_cast<double>(days) + fraction;
}

double HourMinuteSecondSum(long long days, const LocalTime& t) {
  const double sign = days < 0 ? -1.0 : 1.0;
  double value = static_cast<double>(days);
  value += t.hour / 24.0 * sign;
  value += t.minute / 1440.0 * sign;
  value += t.second / 86400.0 * sign;
  return value;
}

// As a platform built for x87 adds: every step in 64-bit precision,
// rounded to a double once at the end.
double ExtendedHourMinuteSecondSum(long long days, const LocalTime& t) {
  const long double sign = days < 0 ? -1.0L : 1.0L;
  long double value = static_cast<long double>(days);
  value += t.hour / 24.0L * sign;
  value += t.minute / 1440.0L * sign;
  value += t.second / 86400.0L * sign;
  return static_cast<double>(value);
}

std::string Printed(const char* format, const LocalTime& t) {
  char buffer[96];
  std::snprintf(buffer, sizeof buffer, format, t.year, t.month, t.day, t.hour, t.minute, t.second);
  return buffer;
}

// Day, month and year in another order with other separators; midnight is
// written in full.
std::string DayFirst(const LocalTime& t) {
  char buffer[64];
  std::snprintf(buffer, sizeof buffer, "[%02d.%02d.%04d %02d-%02d-%02d]", t.day, t.month, t.year,
                t.hour, t.minute, t.second);
  return buffer;
}

TEST(TimeTextReaderTest, LearnsAnotherOrderAndOtherSeparators) {
  const MadeUpPlatform platform(DayFirst, SecondsOfDaySum);
  const TimeTextReader reader(platform);
  ASSERT_TRUE(reader.HasForm());
  for (const LocalTime& t : {At(2024, 2, 29, 23, 59, 59), At(2024, 3, 1), At(1601, 1, 1, 0, 1, 2),
                             At(1899, 12, 29, 6, 0, 0), At(9999, 12, 31, 12, 0, 0)}) {
    const std::string text = platform.DateTimeText(t);
    ASSERT_TRUE(reader.Read(text).has_value()) << text;
    EXPECT_EQ(*reader.Read(text), SecondsOfDaySum(DaysFrom1899(t.year, t.month, t.day), t)) << text;
  }
  EXPECT_FALSE(reader.Read("[29.02.2023 00-00-00]").has_value());
  EXPECT_FALSE(reader.Read("2024/02/29 1:00:00").has_value());
}

TEST(TimeTextReaderTest, AddsTheTimeOfDayAsThePlatformDoes) {
  // The ways of adding the time round differently at about a third of the
  // seconds of a day, most often next to 1899-12-30; the reader must give
  // the platform's bits in each. From a platform adding in extended
  // precision it may leave a text that lies too near a rounding midpoint.
  auto portableForm = [](const LocalTime& t) { return Printed("%04d/%d/%d %d:%02d:%02d", t); };
  const MadeUpPlatform::Sum sums[] = {SecondsOfDaySum, HourMinuteSecondSum, ExtendedHourMinuteSecondSum};
  for (const MadeUpPlatform::Sum& sum : sums) {
    const MadeUpPlatform platform(portableForm, sum);
    const TimeTextReader reader(platform);
    ASSERT_TRUE(reader.HasForm());
    const bool extended = &sum == &sums[2];
    int differing = 0, texts = 0, read = 0;
    for (int second = 0; second < 86400; second += 7) {
      for (const LocalTime& date : {At(2003, 11, 22), At(1750, 6, 30), At(1899, 12, 28), At(1899, 12, 31)}) {
        LocalTime t = date;
        t.hour = second / 3600;
        t.minute = second / 60 % 60;
        t.second = second % 60;
        const long long days = DaysFrom1899(t.year, t.month, t.day);
        if (SecondsOfDaySum(days, t) != HourMinuteSecondSum(days, t)) ++differing;
        const std::optional<double> mine = reader.Read(platform.DateTimeText(t));
        ++texts;
        if (!mine && extended) continue;
        ASSERT_TRUE(mine.has_value());
        ++read;
        ASSERT_EQ(*mine, sum(days, t)) << platform.DateTimeText(t);
      }
    }
    EXPECT_GT(differing, 1000);
    EXPECT_GE(read, texts * 98 / 100);
  }
}

TEST(TimeTextReaderTest, AConversionItCannotReproduceLeavesItWithoutAForm) {
  const MadeUpPlatform platform(
      [](const LocalTime& t) { return Printed("%04d/%02d/%02d %d:%02d:%02d", t); },
      [](long long days, const LocalTime& t) {
        return std::nextafter(SecondsOfDaySum(days, t), 1e9);  // one bit off
      });
  const TimeTextReader reader(platform);
  EXPECT_FALSE(reader.HasForm());
  EXPECT_FALSE(reader.Read("2003/11/22 13:44:55").has_value());
}

// " H:MM:SS"
std::string TimeOfDay(const LocalTime& t) {
  char buffer[32];
  std::snprintf(buffer, sizeof buffer, " %d:%02d:%02d", t.hour, t.minute, t.second);
  return buffer;
}

std::string DatePart(const LocalTime& t) { return Printed("%04d/%02d/%02d", t); }

TEST(TimeTextReaderTest, FormsItCannotLearn) {
  const std::vector<MadeUpPlatform::Format> forms = {
      // a 12-hour clock
      [](const LocalTime& t) {
        LocalTime twelve = t;
        twelve.hour = t.hour % 12 == 0 ? 12 : t.hour % 12;
        return DatePart(t) + TimeOfDay(twelve) + (t.hour < 12 ? " AM" : " PM");
      },
      // a two-digit year
      [](const LocalTime& t) {
        LocalTime shortYear = t;
        shortYear.year = t.year % 100;
        return Printed("%02d/%02d/%02d", shortYear) + TimeOfDay(t);
      },
      // the name of the month
      [](const LocalTime& t) {
        static const char* const kMonths[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                              "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
        return std::to_string(t.day) + " " + kMonths[t.month - 1] + " " + std::to_string(t.year) +
               TimeOfDay(t);
      },
      // the day of the week in Shift-JIS, which differs between the probes
      [](const LocalTime& t) {
        static const char* const kDays[] = {"\x93\xfa", "\x8c\x8e", "\x89\xce", "\x90\x85",
                                            "\x96\xd8", "\x8b\xe0", "\x93\x79"};
        return DatePart(t) + "(" + kDays[t.weekday] + ")" + TimeOfDay(t);
      },
      // no seconds
      [](const LocalTime& t) { return DatePart(t) + TimeOfDay(t).substr(0, TimeOfDay(t).size() - 3); },
      // the month written twice
      [](const LocalTime& t) { return DatePart(t) + TimeOfDay(t) + " " + std::to_string(t.month); },
  };
  // The same platform with the plain form learns it.
  ASSERT_TRUE(TimeTextReader(MadeUpPlatform([](const LocalTime& t) { return DatePart(t) + TimeOfDay(t); },
                                            SecondsOfDaySum))
                  .HasForm());
  for (const MadeUpPlatform::Format& form : forms) {
    const MadeUpPlatform platform(form, SecondsOfDaySum);
    const TimeTextReader reader(platform);
    const std::string text = platform.DateTimeText(At(2003, 11, 22, 13, 44, 55));
    EXPECT_FALSE(reader.HasForm()) << text;
    EXPECT_FALSE(reader.Read(text).has_value()) << text;
  }
}

}  // namespace
}  // namespace lumora
