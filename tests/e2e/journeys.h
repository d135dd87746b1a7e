// What the journeys share: the places where the program installs, a machine brought back
// to its state before any installation, the steps through the pages that many journeys
// take, and the checks of what an installation leaves.
#pragma once
#include <windows.h>

#include <gtest/gtest.h>

#include <initializer_list>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "tests/e2e/driver.h"

// The program's folders and links with the default settings.
inline const std::u16string kInstallDir = u"C:\\Program Files (x86)\\Brasmoor";
inline const std::u16string kProjDir = u"C:\\Orvelin Projets";
inline const std::u16string kMenuDir =
    u"C:\\ProgramData\\Microsoft\\Windows\\Start Menu\\Programs\\Brasmoor";
inline const std::u16string kUninstallCaption = u"Désinstallation Orvelin";
inline const std::u16string kAbandonInstall = u"Confirmez-vous l'abandon de l'installation ?";
// Brasmoor.lnk on the user's desktop.
std::u16string DesktopLink();

// Folders that the journeys choose instead of the defaults: accents and blanks, a
// trailing backslash, two equal folders, a path of about 200 characters.
inline const std::u16string kAccentProgDir = u"C:\\Logiciels Brasmoor é";
inline const std::u16string kAccentProjDir = u"C:\\Données Orvelin à jour";
inline const std::u16string kTrailingDir = u"C:\\Orvelin\\";
inline const std::u16string kSharedDir = u"C:\\Orvelin Commun";
// A file that stands where a folder would go.
inline const std::u16string kBlockingFile = u"C:\\Orvelin bloqué";
std::u16string LongDir();

// Every test starts on a machine where Orvelin was never installed: no key of the
// program, none of its folders, links or temporary files, whatever an earlier test left.
class CleanMachine : public testing::Test {
protected:
  void SetUp() override;
};

// Files and folders.
bool Exists(const std::u16string& path);
bool IsFolder(const std::u16string& path);
void WriteFileText(const std::u16string& path, const std::string& bytes);
std::string ReadFileBytes(const std::u16string& path);
// The names in a folder (without "." and ".."); empty when it does not exist.
std::vector<std::u16string> FolderEntries(const std::u16string& folder);
void RemoveTree(const std::u16string& path);

// The per-user folder values, and the machine-wide values as the 32-bit program sees them.
std::u16string UserValue(const std::u16string& name);  // "<none>" when missing
void SetUserValue(const std::u16string& name, const std::u16string& value);
bool UserKeyPresent();
bool MachineKeyPresent();
// Sets who may do what with the per-user key, in the system's own notation ("D:(A;;KA;;;WD)":
// everyone everything); false when it cannot be set. CleanMachine gives it back to everyone.
bool SetUserKeyRules(const std::u16string& sddl);

// The steps through the pages. Each gives the new page, or null when it does not come.
HWND NextPage(DWORD processId, HWND window, int button, const std::u16string& caption);
HWND OpenFolderPage(const Process& setup);   // from the welcome page
HWND OpenInstallPage(const Process& setup);  // from the welcome page, with the folders shown
HWND OpenUninstallPage(const Process& setup);
// A folder chosen with the picker of the folder page's button (btnProg or btnDoss), typed
// into it as a user types it; the field then shows the folder, or shown when given (a name
// typed alone names a folder in the one that the picker shows). False when the picker or
// the field fails.
bool ChooseFolder(const Process& setup, HWND folders, int button, const std::u16string& folder,
                  const std::u16string& shown = u"");
// "Annuler" on a page, and its question answered ("Oui" or "Non"): a warning box with
// Yes and No, No by default (checked, and saved as a screenshot when named). Gives the
// question, or nothing when no such box comes.
std::optional<std::u16string> Cancel(const Process& setup, HWND page, const std::u16string& answer,
                                     const std::u16string& screenshot = u"");
// Ticks or unticks the page's boxes as a user does, by clicking those that differ.
void SetTicks(HWND page, std::initializer_list<std::pair<int, bool>> ticks);
// The install page in its Finished state, to its last step: "Installation terminée." and
// "Quitter" enabled in place of "Annuler".
bool IsFinished(HWND install);
// "Installer >", then the run until the page is finished; false when it does not get there.
bool InstallToTheEnd(HWND install);
// A whole installation with the default folders and ticks, ended with "Quitter": the
// state that the uninstall and reinstall journeys start from.
void InstallWithDefaults();

// What an installation leaves: the payload's files in the two folders (same names, same
// bytes), the machine-wide values and the Start-menu links, pointing at installDir.
void ExpectProgramInstalled(const std::u16string& installDir);
void ExpectProjectsInstalled(const std::u16string& projDir);
void ExpectLink(const std::u16string& link, const std::u16string& installDir,
                const std::u16string& target);

// A control as the page's design places it; its look, where it has one worth
// checking: a label centred (and underlined, or not) or left-aligned, a read-only field.
enum class Look { Any, Centred, Underlined, LeftAligned, ReadOnly };
struct ExpectedControl {
  int Id;
  std::u16string Text;
  RECT At96;  // left, top, right, bottom in the client area
  bool Checked = false;
  Look Style = Look::Any;
};
// Each control of the table: its text, its place, shown, enabled, ticked or not, its look.
void ExpectControls(HWND page, const std::vector<ExpectedControl>& table);

// A page and a message box as they look: the page's client area at the window's DPI,
// its controls inside it, none over another, no text cut at a control's edge; then the
// screenshot (name-<DPI>dpi.png).
void ExpectPageLooksRight(HWND page, const std::u16string& name);
void ExpectBoxLooksRight(HWND box, const std::u16string& name);

inline constexpr DWORD kRunLimit = 120000;  // ms for a whole install or uninstall run
