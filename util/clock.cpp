#include "util/clock.h"

#include <utility>

LocalDateTime SystemLocalNow();  // the platform's clock

namespace {
ClockFunction& CurrentClock() {
  static ClockFunction clock;
  return clock;
}

// Days from 1970-01-01 to a civil date (proleptic Gregorian calendar).
std::int64_t DaysFromCivil(std::int64_t y, unsigned m, unsigned d) {
  y -= m <= 2;
  const std::int64_t era = (y >= 0 ? y : y - 399) / 400;
  const auto yoe = static_cast<unsigned>(y - era * 400);
  const unsigned doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
  const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  return era * 146097 + static_cast<std::int64_t>(doe) - 719468;
}
}  // namespace

LocalDateTime LocalNow() {
  const auto& clock = CurrentClock();
  return clock ? clock() : SystemLocalNow();
}

ClockFunction SetClock(ClockFunction clock) { return std::exchange(CurrentClock(), std::move(clock)); }

std::int64_t MillisecondsSinceZero(const LocalDateTime& t) {
  static const std::int64_t zeroDay = DaysFromCivil(1899, 12, 30);
  const std::int64_t days = DaysFromCivil(t.Year, static_cast<unsigned>(t.Month),
                                          static_cast<unsigned>(t.Day)) - zeroDay;
  return ((days * 24 + t.Hour) * 60 + t.Minute) * 60000LL + t.Second * 1000LL + t.Millisecond;
}
