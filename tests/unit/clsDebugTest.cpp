#include "system/clsDebug.h"

#include <gtest/gtest.h>

#include "tests/support/fileLink.h"
#include "tests/support/scriptedDialogs.h"
#include "tests/support/tempDir.h"
#include "util/fileSystem.h"
#include "util/utlFiles.h"

namespace {
// Sets the clock for the test's lifetime.
class FixedClock {
public:
  explicit FixedClock(LocalDateTime t) : now_(t), previous_(SetClock([this] { return now_; })) {}
  ~FixedClock() { SetClock(previous_); }
  void Set(LocalDateTime t) { now_ = t; }

private:
  LocalDateTime now_;
  ClockFunction previous_;
};

std::string Stamp(const char* date, const char* time) {
  std::string d = date, t = time;
  for (auto& c : d) if (c == '/') c = static_cast<char>(DateSeparator());
  for (auto& c : t) if (c == ':') c = static_cast<char>(TimeSeparator());
  return "[" + d + " " + t + "]";
}

const LocalDateTime kSetUp{2024, 3, 5, 14, 7, 9, 250};
}  // namespace

TEST(PlDebug, OffJournalTouchesNothing) {
  TempDir tmp;
  const auto folder = tmp / u"Journaux";
  PlDebug off(false, folder);
  EXPECT_EQ(off.AddToJnl(u"Lancement Setup_Orvelin", false, true), 0);
  EXPECT_FALSE(fsys::IsDir(folder));
  EXPECT_EQ(off.JnlPath(), u"");
}

TEST(PlDebug, FileNamedAtSetUpAndLinesWrittenByteForByte) {
  TempDir tmp;
  const auto folder = (tmp / u"Brasmoor") + fsys::PathSep + u"Journaux";
  FixedClock clock(kSetUp);
  PlDebug journal(true, folder);
  EXPECT_TRUE(fsys::IsDir(folder)) << "the folder is created with its parents at set-up";
  const auto file = folder + fsys::PathSep + u"2024-03-05-140709.jnl";
  EXPECT_EQ(journal.JnlPath(), file);
  EXPECT_FALSE(fsys::IsFile(file)) << "the first line creates the file";

  clock.Set({2024, 3, 5, 14, 8, 0, 0});
  EXPECT_EQ(journal.AddToJnl(u"Lancement Setup_Orvelin", false, true), 0);
  EXPECT_EQ(journal.AddToJnl(u"Désinstallation d'Orvelin", true, false), 0);
  EXPECT_EQ(journal.AddToJnl(u"deux\r\nlignes", false, true), 0);
  EXPECT_EQ(ReadAll(file), Stamp("05/03/2024", "14:08:00") + " Lancement Setup_Orvelin\r\n" +
                               "\r\nD\xE9sinstallation d'Orvelin\r\n" +
                               Stamp("05/03/2024", "14:08:00") + " deux\r\nlignes\r\n");
}

TEST(PlDebug, SetJnlChoosesAFileEvenWhenOffAndSetModeStartsWriting) {
  TempDir tmp;
  FixedClock clock(kSetUp);
  PlDebug journal(false, u"");
  clock.Set({2025, 12, 31, 23, 59, 58, 0});
  journal.SetJnl(tmp / u"J");
  EXPECT_TRUE(fsys::IsDir(tmp / u"J"));
  const auto file = (tmp / u"J") + fsys::PathSep + u"2025-12-31-235958.jnl";
  EXPECT_EQ(journal.JnlPath(), file);
  EXPECT_EQ(journal.AddToJnl(u"x", false, false), 0);
  EXPECT_FALSE(fsys::IsFile(file));
  journal.SetMode(true);
  EXPECT_EQ(journal.AddToJnl(u"x", false, false), 0);
  EXPECT_EQ(ReadAll(file), "x\r\n");
}

TEST(PlDebug, SameSecondContinuesTheSameFile) {
  TempDir tmp;
  FixedClock clock(kSetUp);
  PlDebug first(true, tmp.Path());
  first.AddToJnl(u"a", false, false);
  PlDebug second(true, tmp.Path());
  second.AddToJnl(u"b", false, false);
  EXPECT_EQ(first.JnlPath(), second.JnlPath());
  EXPECT_EQ(ReadAll(first.JnlPath()), "a\r\nb\r\n");
}

TEST(PlDebug, FailedWriteAsksAndReturnsOneWhenDeclined) {
  TempDir tmp;
  FixedClock clock(kSetUp);
  PlDebug journal(true, tmp / u"J");
  DelDir(tmp / u"J");  // the folder disappears, as when the uninstall removes it
  ScriptedDialogs dialogs;
  dialogs.Answer(MsgButton::No);
  EXPECT_EQ(journal.AddToJnl(u"Sortie de FAUninstall", false, true), 1);
  EXPECT_EQ(dialogs.Messages().size(), 1u);

  PlDebug noFile(true, u"");  // switched on without a folder: every write fails
  dialogs.Answer(MsgButton::No);
  EXPECT_EQ(noFile.AddToJnl(u"x", false, true), 1);
}

// A link planted where the journal file goes: the line is refused with the retry prompt
// and the file that the link names stays as it was.
TEST(PlDebug, ALinkInPlaceOfTheJournalIsNeverWrittenThrough) {
  TempDir tmp;
  FixedClock clock(kSetUp);
  WriteAll(tmp / u"precieux.txt", "intact");
  PlDebug journal(true, tmp / u"Journaux");
  ASSERT_TRUE(MakeLink(journal.JnlPath(), tmp / u"precieux.txt"));
  ScriptedDialogs dialogs;
  dialogs.Answer(MsgButton::No);

  EXPECT_EQ(journal.AddToJnl(u"Lancement Setup_Orvelin", false, true), 1);
  ASSERT_EQ(dialogs.Messages().size(), 1u);
  EXPECT_NE(dialogs.Messages()[0].Text.find(u"lien symbolique"), std::u16string::npos);
  EXPECT_EQ(ReadAll(tmp / u"precieux.txt"), "intact");
}
