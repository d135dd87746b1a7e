// The pages chained from the welcome page: each appears in its opener's place, and
// going back or cancelling leads where the user expects.
#include <gtest/gtest.h>

#include <string>

#include "tests/e2e/driver.h"
#include "ui/controlIds.h"
#include "util/wideText_win.h"

using namespace ControlIds;

namespace {
const std::u16string kUninstallCaption = u"Désinstallation Orvelin";

POINT Position(HWND window) {
  RECT rect;
  GetWindowRect(window, &rect);
  return {rect.left, rect.top};
}

std::u16string UserValue(const wchar_t* name) {
  wchar_t data[MAX_PATH] = {};
  DWORD size = sizeof data - sizeof(wchar_t);
  if (RegGetValueW(HKEY_CURRENT_USER, L"Software\\Brasmoor", name, RRF_RT_REG_SZ, nullptr, data,
                   &size) != ERROR_SUCCESS)
    return u"";
  return FromW(data);
}

bool operator==(POINT a, POINT b) { return a.x == b.x && a.y == b.y; }

// Presses a button that makes window give way to the next page of the same caption.
HWND NextPage(DWORD processId, HWND window, int button, const std::u16string& caption) {
  if (!Click(Control(window, button)) || !WaitUntilGone(window)) return nullptr;
  return WaitForWindow(processId, caption);
}

TEST(PageChaining, BackFromTheFolderChoiceEndsTheProgram) {
  SetupProcess setup;
  HWND welcome = WaitForWindow(setup.Id(), InstallCaption());
  ASSERT_TRUE(welcome);
  const POINT place = Position(welcome);

  HWND folders = NextPage(setup.Id(), welcome, btnSuiv, InstallCaption());
  ASSERT_TRUE(folders);
  EXPECT_NE(folders, welcome);
  EXPECT_TRUE(Position(folders) == place) << "the page takes the welcome window's place";
  EXPECT_TRUE(TextOf(Control(folders, edRepProg)) == u"C:\\Program Files (x86)\\Brasmoor");
  EXPECT_TRUE(TextOf(Control(folders, edRepDoss)) == u"C:\\Orvelin Projets");
  EXPECT_TRUE(TextOf(Control(folders, btnProg)) == u"\U0001F4C2");
  EXPECT_TRUE(SaveScreenshot(folders, u"folder-choice"));

  ASSERT_TRUE(Click(Control(folders, btnPrec)));
  EXPECT_EQ(setup.WaitExit(), std::optional<DWORD>(0));
}

TEST(PageChaining, UninstallPageComesBackToTheWelcomePageWhereItWas) {
  SetupProcess setup;
  HWND welcome = WaitForWindow(setup.Id(), InstallCaption());
  ASSERT_TRUE(welcome);
  ASSERT_TRUE(Click(Control(welcome, rbUninstall)));
  HWND page = NextPage(setup.Id(), welcome, btnSuiv, kUninstallCaption);
  ASSERT_TRUE(page);
  EXPECT_TRUE(IsChecked(Control(page, cbInstProg)));
  EXPECT_FALSE(IsChecked(Control(page, cbInstDoss)));
  EXPECT_TRUE(TextOf(Control(page, lbInst)) ==
              u"Cliquez sur Désinstaller pour démarrer la désinstallation.");
  EXPECT_TRUE(SaveScreenshot(page, u"uninstall"));

  // The user moves the page, then goes back.
  SetWindowPos(page, nullptr, 40, 30, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  ASSERT_TRUE(Click(Control(page, btnPrec)));
  ASSERT_TRUE(WaitUntilGone(page));
  welcome = WaitForWindow(setup.Id(), InstallCaption());
  ASSERT_TRUE(welcome);
  EXPECT_TRUE(Position(welcome) == (POINT{40, 30}));
  EXPECT_TRUE(IsChecked(Control(welcome, rbInstall))) << "the choice is back on installing";
  EXPECT_FALSE(IsChecked(Control(welcome, rbUninstall)));

  ASSERT_TRUE(Click(Control(welcome, btnQuit)));
  EXPECT_EQ(setup.WaitExit(), std::optional<DWORD>(0));
}

TEST(PageChaining, InstallPageTicksAndWaysBack) {
  SetupProcess setup;
  HWND welcome = WaitForWindow(setup.Id(), InstallCaption());
  ASSERT_TRUE(welcome);
  HWND folders = NextPage(setup.Id(), welcome, btnSuiv, InstallCaption());
  ASSERT_TRUE(folders);
  HWND install = NextPage(setup.Id(), folders, btnSuiv, InstallCaption());
  ASSERT_TRUE(install);
  EXPECT_TRUE(IsChecked(Control(install, cbInstProg)));
  EXPECT_TRUE(IsChecked(Control(install, cbInstRacc)));
  EXPECT_TRUE(IsChecked(Control(install, cbInstDoss))) << "no projects folder yet";
  EXPECT_TRUE(SaveScreenshot(install, u"install"));

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
  folders = NextPage(setup.Id(), install, btnPrec, InstallCaption());
  ASSERT_TRUE(folders);
  const std::u16string question = u"Confirmez-vous l'abandon de l'installation ?";
  ASSERT_TRUE(Click(Control(folders, btnAnnul)));
  HWND box = WaitForWindow(setup.Id(), u"Avertissement");
  ASSERT_TRUE(box);
  EXPECT_TRUE(SaveScreenshot(box, u"confirm-box"));
  EXPECT_EQ(AnswerBox(setup.Id(), u"Avertissement", u"Non"), question);
  ASSERT_TRUE(Click(Control(folders, btnAnnul)));
  EXPECT_EQ(AnswerBox(setup.Id(), u"Avertissement", u"Oui"), question);
  EXPECT_EQ(setup.WaitExit(), std::optional<DWORD>(0));
}
// The pickers change the fields only; nothing is stored before "Suivant >".
TEST(PageChaining, FolderPickersChangeOnlyTheFields) {
  const std::u16string chosen = u"C:\\Orvelin Choix";
  CreateDirectoryW(W(chosen), nullptr);
  SetupProcess setup;
  HWND welcome = WaitForWindow(setup.Id(), InstallCaption());
  ASSERT_TRUE(welcome);
  HWND folders = NextPage(setup.Id(), welcome, btnSuiv, InstallCaption());
  ASSERT_TRUE(folders);
  const std::u16string projects = TextOf(Control(folders, edRepDoss));

  ASSERT_TRUE(Click(Control(folders, btnProg)));
  ASSERT_TRUE(AnswerFolderPicker(setup.Id(), u"Répertoire Orvelin", chosen));
  EXPECT_TRUE(WaitUntil([&] { return TextOf(Control(folders, edRepProg)) == chosen; }));
  ASSERT_TRUE(Click(Control(folders, btnDoss)));
  ASSERT_TRUE(AnswerFolderPicker(setup.Id(), u"Répertoire dossier projets", u""));
  EXPECT_TRUE(TextOf(Control(folders, edRepDoss)) == projects) << "a cancelled picker changes nothing";

  ASSERT_TRUE(Click(Control(folders, btnPrec)));
  EXPECT_EQ(setup.WaitExit(), std::optional<DWORD>(0));
  EXPECT_NE(UserValue(L"InstallDir"), chosen) << "nothing stored without Suivant";
  RemoveDirectoryW(W(chosen));
}
}  // namespace
