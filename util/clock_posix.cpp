// Outside Windows: the system clock and the French regional separators.
#include <ctime>

#include "util/clock.h"

LocalDateTime SystemLocalNow() {
  timespec now{};
  clock_gettime(CLOCK_REALTIME, &now);
  tm local{};
  localtime_r(&now.tv_sec, &local);
  return {local.tm_year + 1900, local.tm_mon + 1, local.tm_mday, local.tm_hour,
          local.tm_min,        local.tm_sec,     static_cast<int>(now.tv_nsec / 1000000)};
}

char16_t DateSeparator() { return u'/'; }
char16_t TimeSeparator() { return u':'; }
char16_t DecimalSeparator() { return u','; }
