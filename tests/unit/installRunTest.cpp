#include "install/installRun.h"

#include <gtest/gtest.h>

#include "shell/defGlVar.h"
#include "tests/support/installerFixture.h"
#include "util/appError.h"
#include "util/fileSystem.h"
#include "util/utlFiles.h"

namespace {
const std::u16string kKey = u"Software\\Brasmoor";
}

class InstallTest : public InstallerFixture {
protected:
  void SetUp() override { ASSERT_TRUE(Start()); }

  std::u16string Install(std::initializer_list<std::u16string_view> names) const {
    return Join(InstallSettings.InstallDir, names);
  }
  std::u16string DesktopLink() const { return Join(env.DeskDir, {u"Brasmoor.lnk"}); }
  bool MachineKeyWritten() const { return registry->RegInfoKeyExists(RegRoot::LocalMachine, kKey); }
  bool ProgramFilesPresent() const {
    return fsys::IsFile(Install({u"Orvelin.exe"})) && fsys::IsFile(Install({u"Uninstall.exe"})) &&
           fsys::IsDir(Install({u"Aide"}));
  }
  bool ProjectsPresent() const {
    const auto& p = InstallSettings.ProjDir;
    return fsys::IsFile(Join(p, {u"Orvelin.ini"})) && fsys::IsDir(Join(p, {u"Projets"})) &&
           fsys::IsDir(Join(p, {u"Reference", u"Plannings"}));
  }
  bool TemporaryArchivesLeft() const {
    return fsys::IsFile(Join(env.WorkDir, {u"Prog.zip"})) || fsys::IsFile(Join(env.WorkDir, {u"Data.zip"}));
  }
};

class InstallTicks : public InstallTest, public testing::WithParamInterface<InstallChoices> {};

TEST_P(InstallTicks, DoWhatTheyNameAndNothingElse) {
  const InstallChoices ticks = GetParam();
  WriteAll(DesktopLink(), "an earlier installation's shortcut");
  RunInstall(ticks);

  EXPECT_EQ(ProgramFilesPresent(), ticks.Program);
  EXPECT_EQ(MachineKeyWritten(), ticks.Program);
  EXPECT_EQ(ProjectsPresent(), ticks.ProjectsFolder);
  EXPECT_FALSE(TemporaryArchivesLeft());
  // The old desktop shortcut goes with any program installation, ticked or not.
  EXPECT_EQ(fsys::IsFile(DesktopLink()), !ticks.Program);
  if (!ticks.Program) {
    EXPECT_TRUE(shortcuts.empty());
    return;
  }
  const auto& s = InstallSettings;
  EXPECT_EQ(registry->GetRegInfoValue(RegRoot::LocalMachine, kKey, u"DisplayName"), u"Orvelin");
  EXPECT_EQ(registry->GetRegInfoValue(RegRoot::LocalMachine, kKey, u"UninstallString"), u"Uninstall");
  EXPECT_EQ(*registry->Find(RegRoot::LocalMachine, kKey, u"NoModify"), MemoryRegistry::Data(1));
  EXPECT_EQ(*registry->Find(RegRoot::LocalMachine, kKey, u"NoRepair"), MemoryRegistry::Data(1));
  EXPECT_EQ(registry->ValueCount(RegRoot::LocalMachine, kKey), 4u);

  std::vector<std::pair<std::u16string, std::u16string>> expected = {
      {Join(s.MenuDir, {u"Orvelin.lnk"}), Install({u"Orvelin.exe"})},
      {Join(s.MenuDir, {u"Uninstall.lnk"}), Install({u"Uninstall.exe"})}};
  if (ticks.DesktopShortcut) expected.push_back({DesktopLink(), Install({u"Orvelin.exe"})});
  ASSERT_EQ(shortcuts.size(), expected.size());
  for (std::size_t i = 0; i < expected.size(); ++i) {
    EXPECT_EQ(shortcuts[i].LinkFile, expected[i].first);
    EXPECT_EQ(shortcuts[i].Target, expected[i].second);
    EXPECT_EQ(shortcuts[i].WorkingDir, s.InstallDir) << "the uninstaller's too";
    EXPECT_EQ(shortcuts[i].Description, u"");
    EXPECT_EQ(shortcuts[i].Arguments, u"");
  }
  EXPECT_TRUE(fsys::IsDir(s.MenuDir));
}

