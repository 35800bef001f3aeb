#include "launcher/time_text_reader.h"

#include <cmath>
#include <cstddef>

namespace lumora {

namespace {

// Days from 1899-12-30 to the date (Gregorian calendar).
long long DaysFrom1899(int year, int month, int day) {
  const int y = year - (month <= 2 ? 1 : 0);
  const int era = y / 400;  // the years read are positive
  const int yearOfEra = y - era * 400;
  const int dayOfYear = (153 * (month > 2 ? month - 3 : month + 9) + 2) / 5 + day - 1;
  const int dayOfEra = yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear;
  return static_cast<long long>(era) * 146097 + dayOfEra - 693899;  // 0000-03-01 to 1899-12-30
}

bool IsLeapYear(int y) { return (y % 4 == 0 && y % 100 != 0) || y % 400 == 0; }

int DaysInMonth(int year, int month) {
  static constexpr int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  return month == 2 && IsLeapYear(year) ? 29 : kDays[month - 1];
}

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

bool IsAsciiLetter(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }

platform::LocalTime At(int year, int month, int day, int hour, int minute, int second) {
  const long long days = DaysFrom1899(year, month, day);
  const int weekday = static_cast<int>(((days % 7) + 7 + 6) % 7);  // 1899-12-30 was a Saturday
  return platform::LocalTime{year, month, day, hour, minute, second, weekday};
}

// The two times the form is learned from: every field differs from every
// other, and the second has one-digit months, days, hours, minutes and
// seconds, another weekday and the other half of the day.
const platform::LocalTime kProbes[] = {At(2003, 11, 22, 13, 44, 55), At(2004, 1, 5, 9, 7, 8)};

// The times the learned form and sum are checked on: the probes, midnight,
// the last second of a day, days before 1899-12-30 (whose time counts away
// from zero), the ends of the years read, and times at which the sums round
// differently from each other. Near 1899-12-30 the days take few bits, so
// there the sums differ most: on 1899-12-28 at 13:44:55 and 01:17:42, and at
// 13:10:03 and 19:10:03 one day either side, each of the three gives
// another double.
const platform::LocalTime kChecks[] = {
    At(2003, 11, 22, 13, 44, 55), At(2004, 1, 5, 9, 7, 8),     At(2004, 1, 5, 0, 0, 0),
    At(2003, 11, 22, 0, 1, 1),    At(2024, 2, 29, 0, 1, 4),    At(2000, 12, 31, 23, 59, 59),
    At(1899, 12, 29, 6, 0, 0),    At(1899, 12, 29, 0, 1, 4),   At(1899, 12, 30, 0, 1, 1),
    At(1601, 1, 1, 0, 1, 2),      At(1601, 1, 1, 0, 0, 0),     At(9999, 12, 31, 23, 59, 59),
    At(1899, 12, 28, 13, 44, 55), At(1899, 12, 28, 1, 17, 42), At(1899, 12, 29, 13, 10, 3),
    At(1899, 12, 31, 19, 10, 3),
};

// The double nearest to seconds / 86400, or nothing when that quotient lies
// within 1/256 of a unit in the last place of the middle between two
// doubles. A platform that adds the time of day in x87 extended precision
// (64 significant bits, rounded once to a double at the end) comes within
// 1/1000 of a unit of the exact value, so it gives this double wherever it
// is given, and may round either way where it is not.
std::optional<double> NearestDays(long long seconds) {
  constexpr unsigned long long kDay = 86400;
  if (seconds == 0) return 0.0;
  const bool negative = seconds < 0;
  const unsigned long long magnitude =
      negative ? 0ULL - static_cast<unsigned long long>(seconds) : static_cast<unsigned long long>(seconds);
  // Binary long division until the quotient holds 61 significant bits: the
  // double's 53 and 8 below its last place.
  unsigned long long quotient = magnitude / kDay;
  unsigned long long remainder = magnitude % kDay;
  int exponent = 0;
  while (quotient < (1ULL << 60)) {
    remainder *= 2;
    quotient *= 2;
    if (remainder >= kDay) {
      remainder -= kDay;
      quotient += 1;
    }
    --exponent;
  }
  const unsigned long long below = quotient & 0xFF;
  if (below == 0x7F || below == 0x80) return std::nullopt;
  const unsigned long long significand = (quotient >> 8) + (below > 0x80 ? 1 : 0);
  const double value = std::ldexp(static_cast<double>(significand), exponent + 8);
  return negative ? -value : value;
}

int ValueOf(const platform::LocalTime& t, int field) {
  const int values[6] = {t.year, t.month, t.day, t.hour, t.minute, t.second};
  return values[field];
}

}  // namespace

// Learns the form of DateTimeText from the two probes, with their time or
// at midnight: the digit groups of the first probe give the order of the
// fields (each group's value belongs to one field only), and the second
// probe must come out in the same form with its own values.
bool TimeTextReader::Learn(const platform::TextPlatform& platform, bool withTime, Form& form) {
  const std::size_t fieldCount = withTime ? 6 : 3;
  form = Form{};
  for (int p = 0; p < 2; ++p) {
    platform::LocalTime probe = kProbes[p];
    if (!withTime) probe.hour = probe.minute = probe.second = 0;
    const std::string text = platform.DateTimeText(probe);

    std::size_t pos = 0;
    auto readSeparator = [&] {
      const std::size_t start = pos;
      while (pos < text.size() && !IsDigit(text[pos])) ++pos;
      return text.substr(start, pos - start);
    };
    std::string lead = readSeparator();
    std::vector<Field> fields;
    std::vector<std::string> after;
    while (pos < text.size()) {
      std::size_t digits = 0;
      int value = 0;
      while (pos < text.size() && IsDigit(text[pos])) {
        if (++digits > 4) return false;
        value = value * 10 + (text[pos++] - '0');
      }
      const std::size_t index = fields.size();
      if (index >= fieldCount) return false;
      if (p == 0) {
        int found = -1;
        for (std::size_t f = 0; f < fieldCount; ++f) {
          if (ValueOf(probe, static_cast<int>(f)) != value) continue;
          if (found >= 0) return false;  // a group that could be either field
          found = static_cast<int>(f);
        }
        if (found < 0) return false;  // a two-digit year, a 12-hour clock
        for (Field used : fields) {
          if (used == static_cast<Field>(found)) return false;
        }
        fields.push_back(static_cast<Field>(found));
      } else {
        const Field field = form.fields[index];
        if (ValueOf(probe, static_cast<int>(field)) != value) return false;
        fields.push_back(field);
      }
      if (fields.back() == Field::kYear && digits != 4) return false;
      after.push_back(readSeparator());
    }
    if (fields.size() != fieldCount) return false;
    if (p == 0) {
      // Names of months, days or halves of the day are not read here.
      for (char c : lead) {
        if (IsAsciiLetter(c)) return false;
      }
      for (const std::string& s : after) {
        for (char c : s) {
          if (IsAsciiLetter(c)) return false;
        }
      }
      form = Form{std::move(lead), std::move(fields), std::move(after)};
    } else if (lead != form.lead || after != form.after) {
      return false;  // texts that change with the date or the time of day
    }
  }
  return true;
}

TimeTextReader::TimeTextReader(const platform::TextPlatform& platform) {
  if (!Learn(platform, true, dateTime_)) return;
  if (!Learn(platform, false, dateOnly_)) dateOnly_ = Form{};

  for (Sum sum : {Sum::kSecondsOfDay, Sum::kHourMinuteSecond, Sum::kNearest}) {
    bool agrees = true;
    for (const platform::LocalTime& t : kChecks) {
      const std::string text = platform.DateTimeText(t);
      const Reading mine = ReadWith(sum, text);
      if (mine.tooNearToTell) continue;
      if (!mine.value) {
        // The probes' own form must be read; a midnight written in another
        // form is only left to the platform.
        if (t.hour != 0 || t.minute != 0 || t.second != 0) agrees = false;
        continue;
      }
      const std::optional<double> theirs = platform.TextToDate(text);
      if (!theirs || *theirs != *mine.value) agrees = false;
      if (!agrees) break;
    }
    if (agrees) {
      sum_ = sum;
      return;
    }
  }
}

bool TimeTextReader::Match(const Form& form, std::string_view text, int (&values)[6]) {
  if (form.fields.empty() || !text.starts_with(form.lead)) return false;
  for (int& v : values) v = 0;
  std::size_t pos = form.lead.size();
  for (std::size_t i = 0; i < form.fields.size(); ++i) {
    const bool year = form.fields[i] == Field::kYear;
    const std::size_t most = year ? 4 : 2;
    std::size_t digits = 0;
    int value = 0;
    while (pos < text.size() && IsDigit(text[pos]) && digits < most) {
      value = value * 10 + (text[pos++] - '0');
      ++digits;
    }
    if (digits == 0 || (year && digits != 4)) return false;
    // The text after a group starts with no digit, so a longer group fails
    // here (or at the end, after the last group).
    if (!text.substr(pos).starts_with(form.after[i])) return false;
    pos += form.after[i].size();
    values[static_cast<int>(form.fields[i])] = value;
  }
  return pos == text.size();
}

TimeTextReader::Reading TimeTextReader::ReadWith(Sum sum, std::string_view text) const {
  int v[6];
  if (!Match(dateTime_, text, v) && !Match(dateOnly_, text, v)) return {};
  const int year = v[0], month = v[1], day = v[2], hour = v[3], minute = v[4], second = v[5];
  if (year < 1601 || month < 1 || month > 12 || day < 1 || day > DaysInMonth(year, month)) {
    return {};
  }
  if (hour > 23 || minute > 59 || second > 59) return {};

  const long long wholeDays = DaysFrom1899(year, month, day);
  const int secondsOfDay = hour * 3600 + minute * 60 + second;
  const double days = static_cast<double>(wholeDays);
  // Before 1899-12-30 the time of day counts away from zero.
  const double sign = days < 0 ? -1.0 : 1.0;
  switch (sum) {
    case Sum::kSecondsOfDay:
      return {days + sign * (secondsOfDay / 86400.0)};
    case Sum::kHourMinuteSecond: {
      double value = days;
      value += sign * (hour / 24.0);
      value += sign * (minute / 1440.0);
      value += sign * (second / 86400.0);
      return {value};
    }
    case Sum::kNearest: {
      const long long seconds = wholeDays * 86400 + (wholeDays < 0 ? -secondsOfDay : secondsOfDay);
      const std::optional<double> value = NearestDays(seconds);
      return value ? Reading{value} : Reading{std::nullopt, true};
    }
    case Sum::kNone:
      break;
  }
  return {};
}

std::optional<double> TimeTextReader::Read(std::string_view text) const {
  if (sum_ == Sum::kNone) return std::nullopt;
  return ReadWith(sum_, text).value;
}

}  // namespace lumora
