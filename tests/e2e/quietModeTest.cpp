// The unattended mode, as an administrator's deployment script runs it: no window at any
// moment, the outcome in the exit code and the log, and the same installation as the
// wizard's for the same choices.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

#include "tests/e2e/driver.h"
#include "system/clsSystem.h"
#include "tests/e2e/journeys.h"
#include "tests/win/winTestSupport.h"
#include "ui/controlIds.h"
#include "util/wideText_win.h"

using namespace ControlIds;

namespace {
using QuietMode = CleanMachine;         // the setup program alone: no display needed
using QuietModeBeside = CleanMachine;   // with other programs' windows

const std::u16string kLog = u"C:\\Déploiement\\orvelin.log";

// Runs the setup program with these parameters to its end; its exit code. It never
// shows, nor even makes, a window.
std::optional<DWORD> RunQuietly(const std::u16string& parameters) {
  SetupProcess setup(parameters);
  EXPECT_TRUE(setup.Started());
  const Process::Ending ending = setup.WatchUntilExit(kRunLimit);
  EXPECT_FALSE(ending.AnyWindow) << "a window appeared";
  EXPECT_TRUE(ending.CaptionsSeen.empty()) << Narrow(ending.CaptionsSeen.empty() ? u"" : ending.CaptionsSeen[0]);
  return ending.ExitCode;
}

// The log's lines without their time stamps; the file is UTF-8.
std::vector<std::u16string> LogLines() {
  const std::string bytes = ReadFileBytes(kLog);
  std::wstring text(MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, bytes.data(), static_cast<int>(bytes.size()),
                                        nullptr, 0),
                    L'\0');
  MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, bytes.data(), static_cast<int>(bytes.size()), text.data(),
                      static_cast<int>(text.size()));
  std::vector<std::u16string> lines;
  for (std::size_t at = 0; at < text.size();) {
    const std::size_t end = text.find(L"\r\n", at);
    const std::wstring line = text.substr(at, end - at);
    lines.push_back(line.size() > 20 ? FromW(line.c_str() + 20) : FromW(line.c_str()));  // "YYYY-MM-DD hh:nn:ss "
    at = end == std::wstring::npos ? text.size() : end + 2;
  }
  return lines;
}

bool Logged(const std::u16string& line) {
  const auto lines = LogLines();
  return std::find(lines.begin(), lines.end(), line) != lines.end();
}

void ResetLog() {
  RemoveTree(kLog.substr(0, kLog.rfind(u'\\')));
  CreateDirectoryW(W(kLog.substr(0, kLog.rfind(u'\\'))), nullptr);
}

// A file's content in short: its size and its FNV-1a hash.
std::u16string Fingerprint(const std::string& bytes) {
  std::uint64_t hash = 14695981039346656037u;
  for (unsigned char b : bytes) hash = (hash ^ b) * 1099511628211u;
  const std::string text = std::to_string(bytes.size()) + ":" + std::to_string(hash);
  return std::u16string(text.begin(), text.end());
}

// What an installation leaves, as one text per file, value and link: compared between a
// quiet run and the wizard.
std::vector<std::u16string> InstalledState(const std::u16string& installDir, const std::u16string& projDir) {
  std::vector<std::u16string> state;
  const auto walk = [&](const auto& self, const std::u16string& folder, const std::u16string& shown) -> void {
    for (const std::u16string& name : FolderEntries(folder)) {
      const std::u16string path = folder + u"\\" + name;
      if (IsFolder(path)) {
        self(self, path, shown + u"\\" + name);
      } else {
        state.push_back(shown + u"\\" + name + u" " + Fingerprint(ReadFileBytes(path)));
      }
    }
  };
  walk(walk, installDir, u"<programme>");
  walk(walk, projDir, u"<projets>");
  state.push_back(u"InstallDir=" + UserValue(u"InstallDir"));
  state.push_back(u"ProjDir=" + UserValue(u"ProjDir"));
  for (const char16_t* name : {u"DisplayName", u"UninstallString", u"NoModify", u"NoRepair"}) {
    const auto value = ReadRaw(RegRoot::LocalMachine, u"Software\\Brasmoor", name);
    state.push_back(std::u16string(name) + u"=" +
                    (value ? std::u16string(value->Data.begin(), value->Data.end()) : u"<none>"));
  }
  for (const std::u16string& link : {kMenuDir + u"\\Orvelin.lnk", kMenuDir + u"\\Uninstall.lnk", DesktopLink()}) {
    const LinkSettings settings = Exists(link) ? LoadLink(link) : LinkSettings{};
    state.push_back(link + u" -> " + settings.Target + u" | " + settings.Arguments + u" | " + settings.WorkingDir);
  }
  std::sort(state.begin(), state.end());
  return state;
}
}  // namespace

