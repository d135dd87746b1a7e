#include "util/utlDates.h"

#include <gtest/gtest.h>

TEST(DateIsValid, ShapesAndCalendarDays) {
  const std::pair<std::u16string, bool> cases[] = {
      {u"29/02/24", true},     {u"29/02/2000", true},    {u"29/02/2100", false},
      {u"29/02/23", false},    {u"31/04/2023", false},   {u"31/12/2023", true},
      {u"1/2/2023", false},    {u"01-02-2023", false},   {u"01/02/023", false},
      {u" 01/02/2023", false}, {u"01/02/2023 ", false},  {u"01/02/2023\n", false},
      {u"", false},            {u"00/01/2023", false},   {u"01/13/2023", false},
      {u"01/00/2023", false},  {u"01/01/0000", true},    {u"29/02/1900", false},
      {u"01/02/20234", false}, {u"٠١/٠٢/٢٠٢٣", false},
  };
  for (const auto& [text, valid] : cases)
    EXPECT_EQ(DateIsValid(text), valid) << testing::PrintToString(text);
}

TEST(MonthDays, LeapYearsAndMonthRange) {
  struct Case {
    int year, month, days;
  };
  const Case cases[] = {
      {2023, 1, 31}, {2023, 4, 30}, {2023, 2, 28}, {2024, 2, 29}, {1900, 2, 28}, {2000, 2, 29},
      {2100, 2, 28}, {2023, 12, 31}, {2023, 0, 0}, {2023, 13, 0}, {2023, -1, 0},
  };
  for (const auto& c : cases)
    EXPECT_EQ(MonthDays(c.year, c.month), c.days) << c.year << "-" << c.month;
}

TEST(DateSplit, OrderSeparatorAndCentury) {
  struct Case {
    std::u16string text, order;
    char16_t separator;
    int day, month, year;
  };
  const Case cases[] = {
      {u"12/05/2023", u"DMY", u'/', 12, 5, 2023}, {u"12/05/23", u"DMY", u'/', 12, 5, 2023},
      {u"/05/2023", u"DMY", u'/', 0, 5, 2023},    {u"12/05", u"DMY", u'/', 12, 5, 2000},
      {u"abc", u"DMY", u'/', 0, 0, 2000},         {u"", u"DMY", u'/', 0, 0, 2000},
      {u"2023-05-12", u"YMD", u'-', 12, 5, 2023}, {u"12/05/2023", u"DM", u'/', 12, 5, 2000},
      {u"12/05/99", u"DMY", u'/', 12, 5, 2099},   {u"12/05/1985", u"DMY", u'/', 12, 5, 1985},
  };
  for (const auto& c : cases) {
    int day = -1, month = -1, year = -1;
    DateSplit(c.text, day, month, year, c.order, c.separator);
    EXPECT_EQ(day, c.day) << testing::PrintToString(c.text);
    EXPECT_EQ(month, c.month) << testing::PrintToString(c.text);
    EXPECT_EQ(year, c.year) << testing::PrintToString(c.text);
  }
}

TEST(DateNorm, DayMonthYearWithLeadingZeros) {
  const std::pair<std::u16string, std::u16string> cases[] = {
      {u"5/3/23", u"05/03/2023"}, {u"05/03/2023", u"05/03/2023"},
      {u"", u""},                 {u"abc", u"00/00/2000"},
  };
  for (const auto& [text, normal] : cases) EXPECT_EQ(DateNorm(text, u"DMY", u'/'), normal);
  EXPECT_EQ(DateNorm(u"2023-3-5", u"YMD", u'-'), u"05/03/2023");
}

TEST(DateNormShort, TwoDigitYearsOfThisCenturyOnly) {
  const std::pair<std::u16string, std::u16string> cases[] = {
      {u"05/03/2023", u"05/03/23"}, {u"05/03/23", u"05/03/23"},     {u"05/03/2000", u"05/03/00"},
      {u"05/03/2099", u"05/03/99"}, {u"05/03/1985", u"05/03/1985"}, {u"05/03/2150", u"05/03/2150"},
      {u"", u""},
  };
  for (const auto& [text, normal] : cases) {
    EXPECT_EQ(DateNormShort(text, u"DMY", u'/'), normal) << testing::PrintToString(text);
    if (text.empty()) continue;
    int day = 0, month = 0, year = 0, readDay = 0, readMonth = 0, readYear = 0;
    DateSplit(text, day, month, year, u"DMY", u'/');
    DateSplit(normal, readDay, readMonth, readYear, u"DMY", u'/');
    EXPECT_EQ(readYear, year) << "the stored date reads back as the same year";
  }
}
