#include "shell/startup.h"

#include <gtest/gtest.h>

#include "shell/defGlVar.h"
#include "shell/folderChoice.h"
#include "tests/support/installerFixture.h"
#include "util/appError.h"
#include "util/fileSystem.h"
#include "util/utlDialogs.h"
#include "util/utlFiles.h"

namespace {
const std::u16string kKey = u"Software\\Brasmoor";

bool EndsWith(const std::string& text, const std::string& tail) {
  return text.size() >= tail.size() && text.compare(text.size() - tail.size(), tail.size(), tail) == 0;
}
}  // namespace

using StartUpTest = InstallerFixture;

TEST_F(StartUpTest, FirstRunTakesTheDefaultsAndCreatesTheKeyAndInstallFolder) {
  ASSERT_TRUE(Start());
  const auto& s = InstallSettings;
  EXPECT_EQ(s.PubName, u"Brasmoor");
  EXPECT_EQ(s.ProdName, u"Orvelin");
  EXPECT_EQ(s.WorkDir, env.WorkDir);
  EXPECT_EQ(s.DeskDir, env.DeskDir);
  EXPECT_EQ(s.MenuDir, Join(env.SystemDrive, {u"ProgramData", u"Microsoft", u"Windows", u"Start Menu",
                                              u"Programs", u"Brasmoor"}));
  EXPECT_EQ(s.InstallDir, Join(env.SystemDrive, {u"Program Files (x86)", u"Brasmoor"}));
  EXPECT_EQ(s.ProjDir, Join(env.SystemDrive, {u"Orvelin Projets"}));
  EXPECT_EQ(s.Version, u"6.1.10.1");
  EXPECT_EQ(InstallCaption(), u"Installation Orvelin 6.1.10.1");

  EXPECT_TRUE(registry->RegInfoKeyExists(RegRoot::CurrentUser, kKey));
  EXPECT_EQ(registry->ValueCount(RegRoot::CurrentUser, kKey), 0u) << "created empty";
  EXPECT_TRUE(fsys::IsDir(s.InstallDir));
  EXPECT_FALSE(fsys::IsDir(s.ProjDir)) << "the projects folder waits for the install";
  ASSERT_TRUE(PDbg);
  EXPECT_FALSE(PDbg->DbgMode());
  EXPECT_FALSE(fsys::IsDir(Join(s.InstallDir, {u"Journaux"})));
  EXPECT_TRUE(dialogs.Messages().empty());
}

TEST_F(StartUpTest, RegistryFoldersWinAndEmptyValuesCountAsMissing) {
  const auto earlier = tmp / u"Ailleurs é";
  registry->SetRegInfoStr(RegRoot::CurrentUser, kKey, u"InstallDir", earlier);
  registry->SetRegInfoStr(RegRoot::CurrentUser, kKey, u"ProjDir", u"");
  ASSERT_TRUE(Start());
  EXPECT_EQ(InstallSettings.InstallDir, earlier);
  EXPECT_TRUE(fsys::IsDir(earlier)) << "a missing install folder is created";
  EXPECT_EQ(InstallSettings.ProjDir, Join(env.SystemDrive, {u"Orvelin Projets"}));
}

TEST_F(StartUpTest, MarkerFileSwitchesTheJournalOnForTheWholeRun) {
  const auto install = tmp / u"Prog";
  ForceDirs(install);
  WriteAll(Join(install, {u"inst.dbg"}), "");
  registry->SetRegInfoStr(RegRoot::CurrentUser, kKey, u"InstallDir", install);
  ASSERT_TRUE(Start());
  ASSERT_TRUE(PDbg && PDbg->DbgMode());
  EXPECT_EQ(PDbg->JnlPath().rfind(Join(install, {u"Journaux", u""}), 0), 0u);
  const std::string first = JournalText();
  EXPECT_EQ(first.front(), '[');
  EXPECT_TRUE(EndsWith(first, "] Lancement Setup_Orvelin\r\n")) << first;
  CloseJournal(true);
  EXPECT_TRUE(EndsWith(JournalText(), "] Fermeture Setup_Orvelin\r\n"));
}

// From the start-up on, a box that could not be shown is written to the journal, with the
// answer it gave. The journal's own retry prompt, unseen too, answers No and is not
// written again: nothing loops.
TEST_F(StartUpTest, ABoxThatCannotBeShownIsWrittenToTheJournal) {
  const auto install = tmp / u"Prog";
  ForceDirs(install);
  WriteAll(Join(install, {u"inst.dbg"}), "");
  registry->SetRegInfoStr(RegRoot::CurrentUser, kKey, u"InstallDir", install);
  ASSERT_TRUE(Start());
  dialogs.FailToShow(u"Bo\u00EEte de message non affich\u00E9e. M\u00E9moire insuffisante.");
  EXPECT_EQ(MsgDlg(u"Confirmez-vous l'abandon de l'installation ?", u"YN", u"N", u"W"), u"N");
  EXPECT_TRUE(EndsWith(JournalText(),
                       "] Bo\xEEte de message non affich\xE9" "e. M\xE9moire insuffisante. "
                       "Message : \xAB Confirmez-vous l'abandon de l'installation ? \xBB, "
                       "r\xE9ponse \xAB N \xBB.\r\n"))
      << JournalText();

  DelDir(Join(install, {u"Journaux"}));
  dialogs.FailToShow(u"Echec.");
  dialogs.FailToShow(u"Echec.");
  EXPECT_EQ(MsgDlg(u"Désinstallation terminée.", u"O", u"O", u"O"), u"O");
  EXPECT_EQ(dialogs.Messages().size(), 3u) << "the question, the notice, the journal's prompt";
  EXPECT_EQ(dialogs.Messages().back().Kind, MsgKind::Error);
}

