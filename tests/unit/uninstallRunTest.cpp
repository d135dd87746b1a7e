#include "install/uninstallRun.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "shell/defGlVar.h"
#include "tests/support/fileLink.h"
#include "tests/support/fileLock.h"
#include "tests/support/installerFixture.h"
#include "util/fileSystem.h"
#include "util/utlFiles.h"

namespace {
const std::u16string kKey = u"Software\\Brasmoor";

// The texts of a journal's lines, without their stamps "[DD/MM/YYYY hh:nn:ss] ".
std::vector<std::string> LineTexts(const std::string& journal) {
  std::vector<std::string> texts;
  for (std::size_t at = 0, end; (end = journal.find("\r\n", at)) != std::string::npos;
       at = end + 2) {
    const std::string line = journal.substr(at, end - at);
    const auto stamp = line.find("] ");
    texts.push_back(stamp == std::string::npos ? line : line.substr(stamp + 2));
  }
  return texts;
}
}

// An installation made by hand: program files, journal, shortcuts, registry, projects.
class UninstallTest : public InstallerFixture {
protected:
  void Install(const std::u16string& projDir = u"") {
    ASSERT_TRUE(Start());
    auto& s = InstallSettings;
    if (!projDir.empty()) s.ProjDir = projDir;
    ForceDirs(Join(s.InstallDir, {u"Aide"}));
    WriteAll(Join(s.InstallDir, {u"Orvelin.exe"}), "exe");
    WriteAll(Join(s.InstallDir, {u"Uninstall.exe"}), "exe");
    WriteAll(Join(s.InstallDir, {u"Aide", u"index.html"}), "<html>");
    ForceDirs(s.MenuDir);
    WriteAll(Join(s.MenuDir, {u"Orvelin.lnk"}), "lnk");
    WriteAll(Join(s.MenuDir, {u"Uninstall.lnk"}), "lnk");
    WriteAll(Join(s.DeskDir, {u"Brasmoor.lnk"}), "lnk");
    ForceDirs(Join(s.ProjDir, {u"Projets", u"Chantier é"}));
    WriteAll(Join(s.ProjDir, {u"Projets", u"Chantier é", u"mine.prj"}), "my work");
    registry->SetRegInfoStr(RegRoot::CurrentUser, kKey, u"InstallDir", s.InstallDir);
    registry->SetRegInfoStr(RegRoot::CurrentUser, kKey, u"ProjDir", s.ProjDir);
    registry->SetRegInfoStr(RegRoot::LocalMachine, kKey, u"DisplayName", u"Orvelin");
    registry->SetRegInfoInt(RegRoot::LocalMachine, kKey, u"NoModify", 1);
  }

  bool ProgramPresent() const { return fsys::IsDir(InstallSettings.InstallDir); }
  bool ProjectsPresent() const {
    return fsys::IsFile(Join(InstallSettings.ProjDir, {u"Projets", u"Chantier é", u"mine.prj"}));
  }
  bool KeysPresent() const {
    return registry->RegInfoKeyExists(RegRoot::CurrentUser, kKey) ||
           registry->RegInfoKeyExists(RegRoot::LocalMachine, kKey);
  }
  bool ShortcutsPresent() const {
    return fsys::IsDir(InstallSettings.MenuDir) ||
           fsys::IsFile(Join(InstallSettings.DeskDir, {u"Brasmoor.lnk"}));
  }
};

class UninstallTicks : public UninstallTest, public testing::WithParamInterface<UninstallChoices> {};

TEST_P(UninstallTicks, RemoveWhatTheyNameAndNothingElse) {
  const UninstallChoices ticks = GetParam();
  Install();
  RunUninstall(ticks);
  EXPECT_EQ(ProgramPresent(), !ticks.Program);
  EXPECT_EQ(KeysPresent(), !ticks.Program);
  EXPECT_EQ(ShortcutsPresent(), !ticks.Program);
  EXPECT_EQ(ProjectsPresent(), !ticks.ProjectsFolder);
  EXPECT_TRUE(dialogs.Messages().empty());
}

