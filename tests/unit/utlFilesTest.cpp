#include "util/utlFiles.h"

#include <gtest/gtest-spi.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <utility>

#include "tests/support/fileLink.h"
#include "tests/support/fileLock.h"
#include "tests/support/scriptedDialogs.h"
#include "tests/support/tempDir.h"
#include "util/fileSystem.h"

using fsys::PathSep;

namespace {
std::u16string Join(std::u16string a, const std::u16string& b) { return a + PathSep + b; }
}  // namespace

TEST(ForceDirs, CreatesEveryMissingLevelAndLeavesExistingFolders) {
  TempDir tmp;
  const auto deep = Join(Join(tmp / u"A", u"B é"), u"C");
  ForceDirs(deep);
  EXPECT_TRUE(fsys::IsDir(tmp / u"A"));
  EXPECT_TRUE(fsys::IsDir(Join(tmp / u"A", u"B é")));
  EXPECT_TRUE(fsys::IsDir(deep));

  WriteAll(Join(deep, u"f"), "x");
  ForceDirs(deep);  // an existing folder is left as it is
  EXPECT_TRUE(fsys::IsFile(Join(deep, u"f")));
  ForceDirs(deep + PathSep);  // a trailing separator is harmless
  EXPECT_TRUE(fsys::IsDir(deep));
}

TEST(ForceDirs, ImpossiblePathFailsSilently) {
  TempDir tmp;
  WriteAll(tmp / u"file", "x");
  ScriptedDialogs dialogs;
  ForceDirs(Join(Join(tmp / u"file", u"sub"), u"deeper"));  // below a file
  EXPECT_FALSE(fsys::IsDir(Join(tmp / u"file", u"sub")));
  EXPECT_TRUE(dialogs.Messages().empty());
}

TEST(DelFile, ResultCodes) {
  TempDir tmp;
  WriteAll(tmp / u"present", "x");
  fsys::MakeDir(tmp / u"folder");
  EXPECT_EQ(DelFile(tmp / u"missing"), -1);
  EXPECT_EQ(DelFile(tmp / u"folder"), -1);  // a folder is not a file
  EXPECT_TRUE(fsys::IsDir(tmp / u"folder"));
  EXPECT_EQ(DelFile(tmp / u"present"), 0);
  EXPECT_FALSE(fsys::IsFile(tmp / u"present"));
}

TEST(DelFile, FileHeldOpenByAnotherProgramAnswersOne) {
  if (!FileLock::Supported()) GTEST_SKIP() << "no mandatory file locks here";
  TempDir tmp;
  WriteAll(tmp / u"held", "x");
  {
    FileLock lock(tmp / u"held");
    EXPECT_EQ(DelFile(tmp / u"held"), 1);
  }
  EXPECT_EQ(DelFile(tmp / u"held"), 0);
}

TEST(DelDir, MissingFolderAnswersOne) {
  TempDir tmp;
  EXPECT_EQ(DelDir(tmp / u"missing"), 1);
  WriteAll(tmp / u"file", "x");
  EXPECT_EQ(DelDir(tmp / u"file"), 1);
  EXPECT_TRUE(fsys::IsFile(tmp / u"file"));
}

TEST(DelDir, DeletesTreeWithReadOnlyAndHiddenEntries) {
  TempDir tmp;
  const auto root = tmp / u"root";
  ForceDirs(Join(Join(root, u"sub"), u"deeper"));
  WriteAll(Join(root, u"plain.txt"), "a");
  WriteAll(Join(Join(root, u"sub"), u"readonly.txt"), "b");
  WriteAll(Join(Join(Join(root, u"sub"), u"deeper"), u"hidden"), "c");
  fsys::SetDosAttributes(Join(Join(root, u"sub"), u"readonly.txt"), 0x01);
  fsys::SetDosAttributes(Join(Join(Join(root, u"sub"), u"deeper"), u"hidden"), 0x02 | 0x04);
  fsys::SetDosAttributes(Join(root, u"sub"), 0x01);
  EXPECT_EQ(DelDir(root), 0);
  EXPECT_FALSE(fsys::IsDir(root));
}