TEST_F(StartUpTest, MarkerIsAFileNotAFolderAndIsLookedForOnlyAtStart) {
  const auto install = tmp / u"Prog";
  ForceDirs(Join(install, {u"inst.dbg"}));
  registry->SetRegInfoStr(RegRoot::CurrentUser, kKey, u"InstallDir", install);
  ASSERT_TRUE(Start());
  EXPECT_FALSE(PDbg->DbgMode());

  // A marker in a folder chosen later changes nothing.
  const auto chosen = tmp / u"Choisi";
  ForceDirs(chosen);
  WriteAll(Join(chosen, {u"inst.dbg"}), "");
  StoreFolders(chosen, tmp / u"Projets");
  EXPECT_FALSE(PDbg->DbgMode());
  CloseJournal(true);
  EXPECT_FALSE(fsys::IsDir(Join(chosen, {u"Journaux"})));
}

TEST_F(StartUpTest, SecondSetupCopyLeavesSilentlyWithoutTouchingAnything) {
  registry->Running = {{u"Setup_Orvelin.exe", 2}, {u"Orvelin.exe", 1}};
  EXPECT_FALSE(Start());
  EXPECT_TRUE(dialogs.Messages().empty()) << "the application's message is not shown either";
  EXPECT_FALSE(registry->RegInfoKeyExists(RegRoot::CurrentUser, kKey));
  EXPECT_FALSE(fsys::IsDir(Join(env.SystemDrive, {u"Program Files (x86)"})));
  EXPECT_FALSE(PDbg);
  EXPECT_TRUE(GSys) << "the services exist whatever the outcome";
  EXPECT_EQ(InstallSettings.InstallDir, u"");
  CloseJournal(false);  // writes nothing, and does not fail
}

TEST_F(StartUpTest, RunningApplicationIsReportedAndTheStartRefused) {
  const std::pair<int, std::u16string> cases[] = {
      {1, u"Veuillez fermer l'instance active d'Orvelin."},
      {2, u"Veuillez fermer les 2 instances actives d'Orvelin."},
      {12, u"Veuillez fermer les 12 instances actives d'Orvelin."}};
  for (const auto& [count, text] : cases) {
    auto sys = std::make_unique<MemoryRegistry>();
    sys->Running = {{u"Setup_Orvelin.exe", 1}, {u"Orvelin.exe", count}, {u"orvelin.exe", 3}};
    auto* seen = sys.get();
    ScriptedDialogs answers;
    answers.Answer(MsgButton::OK);
    EXPECT_FALSE(StartUp(std::move(sys), env));
    ASSERT_EQ(answers.Messages().size(), 1u);
    const auto& box = answers.Messages()[0];
    EXPECT_EQ(box.Text, text);
    EXPECT_EQ(box.Title, u"Informations");
    EXPECT_EQ(box.Buttons, std::vector<MsgButton>{MsgButton::OK});
    EXPECT_FALSE(seen->RegInfoKeyExists(RegRoot::CurrentUser, kKey));
    EXPECT_FALSE(PDbg);
  }
}

TEST_F(StartUpTest, StoreFoldersUpdatesSettingsThenRegistry) {
  ASSERT_TRUE(Start());
  StoreFolders(tmp / u"A", tmp / u"A");  // the two folders may be equal
  EXPECT_EQ(InstallSettings.InstallDir, tmp / u"A");
  EXPECT_EQ(registry->GetRegInfoValue(RegRoot::CurrentUser, kKey, u"InstallDir"), tmp / u"A");
  EXPECT_EQ(registry->GetRegInfoValue(RegRoot::CurrentUser, kKey, u"ProjDir"), tmp / u"A");

  registry->RefusedValues = {u"ProjDir"};
  try {
    StoreFolders(tmp / u"B", tmp / u"C");
    FAIL() << "a refused write is reported";
  } catch (const AppError& error) {
    EXPECT_EQ(error.Message(), u"Echec à la définition des données pour 'ProjDir'");
  }
  EXPECT_EQ(InstallSettings.ProjDir, tmp / u"C") << "the settings are already updated";
  EXPECT_EQ(registry->GetRegInfoValue(RegRoot::CurrentUser, kKey, u"InstallDir"), tmp / u"B");
}
