// The pages chained from the welcome page: each appears in its opener's place, and
// going back or cancelling leads where the user expects.
#include <gtest/gtest.h>

#include <string>

#include "tests/e2e/driver.h"
#include "tests/e2e/journeys.h"
#include "ui/controlIds.h"
#include "util/wideText_win.h"

using namespace ControlIds;

namespace {
using PageChaining = CleanMachine;

TEST_F(PageChaining, BackFromTheFolderChoiceEndsTheProgram) {
  SetupProcess setup;
  HWND welcome = WaitForWindow(setup.Id(), InstallCaption());
  ASSERT_TRUE(welcome);
  const POINT place = Position(welcome);

  HWND folders = NextPage(setup.Id(), welcome, btnSuiv, InstallCaption());
  ASSERT_TRUE(folders);
  EXPECT_NE(folders, welcome);
  EXPECT_EQ(Position(folders), place) << "the page takes the welcome window's place";
  EXPECT_TRUE(TextOf(Control(folders, edRepProg)) == kInstallDir);
  EXPECT_TRUE(TextOf(Control(folders, edRepDoss)) == kProjDir);
  EXPECT_TRUE(TextOf(Control(folders, btnProg)) == u"Parcourir…") << "named; it shows a folder";
  ExpectPageLooksRight(folders, u"folder-choice");

  ASSERT_TRUE(Click(Control(folders, btnPrec)));
  EXPECT_EQ(setup.WaitExit(), std::optional<DWORD>(0));
}

// A file "uninstall.bat" in the program's current folder goes as the uninstall page opens,
// and is not back when the user goes back from it; other files stay.
TEST_F(PageChaining, UninstallPageComesBackToTheWelcomePageWhereItWas) {
  const std::u16string batch = SetupProcess::WorkFolder() + u"\\uninstall.bat";
  const std::u16string other = SetupProcess::WorkFolder() + u"\\autre.bat";
  WriteFileText(batch, "@echo off\r\nSetup_Orvelin uninstall\r\n");
  WriteFileText(other, "@echo off\r\n");
  SetupProcess setup;
  ASSERT_TRUE(WaitForWindow(setup.Id(), InstallCaption()));
  EXPECT_TRUE(Exists(batch)) << "the start-up leaves it";
  HWND page = OpenUninstallPage(setup);
  ASSERT_TRUE(page);
  EXPECT_FALSE(Exists(batch)) << "gone as the page opens";
  EXPECT_TRUE(IsChecked(Control(page, cbInstProg)));
  EXPECT_FALSE(IsChecked(Control(page, cbInstDoss)));
  EXPECT_TRUE(TextOf(Control(page, lbInst)) ==
              u"Cliquez sur Désinstaller pour démarrer la désinstallation.");
  ExpectPageLooksRight(page, u"uninstall");

  // The user moves the page, then goes back.
  MoveTo(page, {40, 30});
  ASSERT_TRUE(Click(Control(page, btnPrec)));
  ASSERT_TRUE(WaitUntilGone(page));
  HWND welcome = WaitForWindow(setup.Id(), InstallCaption());
  ASSERT_TRUE(welcome);
  EXPECT_EQ(Position(welcome), (POINT{40, 30}));
  EXPECT_TRUE(IsChecked(Control(welcome, rbInstall))) << "the choice is back on installing";
  EXPECT_FALSE(IsChecked(Control(welcome, rbUninstall)));
  EXPECT_FALSE(Exists(batch));
  EXPECT_TRUE(Exists(other));

  ASSERT_TRUE(Click(Control(welcome, btnQuit)));
  EXPECT_EQ(setup.WaitExit(), std::optional<DWORD>(0));
}

TEST_F(PageChaining, InstallPageTicksAndWaysBack) {
  SetupProcess setup;
  HWND install = OpenInstallPage(setup);
  ASSERT_TRUE(install);
  EXPECT_TRUE(IsChecked(Control(install, cbInstProg)));
  EXPECT_TRUE(IsChecked(Control(install, cbInstRacc)));
  EXPECT_TRUE(IsChecked(Control(install, cbInstDoss))) << "no projects folder yet";
  ExpectPageLooksRight(install, u"install");

  // The desktop shortcut follows the program box, forgetting the user's earlier choice.
  ASSERT_TRUE(Click(Control(install, cbInstRacc)));
  ASSERT_TRUE(Click(Control(install, cbInstProg)));
  EXPECT_FALSE(IsChecked(Control(install, cbInstProg)));
  EXPECT_FALSE(IsChecked(Control(install, cbInstRacc)));
  EXPECT_FALSE(IsEnabled(Control(install, cbInstRacc)));
  ASSERT_TRUE(Click(Control(install, cbInstProg)));
  EXPECT_TRUE(IsChecked(Control(install, cbInstRacc)));
  EXPECT_TRUE(IsEnabled(Control(install, cbInstRacc)));

  // Back to the folder choice, then "Annuler": No keeps the page, Yes ends the program.
  HWND folders = NextPage(setup.Id(), install, btnPrec, InstallCaption());
  ASSERT_TRUE(folders);
  EXPECT_EQ(Cancel(setup, folders, u"Non", u"confirm-box"), kAbandonInstall);
  EXPECT_TRUE(IsShown(folders));
  EXPECT_EQ(Cancel(setup, folders, u"Oui"), kAbandonInstall);
  EXPECT_EQ(setup.WaitExit(), std::optional<DWORD>(0));
  EXPECT_TRUE(UserValue(u"InstallDir") == kInstallDir) << "stored by Suivant";
}

// The pickers change the fields only: nothing is stored before "Suivant >", whether the
// user then goes back or cancels. A picker opens at the folder of the settings, not at a
// choice that "Suivant >" has not confirmed.
TEST_F(PageChaining, FolderPickersChangeOnlyTheFields) {
  ASSERT_TRUE(CreateDirectoryW(W(kAccentProgDir), nullptr));
  for (const int way : {btnPrec, btnAnnul}) {
    SCOPED_TRACE(way == btnPrec ? "< Précédent" : "Annuler");
    SetupProcess setup;
    HWND folders = OpenFolderPage(setup);
    ASSERT_TRUE(folders);
    EXPECT_TRUE(ChooseFolder(setup, folders, btnProg, kAccentProgDir));

    if (way == btnPrec) {
      // A name typed alone names a folder in the one that the picker shows as it opens.
      ASSERT_TRUE(CreateDirectoryW(W(kInstallDir + u"\\Relatif"), nullptr));
      ASSERT_TRUE(CreateDirectoryW(W(kAccentProgDir + u"\\Relatif"), nullptr));
      EXPECT_TRUE(ChooseFolder(setup, folders, btnProg, u"Relatif", kInstallDir + u"\\Relatif"));
      ASSERT_TRUE(Press(Control(folders, btnDoss)));
      ASSERT_TRUE(AnswerFolderPicker(setup.Id(), u"Répertoire dossier projets", u""));
      EXPECT_TRUE(TextOf(Control(folders, edRepDoss)) == kProjDir)
          << "a cancelled picker changes nothing";
      ASSERT_TRUE(Click(Control(folders, btnPrec)));
    } else {
      EXPECT_EQ(Cancel(setup, folders, u"Non"), kAbandonInstall);
      EXPECT_TRUE(TextOf(Control(folders, edRepProg)) == kAccentProgDir) << "No keeps the page";
      EXPECT_EQ(Cancel(setup, folders, u"Oui"), kAbandonInstall);
    }
    EXPECT_EQ(setup.WaitExit(), std::optional<DWORD>(0));
    EXPECT_TRUE(UserValue(u"InstallDir") == u"<none>") << "nothing stored without Suivant";
    EXPECT_TRUE(UserValue(u"ProjDir") == u"<none>");
  }
}

// The install page appears where the user moved the folder page, and going back shows
// the folder page where the install page was last.
TEST_F(PageChaining, MovedPagesComeBackWhereTheUserLeftThem) {
  SetupProcess setup;
  HWND folders = OpenFolderPage(setup);
  ASSERT_TRUE(folders);
  MoveTo(folders, {60, 40});
  HWND install = NextPage(setup.Id(), folders, btnSuiv, InstallCaption());
  ASSERT_TRUE(install);
  EXPECT_EQ(Position(install), (POINT{60, 40}));

  MoveTo(install, {130, 90});
  HWND back = NextPage(setup.Id(), install, btnPrec, InstallCaption());
  ASSERT_TRUE(back);
  EXPECT_EQ(back, folders) << "the same folder page, shown again";
  EXPECT_EQ(Position(back), (POINT{130, 90}));
  EXPECT_TRUE(TextOf(Control(back, edRepProg)) == kInstallDir);

  ASSERT_TRUE(Click(Control(back, btnPrec)));
  EXPECT_EQ(setup.WaitExit(), std::optional<DWORD>(0));
}

// A finished page closed by its close box leads back to the folder page, whose
// "Suivant >" opens a new install page, ready for a second run.
TEST_F(PageChaining, SecondRunFromANewInstallPage) {
  SetupProcess setup;
  HWND install = OpenInstallPage(setup);
  ASSERT_TRUE(install);
  SetTicks(install, {{cbInstProg, false}, {cbInstDoss, true}});
  ASSERT_TRUE(InstallToTheEnd(install));
  const POINT place = Position(install);
  PressCloseBox(install);
  ASSERT_TRUE(WaitUntilGone(install));
  HWND folders = WaitForWindow(setup.Id(), InstallCaption());
  ASSERT_TRUE(folders);
  EXPECT_EQ(Position(folders), place);

  HWND second = NextPage(setup.Id(), folders, btnSuiv, InstallCaption());
  ASSERT_TRUE(second);
  EXPECT_TRUE(TextOf(Control(second, lbInst)) ==
              u"Cliquez sur Installer pour démarrer l'installation.");
  EXPECT_TRUE(IsShown(Control(second, btnPrec)));
  EXPECT_TRUE(IsEnabled(Control(second, btnInstall)));
  EXPECT_TRUE(TextOf(Control(second, btnAnnul)) == u"Annuler");
  EXPECT_TRUE(IsChecked(Control(second, cbInstProg)));
  EXPECT_TRUE(IsChecked(Control(second, cbInstRacc)));
  EXPECT_FALSE(IsChecked(Control(second, cbInstDoss))) << "the projects folder exists now";

  ASSERT_TRUE(InstallToTheEnd(second));
  ASSERT_TRUE(Click(Control(second, btnAnnul)));
  EXPECT_EQ(setup.WaitExit(), std::optional<DWORD>(0));
  EXPECT_TRUE(Exists(kInstallDir + u"\\Orvelin.exe"));
  EXPECT_TRUE(Exists(DesktopLink()));
}
}  // namespace
