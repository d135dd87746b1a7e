// On Windows: the local time and the separators of the user's regional settings.
#include <windows.h>

#include "util/clock.h"

LocalDateTime SystemLocalNow() {
  SYSTEMTIME t;
  GetLocalTime(&t);
  return {t.wYear, t.wMonth, t.wDay, t.wHour, t.wMinute, t.wSecond, t.wMilliseconds};
}

namespace {
char16_t UserLocaleChar(LCTYPE item, char16_t fallback) {
  wchar_t buffer[8] = {};
  if (GetLocaleInfoW(LOCALE_USER_DEFAULT, item, buffer, 8) > 1) return static_cast<char16_t>(buffer[0]);
  return fallback;
}
}  // namespace

char16_t DateSeparator() { return UserLocaleChar(LOCALE_SDATE, u'/'); }
char16_t TimeSeparator() { return UserLocaleChar(LOCALE_STIME, u':'); }
char16_t DecimalSeparator() { return UserLocaleChar(LOCALE_SDECIMAL, u','); }