INSTANTIATE_TEST_SUITE_P(All, UninstallTicks,
                         testing::Values(UninstallChoices{true, false}, UninstallChoices{true, true},
                                         UninstallChoices{false, false}, UninstallChoices{false, true}),
                         [](const auto& info) {
                           return std::string(info.param.Program ? "Program" : "NoProgram") +
                                  (info.param.ProjectsFolder ? "Projects" : "NoProjects");
                         });

TEST_F(UninstallTest, ProjectsInsideOrEqualToTheInstallFolderSurviveTheProgramRemoval) {
  Install();
  const auto inside = Join(InstallSettings.InstallDir, {u"Mes projets"});
  InstallSettings.ProjDir = inside;
  ForceDirs(Join(inside, {u"Projets"}));
  WriteAll(Join(inside, {u"Projets", u"a.prj"}), "mine");
  RunUninstall({true, false});
  EXPECT_EQ(ReadAll(Join(inside, {u"Projets", u"a.prj"})), "mine");
  EXPECT_FALSE(fsys::IsFile(Join(InstallSettings.InstallDir, {u"Orvelin.exe"})));
  EXPECT_FALSE(fsys::IsDir(Join(InstallSettings.InstallDir, {u"Aide"})));

  InstallSettings.ProjDir = InstallSettings.InstallDir;
  WriteAll(Join(InstallSettings.InstallDir, {u"b.prj"}), "also mine");
  RunUninstall({true, false});
  EXPECT_EQ(ReadAll(Join(InstallSettings.InstallDir, {u"b.prj"})), "also mine");

  RunUninstall({false, true});  // the projects box, ticked, removes them
  EXPECT_FALSE(fsys::IsDir(InstallSettings.InstallDir));
}

// Both boxes ticked: the install folder goes whole, the projects inside it with it.
TEST_F(UninstallTest, BothBoxesRemoveAnInstallFolderThatHoldsTheProjects) {
  Install();
  for (const auto& projects :
       {Join(InstallSettings.InstallDir, {u"Mes projets"}), InstallSettings.InstallDir}) {
    ForceDirs(Join(InstallSettings.InstallDir, {u"Aide"}));
    InstallSettings.ProjDir = projects;
    ForceDirs(Join(projects, {u"Projets"}));
    WriteAll(Join(projects, {u"Projets", u"a.prj"}), "mine");
    RunUninstall({true, true});
    EXPECT_FALSE(fsys::IsDir(InstallSettings.InstallDir));
  }
}

TEST_F(UninstallTest, KeyWithASubkeyStaysSilently) {
  Install();
  registry->ValidateRegInfoKey(RegRoot::LocalMachine, kKey + u"\\Autre programme");
  RunUninstall({true, false});
  EXPECT_FALSE(registry->RegInfoKeyExists(RegRoot::CurrentUser, kKey));
  EXPECT_EQ(registry->GetRegInfoValue(RegRoot::LocalMachine, kKey, u"DisplayName"), u"Orvelin");
  EXPECT_FALSE(ProgramPresent());
  EXPECT_TRUE(dialogs.Messages().empty());
}

TEST_F(UninstallTest, FileInUseStaysAndTheRestGoes) {
  if (!FileLock::Supported()) GTEST_SKIP() << "no mandatory file locks here";
  Install();
  {
    FileLock lock(Join(InstallSettings.InstallDir, {u"Orvelin.exe"}));
    RunUninstall({true, false});
  }
  EXPECT_TRUE(fsys::IsFile(Join(InstallSettings.InstallDir, {u"Orvelin.exe"})));
  EXPECT_FALSE(fsys::IsDir(Join(InstallSettings.InstallDir, {u"Aide"})));
  EXPECT_FALSE(KeysPresent());
  EXPECT_FALSE(ShortcutsPresent());
}

TEST_F(UninstallTest, WithoutADesktopNoFileIsLookedForAtTheDriveRoot) {
  Install();
  InstallSettings.DeskDir = u"";
  RunUninstall({true, false});
  EXPECT_FALSE(ProgramPresent());
  EXPECT_FALSE(fsys::IsDir(InstallSettings.MenuDir));
}