// The default quiet installation: the program, its links, the desktop link and the
// projects folder, the folders stored in the per-user key; then its log.
TEST_F(QuietMode, InstallsWhatTheInstallPageWouldTick) {
  ResetLog();
  ASSERT_EQ(RunQuietly(u"/QUIET \"/log=" + kLog + u"\""), std::optional<DWORD>(0));
  ExpectProgramInstalled(kInstallDir);
  ExpectProjectsInstalled(kProjDir);
  ExpectLink(DesktopLink(), kInstallDir, kInstallDir + u"\\Orvelin.exe");
  EXPECT_TRUE(UserValue(u"InstallDir") == kInstallDir);
  EXPECT_TRUE(UserValue(u"ProjDir") == kProjDir);
  EXPECT_FALSE(Exists(SetupProcess::WorkFolder() + u"\\Prog.zip"));

  const std::vector<std::u16string> expected = {
      u"Installation sans surveillance d'Orvelin",
      u"Dossier du programme : " + kInstallDir,
      u"Dossier projets : " + kProjDir,
      u"Installation du programme, avec le raccourci du bureau",
      u"Installation du dossier projets",
      u"Opération terminée (code de sortie 0)"};
  EXPECT_TRUE(LogLines() == expected);

  // Again, over the installation: the projects folder exists now and stays as it is.
  ASSERT_EQ(RunQuietly(u"/quiet /log=" + kLog), std::optional<DWORD>(0));
  EXPECT_TRUE(Logged(u"Le dossier projets existe déjà : il est laissé tel quel"));
}

// Chosen folders, without the desktop link and the projects folder: an earlier desktop
// link goes, as on the install page with its box unticked.
TEST_F(QuietMode, ChosenFoldersWithoutDesktopLinkAndProjects) {
  WriteFileText(DesktopLink(), "un ancien raccourci");
  const std::u16string parameters = u"/quiet \"/installdir=" + kAccentProgDir + u"\" \"/projdir=" + kAccentProjDir +
                                    u"\" /nodesktop /noprojects";
  ASSERT_EQ(RunQuietly(parameters), std::optional<DWORD>(0));
  ExpectProgramInstalled(kAccentProgDir);
  EXPECT_FALSE(Exists(DesktopLink()));
  EXPECT_FALSE(Exists(kAccentProjDir));
  EXPECT_TRUE(UserValue(u"InstallDir") == kAccentProgDir);
  EXPECT_TRUE(UserValue(u"ProjDir") == kAccentProjDir);

  // Only the projects folder, into the stored one.
  ASSERT_EQ(RunQuietly(u"/quiet /noprogram"), std::optional<DWORD>(0));
  ExpectProjectsInstalled(kAccentProjDir);
}

// The quiet removal takes the program and leaves the projects; /removeprojects takes them too.
TEST_F(QuietMode, UninstallThenRemoveTheProjects) {
  ASSERT_EQ(RunQuietly(u"/quiet"), std::optional<DWORD>(0));
  WriteFileText(SetupProcess::WorkFolder() + u"\\uninstall.bat", "@echo off");
  ASSERT_EQ(RunQuietly(u"uninstall /quiet"), std::optional<DWORD>(0));
  EXPECT_FALSE(Exists(kInstallDir));
  EXPECT_FALSE(Exists(kMenuDir));
  EXPECT_FALSE(Exists(DesktopLink()));
  EXPECT_FALSE(UserKeyPresent());
  EXPECT_FALSE(MachineKeyPresent());
  EXPECT_FALSE(Exists(SetupProcess::WorkFolder() + u"\\uninstall.bat"));
  ExpectProjectsInstalled(kProjDir);

  ASSERT_EQ(RunQuietly(u"Uninstall /quiet /removeprojects"), std::optional<DWORD>(0));
  EXPECT_FALSE(Exists(kProjDir));
}

