// Dates typed as day/month/year texts: splitting, validation, normalisation.
#pragma once
#include <string>
#include <string_view>

void DateSplit(std::u16string_view text, int& day, int& month, int& year,
               std::u16string_view order, char16_t separator);
bool DateIsValid(std::u16string_view text);
int MonthDays(int year, int month);
std::u16string DateNorm(std::u16string_view text, std::u16string_view order, char16_t separator);
std::u16string DateNormShort(std::u16string_view text, std::u16string_view order,
                             char16_t separator);
