#include "util/inputValidation.h"

#include <cstdio>

#include "util/clock.h"
#include "util/utlDates.h"
#include "util/utlStrings.h"

namespace {
// The type table: whether text is accepted; a date is rewritten in its stored form.
bool AcceptedByType(std::u16string& text, char16_t dType) {
  switch (dType) {
    case u'd':
      if (text.empty()) return true;
      [[fallthrough]];
    case u'D':
      if (!DateIsValid(text)) return false;
      text = DateNormShort(text, u"DMY", u'/');
      return true;
    case u'I': return StrIsInt(text, false);
    case u'i': return StrIsInt(text, true);
    case u'N': return StrIsNum(text, false);
    case u'n': return StrIsNum(text, true);
    default: return true;
  }
}
}  // namespace

InputVerdict CheckInput(std::u16string_view typed, const InputRules& rules,
                        std::u16string_view defStr, std::u16string_view initialInput) {
  std::u16string text(typed);
  const bool accepted =
      AcceptedByType(text, rules.DType) &&
      (rules.RegExp.empty() || MatchesPattern(text, rules.RegExp)) &&
      (rules.Min.empty() || CompareByType(text, rules.Min, rules.DType) >= 0) &&
      (rules.Max.empty() || CompareByType(text, rules.Max, rules.DType) <= 0);
  if (accepted) return {true, text};
  return {false, std::u16string(defStr.empty() ? initialInput : defStr)};
}

bool IsDateType(char16_t dType) { return StrUpper(std::u16string(1, dType)) == u"D"; }

std::u16string RegionalDateText(const CalendarDate& date) {
  char buffer[48];
  const int length = std::snprintf(buffer, sizeof buffer, "%.2d/%.2d/%.4d", date.Day,
                                   date.Month, date.Year);
  std::u16string text(buffer, buffer + length);
  for (char16_t& c : text)
    if (c == u'/') c = DateSeparator();
  return text;
}

std::u16string TodayText() {
  const LocalDateTime now = LocalNow();
  return RegionalDateText({now.Day, now.Month, now.Year});
}

std::optional<CalendarDate> ReadRegionalDate(std::u16string_view text) {
  CalendarDate date;
  DateSplit(text, date.Day, date.Month, date.Year, u"DMY", DateSeparator());
  if (date.Day < 1 || date.Day > MonthDays(date.Year, date.Month)) return std::nullopt;
  return date;
}