// A run that fails ends with code 3 and the error in the log; a bad command line with
// code 4, before anything is changed.
TEST_F(QuietMode, FailuresAndBadCommandLinesHaveTheirCodes) {
  ResetLog();
  SetUserValue(u"InstallDir", u"Q:\\Brasmoor");  // a drive that does not exist
  ASSERT_EQ(RunQuietly(u"/quiet /noprojects /log=" + kLog), std::optional<DWORD>(3));
  const auto lines = LogLines();
  ASSERT_GE(lines.size(), 2u);
  EXPECT_EQ(lines.back(), u"Opération interrompue (code de sortie 3)");
  EXPECT_EQ(lines[lines.size() - 2].rfind(u"Erreur : ", 0), 0u) << Narrow(lines[lines.size() - 2]);
  EXPECT_FALSE(MachineKeyPresent());

  RegDeleteTreeW(HKEY_CURRENT_USER, L"Software\\Brasmoor");
  for (const char16_t* bad : {u"/quiet /bogus", u"/quiet /installdir=", u"/quiet /log", u"/quiet /removeprojects",
                              u"uninstall /quiet /nodesktop", u"/quiet /installdir=Brasmoor"}) {
    ResetLog();
    EXPECT_EQ(RunQuietly(std::u16string(bad) + u" /log=" + kLog), std::optional<DWORD>(4)) << Narrow(bad);
    ASSERT_FALSE(LogLines().empty());
    EXPECT_EQ(LogLines().back().rfind(u"Ligne de commande incorrecte : ", 0), 0u) << Narrow(bad);
    EXPECT_FALSE(UserKeyPresent()) << "nothing changed";
    EXPECT_FALSE(Exists(kInstallDir)) << "nothing changed";
  }
}

// Another copy of the setup program running: code 1, nothing changed. The application
// running: code 2, and the message that the box would show goes to the log.
TEST_F(QuietModeBeside, RefusalsOfTheStartUpHaveTheirCodes) {
  {
    SetupProcess wizard;
    ASSERT_TRUE(WaitForWindow(wizard.Id(), InstallCaption()));
    RegDeleteTreeW(HKEY_CURRENT_USER, L"Software\\Brasmoor");
    EXPECT_EQ(RunQuietly(u"/quiet"), std::optional<DWORD>(1));
    EXPECT_FALSE(UserKeyPresent());
  }

  ASSERT_EQ(RunQuietly(u"/quiet"), std::optional<DWORD>(0));
  Process application(kInstallDir + u"\\Orvelin.exe", u"", kInstallDir);
  ASSERT_TRUE(WaitUntil([&] { return !VisibleWindows(application.Id()).empty(); }));
  ResetLog();
  EXPECT_EQ(RunQuietly(u"uninstall /quiet /log=" + kLog), std::optional<DWORD>(2));
  EXPECT_TRUE(Logged(u"Message (Informations) : Veuillez fermer l'instance active d'Orvelin."));
  EXPECT_EQ(LogLines().back(), u"Orvelin est en cours d'exécution (code de sortie 2)");
  ExpectProgramInstalled(kInstallDir);
}

// The wizard with its default choices and the quiet run leave the same files, values and
// links.
TEST_F(QuietModeBeside, LeavesWhatTheWizardLeaves) {
  ASSERT_NO_FATAL_FAILURE(InstallWithDefaults());
  const auto byWizard = InstalledState(kInstallDir, kProjDir);
  ASSERT_GT(byWizard.size(), 266u) << "the payload's 266 files, the values and the links";
  SetUp();  // a clean machine again
  ASSERT_EQ(RunQuietly(u"/quiet"), std::optional<DWORD>(0));
  EXPECT_TRUE(InstalledState(kInstallDir, kProjDir) == byWizard);
}

// "/?" shows the commands and the exit codes, and changes nothing.
TEST_F(QuietModeBeside, HelpShowsTheCommandsAndChangesNothing) {
  SetupProcess setup(u"/?");
  const auto help = AnswerBox(setup.Id(), u"Informations", u"OK");
  ASSERT_TRUE(help);
  for (const char16_t* part : {u"/quiet", u"/installdir=DOSSIER", u"/log=FICHIER", u"Codes de sortie",
                               u"4 : ligne de commande incorrecte"})
    EXPECT_NE(help->find(part), std::u16string::npos) << Narrow(part);
  EXPECT_EQ(setup.WaitExit(), std::optional<DWORD>(0));
  EXPECT_FALSE(UserKeyPresent());
  EXPECT_FALSE(Exists(kInstallDir));
}
