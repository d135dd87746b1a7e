#include <gtest/gtest.h>

#include "system/clsDebug.h"
#include "tests/support/scriptedDialogs.h"

namespace {
class SettableClock {
public:
  SettableClock() : previous_(SetClock([this] { return now_; })) {}
  ~SettableClock() { SetClock(previous_); }
  LocalDateTime now_{2024, 3, 5, 10, 0, 0, 0};

private:
  ClockFunction previous_;
};

LocalDateTime Later(LocalDateTime t, std::int64_t ms) {
  // Within the same day, for the cases below.
  std::int64_t of = ((t.Hour * 60LL + t.Minute) * 60 + t.Second) * 1000 + t.Millisecond + ms;
  t.Day += static_cast<int>(of / 86'400'000);
  of %= 86'400'000;
  t.Hour = static_cast<int>(of / 3'600'000);
  t.Minute = static_cast<int>(of / 60'000 % 60);
  t.Second = static_cast<int>(of / 1000 % 60);
  t.Millisecond = static_cast<int>(of % 1000);
  return t;
}
}  // namespace

TEST(Chronometers, ElapsedTimeAsMillisecondsAndText) {
  struct Case {
    std::int64_t elapsed;
    std::int32_t ms;
    std::u16string text;
  };
  const Case cases[] = {
      {3'930'250, 3'930'250, u"1 h 5 mn 30.250 s"},
      {2'500, 2'500, u"2.500 s"},
      {0, 0, u"0.000 s"},
      {3'600'000, 3'600'000, u"1 h"},
      {65'000, 65'000, u"1 mn"},
      {65'001, 65'001, u"1 mn 5.001 s"},
      {25 * 3'600'000LL, 3'600'000, u"1 h"},  // modulo a day
  };
  for (const auto& c : cases) {
    SettableClock clock;
    PlDebug journal(false, u"");
    EXPECT_TRUE(journal.LaunchChrono(2));
    clock.now_ = Later(clock.now_, c.elapsed);
    std::int32_t ms = -1;
    journal.GetChrono(2, ms);
    EXPECT_EQ(ms, c.ms) << c.elapsed;
    EXPECT_EQ(journal.GetChrono(2), c.text) << c.elapsed;
  }
}

TEST(Chronometers, ClockSetBackCountsWithoutSign) {
  SettableClock clock;
  PlDebug journal(false, u"");
  clock.now_.Second = 30;
  journal.LaunchChrono(1);
  clock.now_.Second = 20;
  EXPECT_EQ(journal.GetChrono(1), u"10.000 s");
}

TEST(Chronometers, UnstartedSlotsReadTheTimeOfDayAndNumbersBeyondReadNothing) {
  SettableClock clock;
  PlDebug journal(false, u"");
  journal.LaunchChrono(3);  // slots 1 and 2 hold the zero time stamp
  clock.now_ = {2024, 3, 5, 10, 15, 0, 0};
  std::int32_t ms = -1;
  journal.GetChrono(1, ms);
  EXPECT_EQ(ms, (10 * 60 + 15) * 60'000);
  EXPECT_EQ(journal.GetChrono(1), u"10 h 15 mn");
  for (const std::int32_t beyond : {4, 0, -1}) {
    journal.GetChrono(beyond, ms);
    EXPECT_EQ(ms, 0);
    EXPECT_EQ(journal.GetChrono(beyond), u"");
  }
}

TEST(DbgLevel, ConfirmedWholeNumberCancelledKeepsTheLevel) {
  ScriptedDialogs dialogs;
  dialogs.AnswerInput({true, u"2", false});
  EXPECT_EQ(PlDebug::DbgLevel(3), 2);
  dialogs.AnswerInput({true, u"2,5", false});  // a decimal is no whole number
  EXPECT_EQ(PlDebug::DbgLevel(3), 0);
  dialogs.AnswerInput({false, u"", false});
  EXPECT_EQ(PlDebug::DbgLevel(3), 3);
  ASSERT_EQ(dialogs.Inputs().size(), 3u);
  const auto& prompt = dialogs.Inputs()[0];
  EXPECT_EQ(prompt.Lib, u"Niveau de débogage :");
  EXPECT_EQ(prompt.Input, u"3");
  EXPECT_EQ(prompt.DType, u'N');
  EXPECT_EQ(prompt.Check, u"");
  EXPECT_FALSE(prompt.Checked);
  EXPECT_EQ(prompt.DefStr, u"");
  EXPECT_TRUE(prompt.Annul);
}

TEST(DiagnosticTexts, Formats) {
  EXPECT_EQ(PlDebug::CoordInfos(1.25f, 2), u"1.25");
  EXPECT_EQ(PlDebug::PointInfos({1.5f, 2.0f}, 1), u"X=1.5 ; Y=2.0");
  EXPECT_EQ(PlDebug::RectInfos({1, 2, 3, 4}, 0), u"Top=2 ; Left=1 ; Bottom=4 ; Right=3");
  EXPECT_EQ(PlDebug::MemPcInfos(0.25f, 1), u"25.0 % mem.");
  EXPECT_EQ(PlDebug::LStyleInfos({0xFFFF0000u, 1.5f}), u"Coul.=255,0,0 ; Ep.=1.5");
  TextStyle text;
  text.Color = 0xFF00800Au;
  text.FName = u"Segoe UI";
  text.Size = 12;
  EXPECT_EQ(PlDebug::TStyleInfos(text), u"Coul.=0,128,10 ; Pol.=Segoe UI/12");
  EXPECT_EQ(PlDebug::CoordInfos(1.0f, -1), u"") << "a negative number of decimals formats nothing";
}