TEST(DelDir, LockedFileStaysWithItsFoldersAndTheRestGoes) {
  if (!FileLock::Supported()) GTEST_SKIP() << "no mandatory file locks here";
  TempDir tmp;
  const auto root = tmp / u"root";
  ForceDirs(Join(root, u"busy"));
  ForceDirs(Join(root, u"free"));
  WriteAll(Join(Join(root, u"busy"), u"in-use.exe"), "x");
  WriteAll(Join(Join(root, u"free"), u"other"), "y");
  WriteAll(Join(root, u"top"), "z");
  {
    FileLock lock(Join(Join(root, u"busy"), u"in-use.exe"));
    EXPECT_EQ(DelDir(root), 0);
  }
  EXPECT_TRUE(fsys::IsFile(Join(Join(root, u"busy"), u"in-use.exe")));
  EXPECT_FALSE(fsys::IsDir(Join(root, u"free")));
  EXPECT_FALSE(fsys::IsFile(Join(root, u"top")));
}

TEST(DelDir, KeptFolderStaysWithItsContentAndParents) {
  TempDir tmp;
  const auto install = tmp / u"install";
  const auto projects = Join(Join(install, u"data"), u"Projets");
  ForceDirs(projects);
  ForceDirs(Join(install, u"Aide"));
  WriteAll(Join(projects, u"mine.prj"), "keep me");
  WriteAll(Join(install, u"Orvelin.exe"), "x");
  WriteAll(Join(Join(install, u"data"), u"other"), "y");

  EXPECT_EQ(DelDir(install, {projects + PathSep}), 0);  // spelled with a trailing separator
  EXPECT_EQ(ReadAll(Join(projects, u"mine.prj")), "keep me");
  EXPECT_FALSE(fsys::IsFile(Join(install, u"Orvelin.exe")));
  EXPECT_FALSE(fsys::IsDir(Join(install, u"Aide")));
  EXPECT_FALSE(fsys::IsFile(Join(Join(install, u"data"), u"other")));

  EXPECT_EQ(DelDir(install, {install}), 0);  // the folder itself kept: nothing goes
  EXPECT_TRUE(fsys::IsFile(Join(projects, u"mine.prj")));
}

TEST(DelDir, ProtectedFoldersAreNeverRemoved) {
  TempDir tmp;
  EXPECT_TRUE(fsys::IsProtectedFolder(std::u16string(1, PathSep)) ||
              fsys::IsProtectedFolder(u"C:\\"));
  // The user's home (POSIX) or profile (Windows) is protected whatever it holds.
#ifdef _WIN32
  const char* homeVariable = "USERPROFILE";
#else
  const char* homeVariable = "HOME";
#endif
  const char* home = std::getenv(homeVariable);
  ASSERT_NE(home, nullptr);
  const std::u16string homePath(home, home + std::char_traits<char>::length(home));
  EXPECT_TRUE(fsys::IsProtectedFolder(homePath));
  EXPECT_TRUE(fsys::IsProtectedFolder(homePath + PathSep));
  EXPECT_FALSE(fsys::IsProtectedFolder(tmp.Path()));

#ifndef _WIN32
  // A home folder that DelDir is asked to delete stays whole, and answers 0.
  const std::string savedHome = home;
  const std::string fakeHome = std::string(tmp.Path().begin(), tmp.Path().end());
  setenv("HOME", fakeHome.c_str(), 1);
  WriteAll(tmp / u"precious", "data");
  EXPECT_EQ(DelDir(tmp.Path()), 0);
  setenv("HOME", savedHome.c_str(), 1);
  EXPECT_EQ(ReadAll(tmp / u"precious"), "data");
#endif
}

