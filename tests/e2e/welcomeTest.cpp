// The welcome page, seen from outside: its window, its controls, and "Quitter".
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/e2e/driver.h"
#include "tests/e2e/journeys.h"
#include "ui/controlIds.h"

using namespace ControlIds;

namespace {
using WelcomePage = CleanMachine;

const std::vector<ExpectedControl> kWelcome = {
    {lbBienv1, u"Bienvenue dans le programme d'installation", {208, 32, 561, 49}, false,
     Look::Centred},
    {lbBienv2, u"du logiciel Orvelin", {208, 52, 561, 69}, false, Look::Centred},
    {lbSuiv, u"Cliquez sur Suivant pour continuer.", {208, 264, 561, 281}, false, Look::Centred},
    {btnSuiv, u"Suivant >", {336, 336, 416, 358}},
    {btnQuit, u"Quitter", {464, 336, 544, 358}},
    {lbSel, u"Veuillez sélectionner l'option souhaitée :", {208, 112, 561, 129}, false,
     Look::Centred},
    {rbInstall, u"Installer Orvelin", {312, 144, 481, 163}, true},
    {rbUninstall, u"Désinstaller Orvelin", {312, 200, 481, 219}, false},
};

TEST_F(WelcomePage, ShowsItsControlsAndQuitsWithExitCodeZero) {
  EXPECT_TRUE(InstallCaption() == u"Installation Orvelin 6.1.10.1") << "the payload's version";
  SetupProcess setup;
  ASSERT_TRUE(setup.Started());
  HWND welcome = WaitForWindow(setup.Id(), InstallCaption());
  ASSERT_TRUE(welcome) << "no window captioned as the welcome page";

  const SIZE client = ClientSizeAt96(welcome);
  EXPECT_EQ(client.cx, 576);
  EXPECT_EQ(client.cy, 380);
  const auto style = static_cast<DWORD>(GetWindowLongW(welcome, GWL_STYLE));
  EXPECT_TRUE(style & WS_SYSMENU) << "a close box";
  EXPECT_FALSE(style & (WS_THICKFRAME | WS_MINIMIZEBOX | WS_MAXIMIZEBOX)) << "fixed size";

  ExpectControls(welcome, kWelcome);

  // The keyboard goes "Suivant >", "Quitter", then the options, and starts on "Suivant >".
  const std::vector<int> order = {btnSuiv, btnQuit, rbInstall, btnSuiv};
  HWND at = Control(welcome, order.front());
  for (std::size_t i = 1; i < order.size(); ++i) {
    at = GetNextDlgTabItem(welcome, at, FALSE);
    EXPECT_EQ(GetDlgCtrlID(at), order[i]) << "tab stop " << i;
  }
  EXPECT_EQ(GetDlgCtrlID(InputStateOf(welcome).Focus), btnSuiv);
  EXPECT_EQ(GetWindowLongW(Control(welcome, btnSuiv), GWL_STYLE) & BS_TYPEMASK, BS_DEFPUSHBUTTON);

  ExpectPageLooksRight(welcome, u"welcome");

  ASSERT_TRUE(Click(Control(welcome, btnQuit)));
  EXPECT_EQ(setup.WaitExit(), std::optional<DWORD>(0));
}

// By the keyboard alone: an arrow key chooses "Désinstaller Orvelin" and Enter opens the
// uninstall page. Back from it, "Installer Orvelin" is chosen again, and the focus that
// the welcome page gets back does not choose otherwise: it goes to the chosen option (an
// automatic radio button chooses itself when it gets the focus, on Windows though not
// under Wine), and Enter then opens the folder page.
TEST_F(WelcomePage, KeyboardChoiceAndTheWayBackToInstalling) {
  SetupProcess setup;
  HWND welcome = WaitForWindow(setup.Id(), InstallCaption());
  ASSERT_TRUE(welcome);
  HWND install = Control(welcome, rbInstall), uninstall = Control(welcome, rbUninstall);
  ASSERT_TRUE(WaitUntil([&] { return FocusOf(welcome) == Control(welcome, btnSuiv); }));
  PressKey(welcome, VK_TAB);  // "Quitter"
  PressKey(welcome, VK_TAB);  // the options, on the chosen one
  ASSERT_TRUE(WaitUntil([&] { return FocusOf(welcome) == install; }));
  PressKey(welcome, VK_DOWN);
  ASSERT_TRUE(WaitUntil([&] { return IsChecked(uninstall); }));
  EXPECT_FALSE(IsChecked(install));
  EXPECT_EQ(FocusOf(welcome), uninstall);
  PressKey(welcome, VK_RETURN);
  HWND page = WaitForWindow(setup.Id(), kUninstallCaption);
  ASSERT_TRUE(page) << "Enter opens the uninstall page";

  ASSERT_TRUE(Click(Control(page, btnPrec)));
  ASSERT_TRUE(WaitUntilGone(page));
  ASSERT_TRUE(
      WaitUntil([&] { return IsShown(welcome) && InputStateOf(welcome).Active == welcome; }));
  ASSERT_TRUE(WaitUntil([&] { return IsChild(welcome, FocusOf(welcome)); })) << "the focus is back";
  EXPECT_EQ(FocusOf(welcome), install) << "on the chosen option";
  EXPECT_TRUE(IsChecked(install));
  EXPECT_FALSE(IsChecked(uninstall));
  PressKey(welcome, VK_RETURN);
  ASSERT_TRUE(WaitUntilGone(welcome));
  HWND folders = WaitForWindow(setup.Id(), InstallCaption());
  ASSERT_TRUE(folders) << "Enter opens the folder page";
  EXPECT_TRUE(TextOf(Control(folders, edRepProg)) == kInstallDir);
  ASSERT_TRUE(Click(Control(folders, btnPrec)));
  EXPECT_EQ(setup.WaitExit(), std::optional<DWORD>(0));
}
}  // namespace
