// Local wall-clock time and the user's regional separators, behind seams that tests
// can set.
#pragma once
#include <cstdint>
#include <functional>

struct LocalDateTime {
  int Year = 1899, Month = 12, Day = 30;  // the zero time stamp lies at that midnight
  int Hour = 0, Minute = 0, Second = 0, Millisecond = 0;
  friend bool operator==(const LocalDateTime&, const LocalDateTime&) = default;
};

// The current local time, from the system clock or from the clock a test has set.
LocalDateTime LocalNow();
using ClockFunction = std::function<LocalDateTime()>;
// Replaces the clock (an empty function restores the system clock); returns the old one.
ClockFunction SetClock(ClockFunction clock);

// Milliseconds since the zero time stamp (30/12/1899 00:00:00.000), for differences.
std::int64_t MillisecondsSinceZero(const LocalDateTime& t);

// The user's regional separators: the system's on Windows, the French ones elsewhere.
char16_t DateSeparator();
char16_t TimeSeparator();
char16_t DecimalSeparator();