TEST(DelDir, LinksAreRemovedWithoutTouchingWhatTheyName) {
  TempDir tmp;
  ForceDirs(tmp / u"outside");
  WriteAll(Join(tmp / u"outside", u"data"), "keep");
  WriteAll(tmp / u"target.txt", "keep too");
  ForceDirs(tmp / u"root");
  ASSERT_TRUE(MakeLink(Join(tmp / u"root", u"link"), tmp / u"outside"));
  ASSERT_TRUE(MakeLink(Join(tmp / u"root", u"file link.txt"), tmp / u"target.txt"));
  ASSERT_TRUE(MakeLink(tmp / u"rootlink", tmp / u"outside"));
  // Where the system sees a file through its link (Wine), no link can be removed without
  // removing what it names: they stay then, with the folders above them.
  const bool linksRemovable = fsys::IsLink(Join(tmp / u"root", u"file link.txt"));

  EXPECT_EQ(DelDir(tmp / u"root"), 0);
  EXPECT_EQ(DelDir(tmp / u"rootlink"), 0);
  EXPECT_EQ(ReadAll(Join(tmp / u"outside", u"data")), "keep");
  EXPECT_EQ(ReadAll(tmp / u"target.txt"), "keep too");
  if (linksRemovable) {
    EXPECT_FALSE(fsys::IsDir(tmp / u"root"));
    EXPECT_FALSE(fsys::IsLink(tmp / u"rootlink"));
  }
}

// Reparse-point tags as Windows reports them: only those that name another place are
// links; a cloud placeholder or a deduplicated file is an ordinary entry.
TEST(ReparseTags, OnlyPointsThatNameAnotherPlaceAreLinks) {
  const std::pair<std::uint32_t, bool> cases[] = {
      {0xA0000003, true},   // junction (mount point)
      {0xA000000C, true},   // symbolic link
      {0xA000001D, true},   // WSL symbolic link
      {0x00000000, true},   // not told: counted as a link
      {0x9000001A, false},  // cloud files placeholder
      {0x9000701A, false},  // cloud files placeholder, another provider
      {0x80000013, false},  // deduplicated file
      {0x8000001B, false},  // app execution alias
      {0x80000017, false},  // Windows overlay filter
  };
  for (const auto& [tag, link] : cases) EXPECT_EQ(fsys::IsLinkReparseTag(tag), link) << std::hex << tag;
}

TEST(WriteBytesToFile, WritesExactlyTheBytesReplacingAnyFile) {
  TempDir tmp;
  WriteAll(tmp / u"f.bin", "a much longer earlier content");
  EXPECT_EQ(WriteBytesToFile(tmp / u"f.bin", {0x50, 0x4B, 0x00, 0xFF}), 0);
  EXPECT_EQ(ReadAll(tmp / u"f.bin"), std::string("\x50\x4B\x00\xFF", 4));
  EXPECT_EQ(WriteBytesToFile(tmp / u"empty", {}), 0);
  EXPECT_TRUE(fsys::IsFile(tmp / u"empty"));
  EXPECT_EQ(ReadAll(tmp / u"empty"), "");
}

TEST(WriteBytesToFile, FailureAsksToRetryUntilTheUserSaysNo) {
  TempDir tmp;
  const auto target = Join(tmp / u"missing", u"Prog.zip");
  ScriptedDialogs dialogs;
  dialogs.Answer(MsgButton::Yes);
  dialogs.Answer(MsgButton::No);
  EXPECT_EQ(WriteBytesToFile(target, {1, 2, 3}), 1);
  ASSERT_EQ(dialogs.Messages().size(), 2u);
  const auto& prompt = dialogs.Messages()[0];
  EXPECT_EQ(prompt.Title, u"Erreur");
  EXPECT_EQ(prompt.Kind, MsgKind::Error);
  EXPECT_EQ(prompt.Buttons, (std::vector<MsgButton>{MsgButton::Yes, MsgButton::No}));
  EXPECT_EQ(prompt.Default, MsgButton::Yes);
  EXPECT_NE(prompt.Text.find(target), std::u16string::npos) << "the error names the file";
  const std::u16string tail = u"\r\n\r\nRéessayer ?";
  ASSERT_GT(prompt.Text.size(), tail.size());
  EXPECT_EQ(prompt.Text.substr(prompt.Text.size() - tail.size()), tail);
  EXPECT_FALSE(fsys::IsFile(target));
}

