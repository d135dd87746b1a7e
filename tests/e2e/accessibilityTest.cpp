// What a screen reader and a keyboard user find on the pages: every field and button of
// the folder page has a name, read through Active Accessibility as a reader reads it, and
// the keyboard goes through them in their order.
#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "tests/e2e/driver.h"
#include "tests/e2e/journeys.h"
#include "ui/controlIds.h"

using namespace ControlIds;

namespace {
using Accessibility = CleanMachine;

TEST_F(Accessibility, FolderPageNamesItsFieldsAndButtonsInTheKeyboardOrder) {
  SetupProcess setup;
  HWND folders = OpenFolderPage(setup);
  ASSERT_TRUE(folders);

  const std::vector<std::pair<int, std::u16string>> order = {
      {btnSuiv, u"Suivant >"},
      {btnAnnul, u"Annuler"},
      {btnPrec, u"< Précédent"},
      {edRepProg, u"Répertoire d'installation d'Orvelin :"},
      {edRepDoss, u"Répertoire des projets :"},
      {btnProg, u"Parcourir…"},
      {btnDoss, u"Parcourir…"},
  };
  HWND at = Control(folders, order.front().first);
  for (const auto& [id, name] : order) {
    SCOPED_TRACE(testing::Message() << "control " << id);
    EXPECT_EQ(GetDlgCtrlID(at), id) << "the keyboard order";
    EXPECT_EQ(AccessibleName(Control(folders, id)), name);
    at = GetNextDlgTabItem(folders, at, FALSE);
  }
  EXPECT_EQ(GetDlgCtrlID(at), order.front().first) << "and round again";

  ASSERT_TRUE(Click(Control(folders, btnPrec)));
  EXPECT_EQ(setup.WaitExit(), std::optional<DWORD>(0));
}
}  // namespace