// After a program removal the next start finds no folders: the defaults again, and an
// empty per-user key made anew.
TEST_F(UninstallTest, TheNextStartTakesTheDefaultsAndMakesTheEmptyKeyAgain) {
  Install(tmp / u"Mes projets");
  ASSERT_EQ(registry->GetRegInfoValue(RegRoot::CurrentUser, kKey, u"ProjDir"),
            tmp / u"Mes projets");
  RunUninstall({true, false});
  ASSERT_FALSE(registry->RegInfoKeyExists(RegRoot::CurrentUser, kKey));

  std::unique_ptr<GenSys> services = std::move(GSys);  // the same machine, started again
  ReleaseServices();
  InstallSettings = {};
  ASSERT_TRUE(StartUp(std::move(services), env));
  EXPECT_EQ(InstallSettings.InstallDir,
            Join(env.SystemDrive, {u"Program Files (x86)", u"Brasmoor"}));
  EXPECT_EQ(InstallSettings.ProjDir, Join(env.SystemDrive, {u"Orvelin Projets"}));
  EXPECT_TRUE(registry->RegInfoKeyExists(RegRoot::CurrentUser, kKey));
  EXPECT_EQ(registry->ValueCount(RegRoot::CurrentUser, kKey), 0u);
}

// The program removal writes its first line, then deletes the journal's folder with the
// install folder: its last line cannot be written and asks once. Yes, with the folder
// made again meanwhile, writes that line into a journal file of the same name.
TEST_F(UninstallTest, JournalLinesInOrderAndRetryPromptsOnceItsFolderIsGone) {
  ForceDirs(Join(env.SystemDrive, {u"Program Files (x86)", u"Brasmoor"}));
  WriteAll(Join(env.SystemDrive, {u"Program Files (x86)", u"Brasmoor", u"inst.dbg"}), "");
  Install();
  ASSERT_TRUE(PDbg->DbgMode());
  // A second name outside the install folder keeps what was written before the folder went.
  const std::u16string kept = tmp / u"kept.jnl";
  ASSERT_TRUE(MakeHardLink(kept, PDbg->JnlPath()));
  const std::u16string journalFolder = Join(InstallSettings.InstallDir, {u"Journaux"});
  dialogs.OnMessage = [&](const MessageRequest&) {
    EXPECT_FALSE(fsys::IsDir(journalFolder)) << "the prompt comes once the folder is gone";
    ForceDirs(journalFolder);
  };
  dialogs.Answer(MsgButton::Yes);
  RunUninstall({true, false});

  ASSERT_EQ(dialogs.Messages().size(), 1u) << "one prompt: the lines before were written";
  EXPECT_NE(dialogs.Messages()[0].Text.find(PDbg->JnlPath()), std::u16string::npos);
  EXPECT_EQ(LineTexts(ReadAll(kept)),
            (std::vector<std::string>{"Lancement Setup_Orvelin", "D\xE9sinstallation d'Orvelin"}));
  EXPECT_EQ(LineTexts(JournalText()),
            std::vector<std::string>{"D\xE9sinstallation programmes termin\xE9" "e"});
  EXPECT_FALSE(fsys::IsFile(Join(InstallSettings.InstallDir, {u"Orvelin.exe"})));
}

TEST_F(UninstallTest, OpeningThePageDeletesUninstallBatInTheCurrentFolder) {
  const auto saved = std::filesystem::current_path();
  std::filesystem::current_path(std::filesystem::path(env.WorkDir));
  WriteAll(Join(env.WorkDir, {u"uninstall.bat"}), "@echo off");
  WriteAll(Join(env.WorkDir, {u"other.bat"}), "@echo off");
  DeleteUninstallBatch();
  std::filesystem::current_path(saved);
  EXPECT_FALSE(fsys::IsFile(Join(env.WorkDir, {u"uninstall.bat"})));
  EXPECT_TRUE(fsys::IsFile(Join(env.WorkDir, {u"other.bat"})));
}
