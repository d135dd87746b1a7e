// Installations as a user goes through them, from the welcome page to "Quitter", and
// what they leave on the machine: the files, the registry values and the shortcuts.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "tests/e2e/driver.h"
#include "tests/e2e/journeys.h"
#include "ui/controlIds.h"
#include "util/wideText_win.h"

using namespace ControlIds;

namespace {
using InstallJourney = CleanMachine;

// The running state of the install page, read while the run is busy: the window
// system's own texts and states, which need no answer from the program.
void ExpectRunning(HWND install) {
  EXPECT_TRUE(HeldTextOf(Control(install, lbInst)) == u"Installation en cours.");
  EXPECT_FALSE(IsShown(Control(install, btnPrec)));
  EXPECT_FALSE(IsEnabled(Control(install, btnInstall)));
  EXPECT_FALSE(IsEnabled(Control(install, btnAnnul)));
  EXPECT_TRUE(HeldTextOf(Control(install, btnAnnul)) == u"Annuler");
}

void ExpectFinished(HWND install) {
  EXPECT_TRUE(TextOf(Control(install, lbInst)) == u"Installation terminée.");
  EXPECT_TRUE(TextOf(Control(install, btnAnnul)) == u"Quitter");
  EXPECT_TRUE(IsEnabled(Control(install, btnAnnul)));
  EXPECT_FALSE(IsEnabled(Control(install, btnInstall)));
  EXPECT_FALSE(IsShown(Control(install, btnPrec)));
}

// Quitter ends the program, its windows with it.
void Quit(SetupProcess& setup, HWND install) {
  ASSERT_TRUE(Click(Control(install, btnAnnul)));
  EXPECT_EQ(setup.WaitExit(), std::optional<DWORD>(0));
  EXPECT_FALSE(IsWindow(install));
  EXPECT_TRUE(VisibleWindows(setup.Id()).empty());
}

TEST_F(InstallJourney, FirstInstallWithTheDefaults) {
  SetupProcess setup;
  HWND folders = OpenFolderPage(setup);
  ASSERT_TRUE(folders);
  EXPECT_TRUE(TextOf(Control(folders, edRepProg)) == kInstallDir);
  EXPECT_TRUE(TextOf(Control(folders, edRepDoss)) == kProjDir);
  HWND install = NextPage(setup.Id(), folders, btnSuiv, InstallCaption());
  ASSERT_TRUE(install);
  for (int box : {cbInstProg, cbInstRacc, cbInstDoss}) EXPECT_TRUE(IsChecked(Control(install, box)));

  ASSERT_TRUE(Click(Control(install, btnInstall)));
  ExpectRunning(install);
  ASSERT_TRUE(WaitUntil([&] { return IsFinished(install); }, kRunLimit));
  ExpectFinished(install);
  ExpectPageLooksRight(install, u"install-finished");
  Quit(setup, install);

  EXPECT_TRUE(UserValue(u"InstallDir") == kInstallDir);
  EXPECT_TRUE(UserValue(u"ProjDir") == kProjDir);
  ExpectProgramInstalled(kInstallDir);
  ExpectProjectsInstalled(kProjDir);
  ExpectLink(DesktopLink(), kInstallDir, kInstallDir + u"\\Orvelin.exe");
  EXPECT_TRUE(FolderEntries(SetupProcess::WorkFolder()).empty()) << "no temporary archive left";
}

// A second installation into folders chosen with the pickers, without the desktop
// shortcut: the old shortcut goes, the help folder is made anew, other files stay.
TEST_F(InstallJourney, ReinstallIntoChosenFoldersWithoutTheDesktopShortcut) {
  ASSERT_NO_FATAL_FAILURE(InstallWithDefaults());
  ASSERT_TRUE(Exists(DesktopLink()));
  // The user makes the new folders in the picker; one holds files of its own.
  ASSERT_TRUE(CreateDirectoryW(W(kAccentProgDir), nullptr));
  ASSERT_TRUE(CreateDirectoryW(W(kAccentProgDir + u"\\Aide"), nullptr));
  WriteFileText(kAccentProgDir + u"\\Aide\\ancienne page.htm", "<p>ancienne aide</p>");
  WriteFileText(kAccentProgDir + u"\\mes notes.txt", "à garder");
  ASSERT_TRUE(CreateDirectoryW(W(kAccentProjDir), nullptr));

  SetupProcess setup;
  HWND folders = OpenFolderPage(setup);
  ASSERT_TRUE(folders);
  ASSERT_TRUE(ChooseFolder(setup, folders, btnProg, kAccentProgDir));
  ASSERT_TRUE(ChooseFolder(setup, folders, btnDoss, kAccentProjDir));

  HWND install = NextPage(setup.Id(), folders, btnSuiv, InstallCaption());
  ASSERT_TRUE(install);
  EXPECT_TRUE(UserValue(u"InstallDir") == kAccentProgDir) << "stored before the page shows";
  EXPECT_TRUE(UserValue(u"ProjDir") == kAccentProjDir);
  EXPECT_FALSE(IsChecked(Control(install, cbInstDoss))) << "the projects folder exists";
  SetTicks(install, {{cbInstRacc, false}, {cbInstDoss, true}});
  ASSERT_TRUE(InstallToTheEnd(install));
  Quit(setup, install);

  EXPECT_FALSE(Exists(DesktopLink())) << "the old shortcut is removed and none is made";
  ExpectProgramInstalled(kAccentProgDir);
  ExpectProjectsInstalled(kAccentProjDir);
  EXPECT_FALSE(Exists(kAccentProgDir + u"\\Aide\\ancienne page.htm")) << "Aide made anew";
  EXPECT_TRUE(ReadFileBytes(kAccentProgDir + u"\\mes notes.txt") == "à garder");
}

TEST_F(InstallJourney, OnlyTheProjectsFolder) {
  WriteFileText(DesktopLink(), "raccourci d'avant");
  SetupProcess setup;
  HWND install = OpenInstallPage(setup);
  ASSERT_TRUE(install);
  SetTicks(install, {{cbInstProg, false}, {cbInstDoss, true}});
  ASSERT_TRUE(InstallToTheEnd(install));
  Quit(setup, install);

  ExpectProjectsInstalled(kProjDir);
  EXPECT_FALSE(MachineKeyPresent());
  EXPECT_FALSE(Exists(kMenuDir));
  EXPECT_TRUE(ReadFileBytes(DesktopLink()) == "raccourci d'avant") << "the shortcut stays";
  EXPECT_TRUE(FolderEntries(kInstallDir).empty());
}

TEST_F(InstallJourney, NothingTickedWritesNothing) {
  SetupProcess setup;
  HWND install = OpenInstallPage(setup);
  ASSERT_TRUE(install);
  SetTicks(install, {{cbInstProg, false}, {cbInstDoss, false}});
  EXPECT_FALSE(IsChecked(Control(install, cbInstRacc)));
  ASSERT_TRUE(InstallToTheEnd(install));
  ExpectFinished(install);
  Quit(setup, install);

  EXPECT_FALSE(MachineKeyPresent());
  EXPECT_FALSE(Exists(kMenuDir));
  EXPECT_FALSE(Exists(kProjDir));
  EXPECT_FALSE(Exists(DesktopLink()));
  EXPECT_TRUE(FolderEntries(kInstallDir).empty()) << "only the folder made at start-up";
}

// "Annuler" on the install page: No keeps the page as it is; Yes ends the program, and
// the folders that "Suivant >" stored stay in the registry.
TEST_F(InstallJourney, CancelKeepsTheStoredFolders) {
  ASSERT_TRUE(CreateDirectoryW(W(kAccentProgDir), nullptr));
  SetupProcess setup;
  HWND folders = OpenFolderPage(setup);
  ASSERT_TRUE(folders);
  ASSERT_TRUE(ChooseFolder(setup, folders, btnProg, kAccentProgDir));
  HWND install = NextPage(setup.Id(), folders, btnSuiv, InstallCaption());
  ASSERT_TRUE(install);

  EXPECT_EQ(Cancel(setup, install, u"Non"), kAbandonInstall);
  EXPECT_TRUE(IsShown(install));
  EXPECT_TRUE(IsEnabled(Control(install, btnInstall)));
  EXPECT_TRUE(IsChecked(Control(install, cbInstProg)));
  EXPECT_EQ(Cancel(setup, install, u"Oui"), kAbandonInstall);
  EXPECT_EQ(setup.WaitExit(), std::optional<DWORD>(0));

  EXPECT_TRUE(UserValue(u"InstallDir") == kAccentProgDir);
  EXPECT_TRUE(UserValue(u"ProjDir") == kProjDir);
  EXPECT_FALSE(MachineKeyPresent());
  EXPECT_TRUE(FolderEntries(kAccentProgDir).empty());
}
}  // namespace
