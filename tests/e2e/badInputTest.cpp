// Folders and states that a user or the machine can bring: a trailing backslash, a very
// long path, a drive that does not exist, two equal folders, a file in use. The program
// neither crashes nor removes more than the user ticked.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "tests/e2e/driver.h"
#include "tests/e2e/journeys.h"
#include "ui/controlIds.h"
#include "util/wideText_win.h"

using namespace ControlIds;

namespace {
using BadInput = CleanMachine;

// A whole installation into the stored folders, the projects included.
void InstallIntoTheStoredFolders() {
  SetupProcess setup;
  HWND install = OpenInstallPage(setup);
  ASSERT_TRUE(install);
  SetTicks(install, {{cbInstDoss, true}});
  ASSERT_TRUE(InstallToTheEnd(install));
  ASSERT_TRUE(Click(Control(install, btnAnnul)));
  ASSERT_EQ(setup.WaitExit(), std::optional<DWORD>(0));
}

// The removal from the welcome page with these ticks, to the program's end.
void Uninstall(bool program, bool projects) {
  SetupProcess setup;
  HWND page = OpenUninstallPage(setup);
  ASSERT_TRUE(page);
  SetTicks(page, {{cbInstProg, program}, {cbInstDoss, projects}});
  ASSERT_TRUE(Click(Control(page, btnUninst)));
  ASSERT_EQ(AnswerBox(setup.Id(), u"Avertissement", u"OK", kRunLimit),
            std::u16string(u"Désinstallation terminée."));
  HWND welcome = WaitForWindow(setup.Id(), InstallCaption());
  ASSERT_TRUE(welcome);
  ASSERT_TRUE(Click(Control(welcome, btnQuit)));
  ASSERT_EQ(setup.WaitExit(), std::optional<DWORD>(0));
}

// Folders stored with a trailing backslash, or about 200 characters long: the program
// installs into them and removes them whole.
using FolderPair = std::pair<std::u16string, std::u16string>;  // install, projects
class StoredFolders : public CleanMachine, public testing::WithParamInterface<FolderPair> {};

TEST_P(StoredFolders, InstallAndUninstall) {
  const auto& [installDir, projDir] = GetParam();
  SetUserValue(u"InstallDir", installDir);
  SetUserValue(u"ProjDir", projDir);
  ASSERT_NO_FATAL_FAILURE(InstallIntoTheStoredFolders());
  EXPECT_TRUE(UserValue(u"InstallDir") == installDir);
  ExpectProgramInstalled(installDir);
  ExpectProjectsInstalled(projDir);
  ExpectLink(DesktopLink(), installDir, installDir + u"\\Orvelin.exe");

  ASSERT_NO_FATAL_FAILURE(Uninstall(true, true));
  EXPECT_FALSE(Exists(installDir));
  EXPECT_FALSE(Exists(projDir));
  EXPECT_FALSE(UserKeyPresent());
  EXPECT_FALSE(MachineKeyPresent());
  EXPECT_FALSE(Exists(kMenuDir));

  // The next start finds no folders: it proposes the defaults and makes the per-user key
  // again, empty.
  SetupProcess next;
  HWND folders = OpenFolderPage(next);
  ASSERT_TRUE(folders);
  EXPECT_TRUE(TextOf(Control(folders, edRepProg)) == kInstallDir);
  EXPECT_TRUE(TextOf(Control(folders, edRepDoss)) == kProjDir);
  EXPECT_TRUE(UserKeyPresent());
  EXPECT_TRUE(UserValue(u"InstallDir") == u"<none>");
  EXPECT_TRUE(UserValue(u"ProjDir") == u"<none>");
  ASSERT_TRUE(Click(Control(folders, btnPrec)));
  EXPECT_EQ(next.WaitExit(), std::optional<DWORD>(0));
}

INSTANTIATE_TEST_SUITE_P(BadInput, StoredFolders,
                         testing::Values(std::make_pair(kTrailingDir, kProjDir),
                                         std::make_pair(LongDir(), LongDir() + u"\\Projets")));

// An install folder that cannot be made (its drive does not exist, a file stands in its
// path): the start-up goes on, the run stops at its first write with the error shown,
// and the page stays stopped until its close box.
struct Unwritable {
  std::u16string Folder;
  bool Screenshots;
};
class UnwritableFolder : public CleanMachine, public testing::WithParamInterface<Unwritable> {};

TEST_P(UnwritableFolder, StopsTheRunWithTheErrorShown) {
  WriteFileText(kBlockingFile, "un fichier, pas un dossier");
  const std::u16string& folder = GetParam().Folder;
  SetUserValue(u"InstallDir", folder);
  SetupProcess setup;
  HWND folders = OpenFolderPage(setup);
  ASSERT_TRUE(folders) << "the start-up goes on";
  EXPECT_FALSE(Exists(folder));
  EXPECT_TRUE(TextOf(Control(folders, edRepProg)) == folder);
  HWND install = NextPage(setup.Id(), folders, btnSuiv, InstallCaption());
  ASSERT_TRUE(install);
  ASSERT_TRUE(Click(Control(install, btnInstall)));

  HWND box = WaitForWindow(setup.Id(), u"Erreur", kRunLimit);
  ASSERT_TRUE(box) << "no error box";
  const BoxContent error = ReadBox(box);
  EXPECT_FALSE(error.Message.empty());
  EXPECT_TRUE(error.Buttons == std::vector<std::u16string>{u"OK"});
  if (GetParam().Screenshots) ExpectBoxLooksRight(box, u"error-box");
  ASSERT_TRUE(AnswerBox(setup.Id(), u"Erreur", u"OK"));
  EXPECT_TRUE(TextOf(Control(install, lbInst)) == u"Installation en cours.");
  EXPECT_TRUE(TextOf(Control(install, btnAnnul)) == u"Annuler");
  EXPECT_FALSE(IsEnabled(Control(install, btnAnnul)));
  EXPECT_FALSE(IsEnabled(Control(install, btnInstall)));
  EXPECT_FALSE(IsShown(Control(install, btnPrec)));
  if (GetParam().Screenshots) ExpectPageLooksRight(install, u"install-stopped");

  PressCloseBox(install);
  ASSERT_TRUE(WaitUntilGone(install));
  folders = WaitForWindow(setup.Id(), InstallCaption());
  ASSERT_TRUE(folders);
  EXPECT_TRUE(TextOf(Control(folders, edRepProg)) == folder);
  ASSERT_TRUE(Click(Control(folders, btnPrec)));
  EXPECT_EQ(setup.WaitExit(), std::optional<DWORD>(0));
  EXPECT_FALSE(MachineKeyPresent()) << "the run stopped before the registry";
  EXPECT_FALSE(Exists(kMenuDir));
  EXPECT_FALSE(Exists(kProjDir));
  EXPECT_TRUE(ReadFileBytes(kBlockingFile) == "un fichier, pas un dossier");
}

INSTANTIATE_TEST_SUITE_P(BadInput, UnwritableFolder,
                         testing::Values(Unwritable{u"Q:\\Brasmoor", true},
                                         Unwritable{kBlockingFile + u"\\Brasmoor", false}));

// One folder for both: removing the program leaves the projects, which share its folder.
TEST_F(BadInput, EqualFoldersKeepTheProjectsWhenOnlyTheProgramGoes) {
  SetUserValue(u"InstallDir", kSharedDir);
  SetUserValue(u"ProjDir", kSharedDir);
  ASSERT_NO_FATAL_FAILURE(InstallIntoTheStoredFolders());
  ExpectProgramInstalled(kSharedDir);

  ASSERT_NO_FATAL_FAILURE(Uninstall(true, false));
  ExpectProjectsInstalled(kSharedDir);
  EXPECT_FALSE(UserKeyPresent());
  EXPECT_FALSE(MachineKeyPresent());
  EXPECT_FALSE(Exists(kMenuDir));
  EXPECT_FALSE(Exists(DesktopLink()));
}

// A file of the install folder held open by another program stays, with the folders
// above it; everything else goes and the completion message shows all the same.
TEST_F(BadInput, AFileInUseStaysAndTheRestGoes) {
  ASSERT_NO_FATAL_FAILURE(InstallWithDefaults());
  const std::u16string guide = kInstallDir + u"\\Aide\\Orvelin - Guide utilisateur.pdf";
  HANDLE held = CreateFileW(W(guide), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(held, INVALID_HANDLE_VALUE);
  ASSERT_NO_FATAL_FAILURE(Uninstall(true, false));
  CloseHandle(held);

  EXPECT_TRUE(Exists(guide));
  EXPECT_TRUE(FolderEntries(kInstallDir) == std::vector<std::u16string>{u"Aide"});
  EXPECT_TRUE(FolderEntries(kInstallDir + u"\\Aide") ==
              std::vector<std::u16string>{u"Orvelin - Guide utilisateur.pdf"});
  EXPECT_FALSE(UserKeyPresent());
  EXPECT_FALSE(MachineKeyPresent());
  EXPECT_FALSE(Exists(kMenuDir));
  EXPECT_FALSE(Exists(DesktopLink()));
  ExpectProjectsInstalled(kProjDir);
}
}  // namespace
