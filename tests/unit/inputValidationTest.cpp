#include "util/inputValidation.h"

#include <gtest/gtest.h>

#include "util/clock.h"

namespace {
struct Case {
  char16_t dType;
  std::u16string typed;
  bool accepted;
  std::u16string stored = {};  // when accepted; the typed text when left empty
};

// The type letters, one case per typed text.
const Case kTypeTable[] = {
    {u'I', u"+12", true}, {u'I', u"-12", true}, {u'I', u"007", true},
    {u'I', u"1.5", false}, {u'I', u"", false}, {u'I', u"12a", false},
    {u'i', u"+12", true}, {u'i', u"12", true}, {u'i', u"-12", false},
    {u'N', u"1.5", true}, {u'N', u"1,5", true}, {u'N', u",5", true}, {u'N', u"-2,5", true},
    {u'N', u"5,", false}, {u'N', u"", false}, {u'N', u"1.000,5", false}, {u'N', u"abc", false},
    {u'n', u"+1,5", true}, {u'n', u"-1,5", false},
    {u'D', u"05/03/2023", true, u"05/03/23"}, {u'D', u"05/03/23", true},
    {u'D', u"29/02/2024", true, u"29/02/24"}, {u'D', u"15/06/1985", true, u"15/06/1985"},
    {u'D', u"31/02/2023", false}, {u'D', u"", false}, {u'D', u"5/3/2023", false},
    {u'D', u"05-03-2023", false},
    {u'd', u"", true}, {u'd', u"05/03/2023", true, u"05/03/23"}, {u'd', u"31/02/2023", false},
    {u'T', u"n'importe quoi", true}, {u'T', u"", true}, {u'A', u" ", true}, {0, u"texte", true},
};

TEST(CheckInput, EachTypeLetterAcceptsAndStoresItsTexts) {
  for (const Case& c : kTypeTable) {
    SCOPED_TRACE(testing::Message() << "type " << static_cast<char>(c.dType) << ", text "
                                    << testing::PrintToString(c.typed));
    const InputVerdict verdict = CheckInput(c.typed, {c.dType}, u"", u"initial");
    EXPECT_EQ(verdict.Accepted, c.accepted);
    const std::u16string expected = c.accepted ? (c.stored.empty() ? c.typed : c.stored)
                                               : u"initial";
    EXPECT_EQ(verdict.Text, expected);
  }
}

TEST(CheckInput, PatternAndBoundsRefuseWhatTheTypeAccepts) {
  struct Bounded {
    InputRules rules;
    std::u16string typed;
    bool accepted;
  };
  const Bounded cases[] = {
      {{u'T', u"", u"", u"^[A-Z]{3}$"}, u"ABC", true},
      {{u'T', u"", u"", u"^[A-Z]{3}$"}, u"ABCD", false},
      {{u'T', u"", u"", u"^.*$"}, u"", false},  // the empty text matches no pattern
      {{u'N', u"1", u"10"}, u"1", true},
      {{u'N', u"1", u"10"}, u"10,0", true},
      {{u'N', u"1", u"10"}, u"0,5", false},
      {{u'N', u"1", u"10"}, u"10.5", false},
      {{u'I', u"-5"}, u"-6", false},
      {{u'I', u"", u"-5"}, u"-6", true},
      {{u'D', u"01/01/2023", u"31/12/2023"}, u"31/12/2023", true},
      {{u'D', u"01/01/2023", u"31/12/2023"}, u"31/12/2022", false},
      {{u'D', u"01/01/2023", u"31/12/2023"}, u"01/01/2024", false},
      {{u'd', u"01/01/2023"}, u"31/12/2022", false},
      {{u'A', u"b"}, u"a", false},
      {{u'A', u"b"}, u"c", true},
      {{u'T', u"b", u"a"}, u"z", true},  // free text of another letter has no order
  };
  for (const Bounded& c : cases) {
    SCOPED_TRACE(testing::PrintToString(c.typed));
    EXPECT_EQ(CheckInput(c.typed, c.rules, u"", u"").Accepted, c.accepted);
  }
}

TEST(CheckInput, ARefusedTextGivesWayToTheDefaultElseTheInitialInput) {
  EXPECT_EQ(CheckInput(u"abc", {u'N'}, u"", u"3").Text, u"3");
  EXPECT_EQ(CheckInput(u"abc", {u'N'}, u"7", u"3").Text, u"7");
  EXPECT_EQ(CheckInput(u"31/02/2023", {u'D'}, u"14/07/2023", u"").Text, u"14/07/2023");
  // Not the typed text, even when both are empty.
  EXPECT_EQ(CheckInput(u"", {u'N'}, u"", u"").Text, u"");
  EXPECT_FALSE(CheckInput(u"", {u'N'}, u"", u"").Accepted);
}

TEST(InputDates, TheDateTypesAreTheTwoLettersD) {
  EXPECT_TRUE(IsDateType(u'D'));
  EXPECT_TRUE(IsDateType(u'd'));
  for (char16_t other : {u'N', u'T', u'\0', u'é'}) EXPECT_FALSE(IsDateType(other));
}

// Natively the regional separator is the French "/".
TEST(InputDates, TodayAndThePickedDateAreWrittenInFull) {
  const ClockFunction previous = SetClock([] { return LocalDateTime{2024, 2, 9, 23, 59, 59}; });
  EXPECT_EQ(TodayText(), u"09/02/2024");
  SetClock(previous);
  EXPECT_EQ(RegionalDateText({5, 3, 2023}), u"05/03/2023");
  EXPECT_EQ(RegionalDateText({31, 12, 1985}), u"31/12/1985");
}

TEST(InputDates, TheCalendarReadsRealDaysOnly) {
  const std::pair<std::u16string, std::optional<CalendarDate>> cases[] = {
      {u"05/03/2023", CalendarDate{5, 3, 2023}},
      {u"05/03/23", CalendarDate{5, 3, 2023}},
      {u"29/02/2024", CalendarDate{29, 2, 2024}},
      {u"29/02/2023", std::nullopt},
      {u"00/03/2023", std::nullopt},
      {u"05/13/2023", std::nullopt},
      {u"", std::nullopt},
      {u"abc", std::nullopt},
  };
  for (const auto& [text, date] : cases)
    EXPECT_EQ(ReadRegionalDate(text), date) << testing::PrintToString(text);
}
}  // namespace
