#include "util/utlDates.h"

#include <cstdio>

#include "util/utlStrings.h"

namespace {
// Field number (from 1) of a component letter in the order text; 0 when it is absent.
int FieldOf(std::u16string_view order, char16_t letter) {
  const auto at = order.find(letter);
  return at == std::u16string_view::npos ? 0 : static_cast<int>(at) + 1;
}

// "DD/MM/YYYY", or "DD/MM/YY" when shortYear and the year lies in 2000..2099. Other years
// keep four digits so that the short text still reads back as the same date.
std::u16string FormatDate(std::u16string_view text, std::u16string_view order, char16_t separator,
                          bool shortYear) {
  if (text.empty()) return u"";
  int day = 0, month = 0, year = 0;
  DateSplit(text, day, month, year, order, separator);
  char buffer[48];
  const int length =
      shortYear && year >= 2000 && year <= 2099
          ? std::snprintf(buffer, sizeof buffer, "%.2d/%.2d/%.2d", day, month, year - 2000)
          : std::snprintf(buffer, sizeof buffer, "%.2d/%.2d/%.4d", day, month, year);
  return std::u16string(buffer, buffer + length);
}
}  // namespace

void DateSplit(std::u16string_view text, int& day, int& month, int& year, std::u16string_view order,
               char16_t separator) {
  // One separator in front keeps an empty first field: splitting drops one leading separator.
  std::u16string fields(1, separator);
  fields += text;
  day = StrToIntOr0(GetField(fields, FieldOf(order, u'D'), separator));
  month = StrToIntOr0(GetField(fields, FieldOf(order, u'M'), separator));
  year = StrToIntOr0(GetField(fields, FieldOf(order, u'Y'), separator));
  if (year < 100) year += 2000;
}

bool DateIsValid(std::u16string_view text) {
  if (!MatchesPattern(text, u"^\\d{2}/\\d{2}/\\d{2}$") &&
      !MatchesPattern(text, u"^\\d{2}/\\d{2}/\\d{4}$"))
    return false;
  int day = 0, month = 0, year = 0;
  DateSplit(text, day, month, year, u"DMY", u'/');
  return day >= 1 && month >= 1 && month <= 12 && day <= MonthDays(year, month);
}

int MonthDays(int year, int month) {
  static constexpr int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  if (month < 1 || month > 12) return 0;
  const bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
  return month == 2 && leap ? 29 : kDays[month - 1];
}

std::u16string DateNorm(std::u16string_view text, std::u16string_view order, char16_t separator) {
  return FormatDate(text, order, separator, false);
}

std::u16string DateNormShort(std::u16string_view text, std::u16string_view order,
                             char16_t separator) {
  return FormatDate(text, order, separator, true);
}
