// Removals as a user goes through them, from the welcome page or with the parameter
// "uninstall", and what they leave on the machine.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/e2e/driver.h"
#include "tests/e2e/journeys.h"
#include "ui/controlIds.h"

using namespace ControlIds;

namespace {
using UninstallJourney = CleanMachine;

const std::u16string kDone = u"Désinstallation terminée.";

bool ProgramPresent() {
  return Exists(kInstallDir + u"\\Orvelin.exe") && UserKeyPresent() && MachineKeyPresent() &&
         Exists(kMenuDir + u"\\Orvelin.lnk") && Exists(DesktopLink());
}

// The program's files, keys and links are gone.
void ExpectProgramRemoved() {
  EXPECT_FALSE(Exists(kInstallDir));
  EXPECT_FALSE(UserKeyPresent());
  EXPECT_FALSE(MachineKeyPresent());
  EXPECT_FALSE(Exists(kMenuDir));
  EXPECT_FALSE(Exists(DesktopLink()));
}

// The running state of the uninstall page, which lasts while the completion box is open.
void ExpectRunning(HWND page) {
  EXPECT_TRUE(HeldTextOf(Control(page, lbInst)) == u"Désinstallation en cours.");
  EXPECT_FALSE(IsShown(Control(page, btnPrec)));
  EXPECT_FALSE(IsEnabled(Control(page, btnUninst)));
  EXPECT_FALSE(IsEnabled(Control(page, btnAnnul)));
}

// "Désinstaller >", then the completion box closed with OK: the welcome page returns.
HWND UninstallToTheWelcomePage(const Process& setup, HWND page) {
  if (!Click(Control(page, btnUninst))) return nullptr;
  if (AnswerBox(setup.Id(), u"Avertissement", u"OK", kRunLimit) != kDone) return nullptr;
  return WaitForWindow(setup.Id(), InstallCaption());
}

// From the welcome page, three visits to the uninstall page: nothing ticked, then
// "Annuler" answered No and Yes, then the default ticks.
TEST_F(UninstallJourney, FromTheWelcomePage) {
  ASSERT_NO_FATAL_FAILURE(InstallWithDefaults());
  SetupProcess setup;

  HWND page = OpenUninstallPage(setup);
  ASSERT_TRUE(page);
  SetTicks(page, {{cbInstProg, false}, {cbInstDoss, false}});
  ASSERT_TRUE(Click(Control(page, btnUninst)));
  HWND box = WaitForWindow(setup.Id(), u"Avertissement", kRunLimit);
  ASSERT_TRUE(box);
  ExpectRunning(page);
  const BoxContent done = ReadBox(box);
  EXPECT_TRUE(done.Message == kDone);
  EXPECT_TRUE(done.Buttons == std::vector<std::u16string>{u"OK"});
  ExpectBoxLooksRight(box, u"completion-box");
  EXPECT_EQ(Snapshot(box).HueOf(Control(box, 20)), Snapshot::Hue::Yellow) << "the warning look";
  ASSERT_EQ(AnswerBox(setup.Id(), u"Avertissement", u"OK"), kDone);
  HWND welcome = WaitForWindow(setup.Id(), InstallCaption());
  ASSERT_TRUE(welcome);
  EXPECT_TRUE(IsChecked(Control(welcome, rbInstall)));
  EXPECT_TRUE(ProgramPresent()) << "nothing ticked, nothing removed";
  EXPECT_TRUE(Exists(kProjDir));

  const std::u16string question = u"Confirmez-vous l'abandon de la désinstallation ?";
  page = OpenUninstallPage(setup);
  ASSERT_TRUE(page);
  EXPECT_EQ(Cancel(setup, page, u"Non", u"uninstall-confirm-box"), question);
  EXPECT_TRUE(IsShown(page));
  EXPECT_TRUE(IsEnabled(Control(page, btnUninst)));
  EXPECT_TRUE(IsShown(Control(page, btnPrec)));
  EXPECT_EQ(Cancel(setup, page, u"Oui"), question);
  welcome = WaitForWindow(setup.Id(), InstallCaption());
  ASSERT_TRUE(welcome);
  EXPECT_TRUE(ProgramPresent());

  page = OpenUninstallPage(setup);
  ASSERT_TRUE(page);
  EXPECT_TRUE(IsChecked(Control(page, cbInstProg)));
  EXPECT_FALSE(IsChecked(Control(page, cbInstDoss)));
  welcome = UninstallToTheWelcomePage(setup, page);
  ASSERT_TRUE(welcome);
  ASSERT_TRUE(Click(Control(welcome, btnQuit)));
  EXPECT_EQ(setup.WaitExit(), std::optional<DWORD>(0));
  ExpectProgramRemoved();
  ExpectProjectsInstalled(kProjDir);
}

TEST_F(UninstallJourney, BothBoxesRemoveEverything) {
  ASSERT_NO_FATAL_FAILURE(InstallWithDefaults());
  SetupProcess setup;
  HWND page = OpenUninstallPage(setup);
  ASSERT_TRUE(page);
  SetTicks(page, {{cbInstDoss, true}});
  HWND welcome = UninstallToTheWelcomePage(setup, page);
  ASSERT_TRUE(welcome);
  ASSERT_TRUE(Click(Control(welcome, btnQuit)));
  EXPECT_EQ(setup.WaitExit(), std::optional<DWORD>(0));
  ExpectProgramRemoved();
  EXPECT_FALSE(Exists(kProjDir));
}

// Started with the parameter, the program opens the uninstall page at once and ends
// when it closes, without showing the welcome page.
TEST_F(UninstallJourney, TheParameterRemovesAndEnds) {
  ASSERT_NO_FATAL_FAILURE(InstallWithDefaults());
  SetupProcess setup(u"UNINSTALL");
  HWND page = WaitForWindow(setup.Id(), kUninstallCaption);
  ASSERT_TRUE(page) << "the parameter opens the uninstall page at once";
  ASSERT_TRUE(Click(Control(page, btnUninst)));
  EXPECT_EQ(AnswerBox(setup.Id(), u"Avertissement", u"OK", kRunLimit), kDone);
  const Process::Ending ending = setup.WatchUntilExit();
  EXPECT_EQ(ending.ExitCode, std::optional<DWORD>(0));
  EXPECT_FALSE(ending.Saw(InstallCaption())) << "no welcome page afterwards";
  ExpectProgramRemoved();
  ExpectProjectsInstalled(kProjDir);
}

// Only the first parameter counts, and only the word itself in any letter case.
struct Parameters {
  const char16_t* Arguments;
  bool OpensTheUninstallPage;
};
class CommandLine : public CleanMachine, public testing::WithParamInterface<Parameters> {};

TEST_P(CommandLine, OpensTheUninstallPageOnlyForTheWordItself) {
  SetupProcess setup(GetParam().Arguments);
  if (GetParam().OpensTheUninstallPage) {
    HWND page = WaitForWindow(setup.Id(), kUninstallCaption);
    ASSERT_TRUE(page);
    EXPECT_FALSE(WaitForWindow(setup.Id(), InstallCaption(), 0));
    ASSERT_TRUE(Click(Control(page, btnPrec)));
    const Process::Ending ending = setup.WatchUntilExit();
    EXPECT_EQ(ending.ExitCode, std::optional<DWORD>(0));
    EXPECT_FALSE(ending.Saw(InstallCaption())) << "the welcome page never shows";
  } else {
    HWND welcome = WaitForWindow(setup.Id(), InstallCaption());
    ASSERT_TRUE(welcome);
    EXPECT_TRUE(IsChecked(Control(welcome, rbInstall)));
    ASSERT_TRUE(Click(Control(welcome, btnQuit)));
    const Process::Ending ending = setup.WatchUntilExit();
    EXPECT_EQ(ending.ExitCode, std::optional<DWORD>(0));
    EXPECT_FALSE(ending.Saw(kUninstallCaption)) << "no uninstall page";
  }
}

INSTANTIATE_TEST_SUITE_P(UninstallJourney, CommandLine,
                         testing::Values(Parameters{u"Uninstall", true},
                                         Parameters{u"/uninstall", false},
                                         Parameters{u"-uninstall", false},
                                         Parameters{u"uninstall.", false},
                                         Parameters{u"projets uninstall", false}));
}  // namespace