TEST(WriteBytesToFile, RetryAfterTheCauseIsMendedSucceeds) {
  TempDir tmp;
  const auto folder = tmp / u"later";
  ScriptedDialogs dialogs;
  dialogs.OnMessage = [&](const MessageRequest&) { fsys::MakeDir(folder); };
  dialogs.Answer(MsgButton::Yes);
  EXPECT_EQ(WriteBytesToFile(Join(folder, u"f"), {7}), 0);
  EXPECT_EQ(dialogs.Messages().size(), 1u);
  EXPECT_EQ(ReadAll(Join(folder, u"f")), "\x07");
}

TEST(WriteBytesToFile, UnansweredPromptRetriesLikeEnter) {
  // Any answer but No retries: a box closed without an answer tries again.
  TempDir tmp;
  const auto folder = tmp / u"later";
  ScriptedDialogs dialogs;
  dialogs.Answer(MsgButton::None);
  dialogs.Answer(MsgButton::None);
  dialogs.OnMessage = [&](const MessageRequest&) {
    if (dialogs.Messages().size() == 2) fsys::MakeDir(folder);
  };
  EXPECT_EQ(WriteBytesToFile(Join(folder, u"f"), {7}), 0);
  EXPECT_EQ(dialogs.Messages().size(), 2u);
}

// A prompt that nobody could see answers No: the loop ends instead of retrying at once,
// for ever.
TEST(WriteBytesToFile, APromptThatCannotBeShownEndsTheRetryLoop) {
  TempDir tmp;
  ScriptedDialogs dialogs;
  dialogs.FailToShow(u"Boîte de message non affichée.");
  EXPECT_EQ(WriteBytesToFile(Join(tmp / u"missing", u"Prog.zip"), {1}), 1);
  dialogs.FailToShow(u"Boîte de message non affichée.");
  EXPECT_EQ(AppendToFile(Join(tmp / u"missing", u"j.txt"), u"x"), 1);
  EXPECT_EQ(dialogs.Messages().size(), 2u);
}

// The test double itself: a prompt beyond its script fails the test, named, and answers
// as if closed, so that the loop ends.
TEST(WriteBytesToFile, APromptBeyondTheScriptFailsTheTestAndEndsTheLoop) {
  TempDir tmp;
  ScriptedDialogs dialogs;
  EXPECT_NONFATAL_FAILURE(EXPECT_EQ(AppendToFile(Join(tmp / u"missing", u"j.txt"), u"x"), 1),
                          "no answer left for message box 1 \"Erreur\"");
  EXPECT_EQ(dialogs.Messages().size(), 1u);
}

TEST(AppendToFile, CreatesThenAppendsInTheAnsiCodePage) {
  TempDir tmp;
  const auto file = tmp / u"j.txt";
  EXPECT_EQ(AppendToFile(file, u"Désinstallation\r\n"), 0);
  EXPECT_EQ(AppendToFile(file, u"€"), 0);
  EXPECT_EQ(ReadAll(file), "D\xE9sinstallation\r\n\x80");
}

TEST(AppendToFile, MissingFolderPromptsAndNoCreatesNothing) {
  TempDir tmp;
  ScriptedDialogs dialogs;
  dialogs.Answer(MsgButton::No);
  EXPECT_EQ(AppendToFile(Join(tmp / u"nowhere", u"j.txt"), u"x"), 1);
  EXPECT_EQ(dialogs.Messages().size(), 1u);
  EXPECT_FALSE(fsys::IsDir(tmp / u"nowhere"));
}

TEST(AppendToFile, LockedFilePromptsForRetry) {
  if (!FileLock::Supported()) GTEST_SKIP() << "no mandatory file locks here";
  TempDir tmp;
  WriteAll(tmp / u"held", "a");
  ScriptedDialogs dialogs;
  dialogs.Answer(MsgButton::No);
  {
    FileLock lock(tmp / u"held");
    EXPECT_EQ(AppendToFile(tmp / u"held", u"b"), 1);
  }
  EXPECT_EQ(ReadAll(tmp / u"held"), "a");
}
