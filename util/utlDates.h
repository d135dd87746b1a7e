// Dates typed as day/month/year texts: splitting, validation, normalisation.
#pragma once
#include <string>
#include <string_view>

// Day, month and year of a text in the given order ("DMY": the field number of each letter)
// and separator; a missing or non-numeric field reads 0, a year below 100 has 2000 added.
void DateSplit(std::u16string_view text, int& day, int& month, int& year,
               std::u16string_view order, char16_t separator);
// "DD/MM/YY" or "DD/MM/YYYY" that names a real calendar day.
bool DateIsValid(std::u16string_view text);
// Days of the month, leap years included; 0 for a month outside 1..12.
int MonthDays(int year, int month);
// "" for ""; otherwise the date as "DD/MM/YYYY".
std::u16string DateNorm(std::u16string_view text, std::u16string_view order, char16_t separator);
// "" for ""; otherwise the date as "DD/MM/YY" for years 2000 to 2099, "DD/MM/YYYY" for
// the others, so that it reads back as the same date.
std::u16string DateNormShort(std::u16string_view text, std::u16string_view order,
                             char16_t separator);
