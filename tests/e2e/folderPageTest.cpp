// The folder-choice page, seen from outside: its controls as designed, and
// "Suivant >" when the registry refuses the folders. Its keyboard order and the names that
// a screen reader gives its fields are in accessibilityTest.cpp; its pickers and ways out
// in chainingTest.cpp.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/e2e/driver.h"
#include "tests/e2e/journeys.h"
#include "ui/controlIds.h"

using namespace ControlIds;

namespace {
using FolderPage = CleanMachine;

const std::vector<ExpectedControl> kFolderPage = {
    {btnSuiv, u"Suivant >", {336, 336, 416, 358}},
    {btnAnnul, u"Annuler", {464, 336, 544, 358}},
    {btnPrec, u"< Précédent", {248, 336, 328, 358}},
    {lbDir1, u"Deux répertoires sont utilisés par Orvelin :", {208, 16, 561, 33}, false,
     Look::Centred},
    {lbDir2, u"d'une part pour le logiciel lui-même et ses fichiers propres", {208, 34, 561, 51},
     false, Look::Centred},
    {lbDir3, u"et d'autre part pour les projets et les fichiers de référence.", {208, 52, 561, 69},
     false, Look::Centred},
    {lbDir4, u"Si les chemins proposés ne vous conviennent pas, vous pouvez", {208, 80, 561, 97},
     false, Look::Centred},
    {lbDir5, u"en choisir d'autres. Sinon, passez directement à l'étape suivante.",
     {208, 98, 561, 115}, false, Look::Centred},
    {lbDir6, u"En cas de réinstallation, il est recommandé", {208, 124, 561, 141}, false,
     Look::Underlined},
    {lbDir7, u"de conserver les chemins précédemment définis.", {208, 142, 561, 159}, false,
     Look::Underlined},
    {lbRepProg, u"Répertoire d'installation d'Orvelin :", {224, 176, 449, 193}, false,
     Look::LeftAligned},
    {lbRepDoss, u"Répertoire des projets :", {224, 224, 361, 241}, false, Look::LeftAligned},
    {lbSuiv, u"Cliquez sur Suivant pour continuer.", {208, 280, 561, 297}, false, Look::Centred},
    {edRepProg, kInstallDir, {216, 196, 505, 217}, false, Look::ReadOnly},
    {edRepDoss, kProjDir, {216, 244, 505, 265}, false, Look::ReadOnly},
    {btnProg, u"Parcourir…", {520, 196, 553, 217}},
    {btnDoss, u"Parcourir…", {520, 244, 553, 265}},
};

TEST_F(FolderPage, ShowsItsControlsInTheirPlaces) {
  SetupProcess setup;
  HWND folders = OpenFolderPage(setup);
  ASSERT_TRUE(folders);
  const SIZE client = ClientSizeAt96(folders);
  EXPECT_EQ(client.cx, 576);
  EXPECT_EQ(client.cy, 380);
  ExpectControls(folders, kFolderPage);
  // The keyboard starts on "Suivant >", which Enter presses.
  EXPECT_EQ(GetDlgCtrlID(InputStateOf(folders).Focus), btnSuiv);
  EXPECT_EQ(GetWindowLongW(Control(folders, btnSuiv), GWL_STYLE) & BS_TYPEMASK, BS_DEFPUSHBUTTON);

  ASSERT_TRUE(Click(Control(folders, btnPrec)));
  EXPECT_EQ(setup.WaitExit(), std::optional<DWORD>(0));
}

// The registry refuses the folders (the per-user key takes no values): "Suivant >" shows
// the error, opens no install page and leaves the page as it was.
TEST_F(FolderPage, ARegistryRefusalShowsTheErrorAndKeepsThePage) {
  SetupProcess setup;
  HWND folders = OpenFolderPage(setup);
  ASSERT_TRUE(folders);
  ASSERT_TRUE(SetUserKeyRules(u"D:(D;;0x2;;;WD)(A;;KA;;;WD)"));  // no KEY_SET_VALUE for anyone

  ASSERT_TRUE(Press(Control(folders, btnSuiv)));
  HWND box = WaitForWindow(setup.Id(), u"Erreur");
  ASSERT_TRUE(box) << "no error box";
  const BoxContent error = ReadBox(box);
  EXPECT_TRUE(error.Message == u"Echec à la définition des données pour 'InstallDir'");
  EXPECT_TRUE(error.Buttons == std::vector<std::u16string>{u"OK"});
  ASSERT_TRUE(AnswerBox(setup.Id(), u"Erreur", u"OK"));

  EXPECT_TRUE(VisibleWindows(setup.Id()) == std::vector<HWND>{folders}) << "no install page";
  EXPECT_TRUE(TextOf(Control(folders, edRepProg)) == kInstallDir);
  EXPECT_TRUE(TextOf(Control(folders, edRepDoss)) == kProjDir);
  EXPECT_TRUE(IsEnabled(Control(folders, btnSuiv)));
  EXPECT_TRUE(UserValue(u"InstallDir") == u"<none>");

  ASSERT_TRUE(SetUserKeyRules(u"D:(A;;KA;;;WD)"));
  ASSERT_TRUE(Click(Control(folders, btnPrec)));
  EXPECT_EQ(setup.WaitExit(), std::optional<DWORD>(0));
}
}  // namespace
