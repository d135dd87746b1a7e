// The rules of the input dialog (util/FSInput_win.h): what each type letter accepts, the
// bounds and the pattern, the text that replaces a refused input, and the dates that the
// calendar shows and writes. The window only moves texts between these and its controls.
#pragma once
#include <optional>
#include <string>
#include <string_view>

// What a typed text must satisfy: its type letter, then the Perl-compatible pattern and
// the lower and upper bounds, each ignored when empty.
struct InputRules {
  char16_t DType = 0;
  std::u16string Min = {}, Max = {}, RegExp = {};
};

// "OK" pressed: the value to store when the text is accepted, otherwise the text to put
// back in the field.
struct InputVerdict {
  bool Accepted = false;
  std::u16string Text;
};

// Type letters: "D" a date, stored as "DD/MM/YY"; "d" the same or the empty text; "I" a
// whole number, "i" one without "-"; "N" a decimal number ("," or "."), "n" one without
// "-"; any other letter any text. A refused text gives way to defStr, or to the initial
// input when defStr is empty.
InputVerdict CheckInput(std::u16string_view typed, const InputRules& rules,
                        std::u16string_view defStr, std::u16string_view initialInput);

// "D" and "d": the types that offer the calendar.
bool IsDateType(char16_t dType);

struct CalendarDate {
  int Day = 0, Month = 0, Year = 0;
  friend bool operator==(const CalendarDate&, const CalendarDate&) = default;
};

// "DD/MM/YYYY" with the regional date separator.
std::u16string RegionalDateText(const CalendarDate& date);
// Today, as RegionalDateText writes it.
std::u16string TodayText();
// A day/month/year text with the regional date separator, as RegionalDateText writes it
// (a two-digit year is 20xx); nothing when it names no calendar day.
std::optional<CalendarDate> ReadRegionalDate(std::u16string_view text);
