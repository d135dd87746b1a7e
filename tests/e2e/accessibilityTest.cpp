// What a screen reader, a keyboard user and a user of high contrast find on the pages:
// every field and button of the folder page has a name, read through Active
// Accessibility as a reader reads it, and the keyboard goes through them in their order;
// in high contrast the pages and the message box take the system's colours.
#include <gtest/gtest.h>

#include <initializer_list>
#include <string>
#include <utility>
#include <vector>

#include "tests/e2e/driver.h"
#include "tests/e2e/journeys.h"
#include "tests/win/winTestSupport.h"
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

// The system colours of a high-contrast scheme, as Windows 11's "Night sky" sets them:
// white text on black, the buttons' text yellow.
constexpr COLORREF kBlack = RGB(0, 0, 0);
constexpr COLORREF kWhite = RGB(0xFF, 0xFF, 0xFF);
constexpr COLORREF kYellow = RGB(0xFF, 0xEE, 0x32);
constexpr COLORREF kGrey = RGB(0xA6, 0xA6, 0xA6);
constexpr std::pair<int, COLORREF> kNightSky[] = {
    {COLOR_WINDOW, kBlack},
    {COLOR_WINDOWTEXT, kWhite},
    {COLOR_BTNFACE, kBlack},
    {COLOR_BTNTEXT, kYellow},
    {COLOR_HIGHLIGHT, RGB(0xD6, 0xB4, 0xFD)},
    {COLOR_HIGHLIGHTTEXT, RGB(0x2B, 0x2B, 0x2B)},
    {COLOR_GRAYTEXT, kGrey},
    {COLOR_HOTLIGHT, RGB(0x80, 0x80, 0xFF)},
    {COLOR_BTNHIGHLIGHT, kWhite},
    {COLOR_BTNSHADOW, kWhite},
    {COLOR_3DLIGHT, kWhite},
    {COLOR_3DDKSHADOW, kWhite},
    {COLOR_WINDOWFRAME, kWhite},
    {COLOR_ACTIVEBORDER, kBlack},
    {COLOR_INACTIVEBORDER, kBlack},
    {COLOR_ACTIVECAPTION, kBlack},
    {COLOR_GRADIENTACTIVECAPTION, kBlack},
    {COLOR_CAPTIONTEXT, kWhite},
    {COLOR_INACTIVECAPTION, kBlack},
    {COLOR_GRADIENTINACTIVECAPTION, kBlack},
    {COLOR_INACTIVECAPTIONTEXT, kGrey},
};

// The scheme's system colours, for the programs started while the object lives; then the
// earlier colours come back.
class SchemeColours {
public:
  SchemeColours() {
    for (const auto& [element, colour] : kNightSky) {
      elements_.push_back(element);
      earlier_.push_back(GetSysColor(element));
      scheme_.push_back(colour);
    }
    Apply(scheme_);
  }
  ~SchemeColours() { Apply(earlier_); }
  SchemeColours(const SchemeColours&) = delete;
  SchemeColours& operator=(const SchemeColours&) = delete;

private:
  void Apply(const std::vector<COLORREF>& colours) {
    SetSysColors(static_cast<int>(elements_.size()), elements_.data(), colours.data());
  }

  std::vector<int> elements_;
  std::vector<COLORREF> earlier_, scheme_;
};

// Most of the control's pixels have the background colour, and some the text's (whose
// edges blend into the background): its text shows.
void ExpectColours(const Snapshot& shot, HWND control, COLORREF back, COLORREF text) {
  RECT size;
  GetClientRect(control, &size);
  EXPECT_GT(shot.PixelsOf(control, back), size.right * size.bottom / 2) << "background";
  EXPECT_GT(shot.PixelsOf(control, text, 48), 0) << "text";
}

// The page in the scheme's colours, its banner kept: the page black, the line white, the
// band black (the buttons' face); the given texts white on black. Saved as a screenshot.
void ExpectHighContrastPage(HWND page, const std::u16string& name,
                            std::initializer_list<int> texts) {
  const Snapshot shot(page);
  EXPECT_EQ(shot.ColourAt(page, {560, 8}), kBlack) << "the page";
  EXPECT_EQ(shot.ColourAt(page, {560, 319}), kWhite) << "the line";
  EXPECT_EQ(shot.ColourAt(page, {560, 370}), kBlack) << "the band";
  const COLORREF banner = shot.ColourAt(page, {100, 300});
  EXPECT_GT(GetBValue(banner), GetRValue(banner) + 40) << "the banner keeps its blue";
  for (int id : texts) {
    SCOPED_TRACE(testing::Message() << "control " << id);
    ExpectColours(shot, Control(page, id), kBlack, kWhite);
  }
  EXPECT_TRUE(shot.Save(name));
}

// With high contrast on, the pages take the system's colours, the banner picture kept.
// High contrast is turned on while the welcome page shows, and Windows tells every window
// so; the pages that follow and the message box open in it. (A program under Wine reads
// the system colours once, at its start: the scheme's colours are set before.)
TEST_F(Accessibility, PagesAndTheMessageBoxFollowHighContrast) {
  const SchemeColours scheme;
  SetupProcess setup;
  HWND welcome = WaitForWindow(setup.Id(), InstallCaption());
  ASSERT_TRUE(welcome);
  ASSERT_TRUE(setup.Load(TestProgramFolder() + u"\\HighContrastOn.dll"));
  SendMessageTimeoutW(HWND_BROADCAST, WM_SETTINGCHANGE, SPI_SETHIGHCONTRAST, 0, SMTO_ABORTIFHUNG,
                      kWaitLimit, nullptr);

  ExpectHighContrastPage(welcome, u"high-contrast-welcome", {lbBienv1, lbSel, rbInstall});
  HWND uninstall = OpenUninstallPage(setup);
  ASSERT_TRUE(uninstall);
  ExpectHighContrastPage(uninstall, u"high-contrast-uninstall", {cbInstProg, cbInstDoss});
  welcome = NextPage(setup.Id(), uninstall, btnPrec, InstallCaption());
  ASSERT_TRUE(welcome);

  HWND folders = NextPage(setup.Id(), welcome, btnSuiv, InstallCaption());
  ASSERT_TRUE(folders);
  ExpectHighContrastPage(folders, u"high-contrast-folder-choice", {lbDir1, lbRepProg, edRepProg});
  {
    SCOPED_TRACE("the folder button, in the button colours");
    ExpectColours(Snapshot(folders), Control(folders, btnProg), kBlack, kYellow);
  }
  HWND install = NextPage(setup.Id(), folders, btnSuiv, InstallCaption());
  ASSERT_TRUE(install);
  ExpectHighContrastPage(install, u"high-contrast-install", {lbComp1, cbInstProg, cbInstRacc});
  EXPECT_EQ(Snapshot(install).ColourAt(install, {260, 180}), kWhite) << "the panel's frame";

  folders = NextPage(setup.Id(), install, btnPrec, InstallCaption());
  ASSERT_TRUE(folders);
  ASSERT_TRUE(Press(Control(folders, btnAnnul)));
  HWND box = WaitForWindow(setup.Id(), u"Avertissement");
  ASSERT_TRUE(box);
  {
    const Snapshot shot(box);
    SCOPED_TRACE("the message");
    ExpectColours(shot, GetDlgItem(box, 0xFFFF), kBlack, kWhite);
    EXPECT_TRUE(shot.Save(u"high-contrast-confirm-box"));
  }
  EXPECT_TRUE(AnswerBox(setup.Id(), u"Avertissement", u"Oui"));
  EXPECT_EQ(setup.WaitExit(), std::optional<DWORD>(0));
}
}  // namespace
