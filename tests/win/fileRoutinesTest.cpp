// The file routines on paths Windows refuses: a drive that does not exist and names with
// forbidden characters answer by their result codes or the retry prompt, never by an
// unhandled error.
#include <windows.h>

#include <gtest/gtest.h>

#include "tests/support/scriptedDialogs.h"
#include "tests/support/tempDir.h"
#include "util/fileSystem.h"
#include "util/utlFiles.h"

namespace {
// A drive letter that names no drive here.
std::u16string MissingDrive() {
  const DWORD drives = GetLogicalDrives();
  for (char16_t letter = u'Q'; letter <= u'Y'; ++letter)
    if (!(drives & (1u << (letter - u'A')))) return std::u16string(1, letter) + u":";
  return u"";
}
}  // namespace

TEST(FileRoutines, RefusedPathsAnswerByResultCodesOrThePrompt) {
  const std::u16string drive = MissingDrive();
  ASSERT_FALSE(drive.empty());
  TempDir tmp;
  const std::u16string badName = tmp / u"nom<interdit>?.txt";
  ScriptedDialogs dialogs;

  ForceDirs(drive + u"\\Brasmoor\\Journaux");
  EXPECT_FALSE(fsys::IsDir(drive + u"\\Brasmoor"));
  EXPECT_EQ(DelFile(drive + u"\\Brasmoor.lnk"), -1);
  EXPECT_EQ(DelDir(drive + u"\\Brasmoor"), 1);
  EXPECT_EQ(DelFile(badName), -1);
  EXPECT_TRUE(dialogs.Messages().empty()) << "creation and deletion never ask";

  for (const auto& target : {drive + u"\\Prog.zip", badName}) {
    dialogs.Answer(MsgButton::No);
    EXPECT_EQ(WriteBytesToFile(target, {1, 2}), 1);
    dialogs.Answer(MsgButton::No);
    EXPECT_EQ(AppendToFile(target, u"ligne\r\n"), 1);
  }
  ASSERT_EQ(dialogs.Messages().size(), 4u);
  for (const auto& prompt : dialogs.Messages()) EXPECT_EQ(prompt.Title, u"Erreur");
}