INSTANTIATE_TEST_SUITE_P(All, InstallTicks,
                         testing::Values(InstallChoices{true, true, true}, InstallChoices{true, false, true},
                                         InstallChoices{true, true, false}, InstallChoices{false, false, true},
                                         InstallChoices{false, false, false}),
                         [](const auto& info) {
                           const auto& c = info.param;
                           return std::string(c.Program ? "Program" : "NoProgram") +
                                  (c.DesktopShortcut ? "Desktop" : "") +
                                  (c.ProjectsFolder ? "Projects" : "NoProjects");
                         });

TEST_F(InstallTest, ProjectsBoxStartsTickedOnlyForAMissingFolder) {
  EXPECT_TRUE(ProjectsFolderWanted());
  ForceDirs(InstallSettings.ProjDir);
  EXPECT_FALSE(ProjectsFolderWanted());
}

TEST_F(InstallTest, ReinstallRebuildsHelpReplacesArchiveFilesAndKeepsOthers) {
  RunInstall({true, false, false});
  const std::string original = ReadAll(Install({u"Orvelin.exe"}));
  WriteAll(Install({u"Orvelin.exe"}), "damaged");
  WriteAll(Install({u"Aide", u"obsolete.html"}), "old help");
  WriteAll(Install({u"Orvelin.cfg"}), "the user's settings");
  RunInstall({true, false, false});
  EXPECT_EQ(ReadAll(Install({u"Orvelin.exe"})), original);
  EXPECT_FALSE(fsys::IsFile(Install({u"Aide", u"obsolete.html"})));
  EXPECT_TRUE(fsys::IsDir(Install({u"Aide"})));
  EXPECT_EQ(ReadAll(Install({u"Orvelin.cfg"})), "the user's settings");
}

TEST_F(InstallTest, RefusedRegistryWriteEndsTheRunAndKeepsWhatWasDone) {
  registry->RefusedValues = {u"NoModify"};
  try {
    RunInstall({true, true, true});
    FAIL() << "the error reaches the caller";
  } catch (const AppError& error) {
    EXPECT_EQ(error.Message(), u"Echec à la définition des données pour 'NoModify'");
  }
  EXPECT_TRUE(ProgramFilesPresent()) << "nothing is undone";
  EXPECT_EQ(registry->GetRegInfoValue(RegRoot::LocalMachine, kKey, u"UninstallString"), u"Uninstall");
  EXPECT_EQ(registry->Find(RegRoot::LocalMachine, kKey, u"NoRepair"), nullptr);
  EXPECT_TRUE(shortcuts.empty());
  EXPECT_FALSE(ProjectsPresent()) << "the projects folder comes after the program";
}

TEST_F(InstallTest, WithoutADesktopNoDesktopShortcutIsMadeOrLookedFor) {
  InstallSettings.DeskDir = u"";
  RunInstall({true, true, false});
  ASSERT_EQ(shortcuts.size(), 2u);
  EXPECT_EQ(shortcuts[1].LinkFile, Join(InstallSettings.MenuDir, {u"Uninstall.lnk"}));
}

TEST_F(InstallTest, JournalFollowsTheRun) {
  WriteAll(Install({u"inst.dbg"}), "");
  ReleaseServices();
  auto sys = std::make_unique<MemoryRegistry>();
  registry = sys.get();
  ASSERT_TRUE(StartUp(std::move(sys), env));
  RunInstall({true, true, true});
  CloseJournal(true);
  std::vector<std::string> lines;
  std::string text = JournalText();
  for (std::size_t at; (at = text.find("\r\n")) != std::string::npos; text.erase(0, at + 2))
    lines.push_back(text.substr(text.find("] ") + 2, at - text.find("] ") - 2));
  EXPECT_EQ(lines, (std::vector<std::string>{"Lancement Setup_Orvelin", "Installation d'Orvelin",
                                             "Installation programmes termin\xE9" "e",
                                             "Fermeture Setup_Orvelin"}));
}
