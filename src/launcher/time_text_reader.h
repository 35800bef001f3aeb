// A fast reader of the time texts the program writes itself. The launcher
// list's time cells come from TextPlatform::DateTimeText, and converting them
// back through the locale (TextPlatform::TextToDate) is slow on some
// systems. The reader learns the written form once, from texts the platform
// formats for a few known times, and then reads texts of exactly that form
// with plain arithmetic, giving the very double the platform's conversion
// gives. Every other text is left to the platform.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/text_platform.h"

namespace lumora {

class TimeTextReader {
 public:
  // Learns the form from the platform's own texts and checks it against the
  // platform's conversion. A form it cannot learn (a 12-hour clock, month or
  // day names, a two-digit year, a field it cannot tell apart) or a
  // conversion whose arithmetic it cannot reproduce leaves it without one.
  explicit TimeTextReader(const platform::TextPlatform& platform);

  // Whether a form was learned; without one Read never answers.
  bool HasForm() const { return sum_ != Sum::kNone; }

  // The OLE date of a text of the learned form (the date and time, or the
  // date alone as the program writes it at midnight) with valid fields in
  // the years 1601-9999: the same value the platform's conversion gives.
  // Nothing for any other text, nor for one whose value lies so near the
  // middle between two doubles that the learned sum cannot tell which one
  // the platform rounds to; the caller then asks the platform.
  std::optional<double> Read(std::string_view text) const;

 private:
  enum class Field : unsigned char { kYear, kMonth, kDay, kHour, kMinute, kSecond };

  // How the platform adds the time of day to the days, to the last bit.
  enum class Sum : unsigned char {
    kNone,
    kSecondsOfDay,       // days + seconds of the day / 86400
    kHourMinuteSecond,   // ((days + hours / 24) + minutes / 1440) + seconds / 86400
    kNearest,            // the double nearest to the exact value, as a platform
                         // adding in x87 extended precision gives it
  };

  // A written form: the text before the first digit group, then each
  // group's field and the text after it up to the next group (after the
  // last one: up to the end).
  struct Form {
    std::string lead;
    std::vector<Field> fields;
    std::vector<std::string> after;
  };

  static bool Learn(const platform::TextPlatform& platform, bool withTime, Form& form);
  // What ReadWith makes of a text: a value, a text of another form (or with
  // fields out of range), or a text of the form whose value lies too near the
  // middle between two doubles for the sum to tell how the platform rounds.
  struct Reading {
    std::optional<double> value;
    bool tooNearToTell = false;
  };

  static bool Match(const Form& form, std::string_view text, int (&values)[6]);
  Reading ReadWith(Sum sum, std::string_view text) const;

  Form dateTime_;
  Form dateOnly_;  // empty when the platform writes midnight in full
  Sum sum_ = Sum::kNone;
};

}  // namespace lumora
