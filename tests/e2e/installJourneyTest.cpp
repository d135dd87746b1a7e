// A whole installation and its removal, as a user goes through them: the install run
// from the install page, then the program started again with "uninstall".
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "tests/e2e/driver.h"
#include "ui/controlIds.h"
#include "util/wideText_win.h"

using namespace ControlIds;

namespace {
const std::u16string kInstallDir = u"C:\\Program Files (x86)\\Brasmoor";
const std::u16string kProjDir = u"C:\\Orvelin Projets";
const std::u16string kMenuDir =
    u"C:\\ProgramData\\Microsoft\\Windows\\Start Menu\\Programs\\Brasmoor";

bool Exists(const std::u16string& path) {
  return GetFileAttributesW(W(path)) != INVALID_FILE_ATTRIBUTES;
}

// A value of the machine-wide key, as the 32-bit program sees it.
std::u16string MachineValue(const std::u16string& name) {
  HKEY key = nullptr;
  if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, L"Software\\Brasmoor", 0,
                    KEY_QUERY_VALUE | KEY_WOW64_32KEY, &key) != ERROR_SUCCESS)
    return u"<no key>";
  wchar_t data[256] = {};
  DWORD size = sizeof data - sizeof(wchar_t);
  const LSTATUS status =
      RegQueryValueExW(key, W(name), nullptr, nullptr, reinterpret_cast<BYTE*>(data), &size);
  RegCloseKey(key);
  return status == ERROR_SUCCESS ? FromW(data) : u"<no value>";
}

// The per-user folder setting that the next start reads.
void SetUserValue(const wchar_t* name, const std::u16string& value) {
  RegSetKeyValueW(HKEY_CURRENT_USER, L"Software\\Brasmoor", name, REG_SZ, W(value),
                  static_cast<DWORD>((value.size() + 1) * sizeof(char16_t)));
}

HWND OpenInstallPage(const SetupProcess& setup) {
  HWND welcome = WaitForWindow(setup.Id(), InstallCaption());
  if (!welcome || !Click(Control(welcome, btnSuiv)) || !WaitUntilGone(welcome)) return nullptr;
  HWND folders = WaitForWindow(setup.Id(), InstallCaption());
  if (!folders || !Click(Control(folders, btnSuiv)) || !WaitUntilGone(folders)) return nullptr;
  return WaitForWindow(setup.Id(), InstallCaption());
}

TEST(Journey, InstallsThenUninstallsWithTheParameter) {
  {
    SetupProcess setup;
    HWND install = OpenInstallPage(setup);
    ASSERT_TRUE(install);
    ASSERT_TRUE(Click(Control(install, btnInstall)));
    // The run ends in the Finished state: "Quitter" in place of "Annuler".
    HWND third = Control(install, btnAnnul);
    WaitUntil([&] { return TextOf(third) == u"Quitter"; }, 120000);
    EXPECT_TRUE(TextOf(Control(install, lbInst)) == u"Installation terminée.");
    EXPECT_TRUE(TextOf(third) == u"Quitter");
    EXPECT_TRUE(IsEnabled(third));
    EXPECT_FALSE(IsEnabled(Control(install, btnInstall)));
    EXPECT_FALSE(IsShown(Control(install, btnPrec)));
    EXPECT_TRUE(SaveScreenshot(install, u"install-finished"));
    ASSERT_TRUE(Click(third));
    EXPECT_EQ(setup.WaitExit(), std::optional<DWORD>(0));
  }
  EXPECT_TRUE(Exists(kInstallDir + u"\\Orvelin.exe"));
  EXPECT_TRUE(Exists(kInstallDir + u"\\Uninstall.exe"));
  EXPECT_TRUE(Exists(kProjDir));
  EXPECT_TRUE(Exists(kMenuDir + u"\\Orvelin.lnk"));
  EXPECT_TRUE(Exists(kMenuDir + u"\\Uninstall.lnk"));
  EXPECT_TRUE(MachineValue(u"DisplayName") == u"Orvelin");
  EXPECT_TRUE(MachineValue(u"UninstallString") == u"Uninstall");

  {
    SetupProcess setup(u"UNINSTALL");
    HWND page = WaitForWindow(setup.Id(), u"Désinstallation Orvelin");
    ASSERT_TRUE(page) << "the parameter opens the uninstall page at once";
    ASSERT_TRUE(Click(Control(page, cbInstDoss)));
    ASSERT_TRUE(Click(Control(page, btnUninst)));
    EXPECT_EQ(AnswerBox(setup.Id(), u"Avertissement", u"OK", 120000),
              std::u16string(u"Désinstallation terminée."));
    EXPECT_EQ(setup.WaitExit(), std::optional<DWORD>(0)) << "no welcome page afterwards";
  }
  EXPECT_FALSE(Exists(kInstallDir));
  EXPECT_FALSE(Exists(kProjDir));
  EXPECT_FALSE(Exists(kMenuDir));
  EXPECT_TRUE(MachineValue(u"DisplayName") == u"<no key>");
}
// An install folder below a file cannot receive the program: the error ends the run, is
// shown in an error box, and the page stays in its running look until its close box.
TEST(Journey, AnErrorStopsTheRunAndLeavesThePageToItsCloseBox) {
  const std::u16string blocker = u"C:\\orvelin-blocker";
  HANDLE file = CreateFileW(W(blocker), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  ASSERT_NE(file, INVALID_HANDLE_VALUE);
  CloseHandle(file);
  SetUserValue(L"InstallDir", blocker + u"\\Brasmoor");
  {
    SetupProcess setup;
    HWND install = OpenInstallPage(setup);
    ASSERT_TRUE(install);
    ASSERT_TRUE(Click(Control(install, btnInstall)));
    const auto error = AnswerBox(setup.Id(), u"Erreur", u"OK", 120000);
    ASSERT_TRUE(error.has_value()) << "no error box";
    EXPECT_FALSE(error->empty());
    EXPECT_TRUE(TextOf(Control(install, lbInst)) == u"Installation en cours.");
    EXPECT_TRUE(TextOf(Control(install, btnAnnul)) == u"Annuler");
    EXPECT_FALSE(IsEnabled(Control(install, btnAnnul)));
    EXPECT_FALSE(IsEnabled(Control(install, btnInstall)));
    EXPECT_FALSE(IsShown(Control(install, btnPrec)));
    EXPECT_TRUE(SaveScreenshot(install, u"install-stopped"));

    // The close box brings back the folder-choice page.
    PressCloseBox(install);
    ASSERT_TRUE(WaitUntilGone(install));
    HWND folders = WaitForWindow(setup.Id(), InstallCaption());
    ASSERT_TRUE(folders);
    EXPECT_TRUE(TextOf(Control(folders, edRepProg)) == blocker + u"\\Brasmoor");
    ASSERT_TRUE(Click(Control(folders, btnPrec)));
    EXPECT_EQ(setup.WaitExit(), std::optional<DWORD>(0));
  }
  RegDeleteTreeW(HKEY_CURRENT_USER, L"Software\\Brasmoor");
  DeleteFileW(W(blocker));
}
}  // namespace
