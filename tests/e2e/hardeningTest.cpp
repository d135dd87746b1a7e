// The setup program runs as administrator, often from the Downloads folder, which every
// program of the user can write: what such a program plants there must not run with the
// setup program's rights, nor be installed in place of the payload.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <memory>
#include <string>
#include <vector>

#include "tests/e2e/driver.h"
#include "tests/e2e/journeys.h"
#include "tests/win/winTestSupport.h"
#include "tools/zipWriter.h"
#include "ui/controlIds.h"
#include "util/wideText_win.h"

using namespace ControlIds;

namespace {
using Hardening = CleanMachine;

const std::u16string kDownloads = u"C:\\Téléchargements";
const char16_t* const kPlantedNames[] = {u"version.dll", u"comctl32.dll", u"uxtheme.dll"};

// Wine looks for a DLL beside the program first only where its load order prefers a
// DLL of the program's own over its built-in one, as Windows does for every DLL that
// is not on its known-DLL list: set for the program while the holder lives.
class PreferDllsBeside {
public:
  explicit PreferDllsBeside(const std::u16string& program)
      : key_(u"Software\\Wine\\AppDefaults\\" + program + u"\\DllOverrides") {
    const std::u16string order = u"native,builtin";
    for (const char16_t* dll : kPlantedNames) {
      const std::u16string name = std::u16string(dll).substr(0, std::u16string(dll).find(u'.'));
      RegSetKeyValueW(HKEY_CURRENT_USER, W(key_), W(name), REG_SZ, W(order),
                      static_cast<DWORD>((order.size() + 1) * sizeof(char16_t)));
    }
  }
  ~PreferDllsBeside() { RegDeleteTreeW(HKEY_CURRENT_USER, W(key_)); }

private:
  std::u16string key_;
};

// A copy of program in a folder of its own, with the planted DLLs beside it.
std::u16string PlantBeside(const std::u16string& program, const std::u16string& folder) {
  RemoveTree(folder);
  CreateDirectoryW(W(folder), nullptr);
  const std::u16string copy = folder + u"\\" + program.substr(program.find_last_of(u"\\/") + 1);
  EXPECT_TRUE(CopyFileW(W(program), W(copy), FALSE));
  const std::u16string planted = TestProgramFolder() + u"\\planted_dll.dll";
  for (const char16_t* dll : kPlantedNames)
    EXPECT_TRUE(CopyFileW(W(planted), W(folder + u"\\" + dll), FALSE));
  return copy;
}

// The markers that the planted DLLs in the folder left when they were loaded, in lower
// case (a DLL bears the name under which it was asked for).
std::vector<std::string> Markers(const std::u16string& folder) {
  std::vector<std::string> markers;
  for (const std::u16string& name : FolderEntries(folder)) {
    if (name.size() <= 7 || name.substr(name.size() - 7) != u".loaded") continue;
    std::string marker(name.begin(), name.end());
    for (char& c : marker) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    markers.push_back(marker);
  }
  std::sort(markers.begin(), markers.end());
  return markers;
}
}  // namespace

// Starts a copy of program with the planted DLLs beside it, preferred to the system's,
// until it ends; the markers of the DLLs that it loaded.
std::vector<std::string> MarkersOf(const std::u16string& program, const std::u16string& folder) {
  const std::u16string copy = PlantBeside(TestProgramFolder() + u"\\" + program, folder);
  PreferDllsBeside order(program);
  Process run(copy, u"", folder);
  EXPECT_TRUE(run.Started());
  run.WaitExit();
  return Markers(folder);
}

// A version.dll, a comctl32.dll and a uxtheme.dll beside the program, preferred to the
// system's: the program starts and shows its pages, and none of them is loaded. The
// controls: a program that takes them with the default search loads all three; one that
// imports the known DLLs only shows what the system loads before a program's first
// instruction: Wine's own user32 imports version.dll (Windows' does not), and no program
// can keep that out.
TEST_F(Hardening, DllsPlantedBesideTheProgramAreNeverLoaded) {
  const std::vector<std::string> all = {"comctl32.dll.loaded", "uxtheme.dll.loaded", "version.dll.loaded"};
  EXPECT_EQ(MarkersOf(u"dll_importer.exe", u"C:\\Contrôle importeur"), all);
  const auto bySystem = MarkersOf(u"known_dlls_only.exe", u"C:\\Contrôle système");
  std::vector<std::string> beforeTheProgram;
  if (std::find(bySystem.begin(), bySystem.end(), "version.dll.loaded") != bySystem.end())
    beforeTheProgram.push_back("version.dll.loaded");

  const std::u16string program = PlantBeside(Settings().Program, kDownloads);
  PreferDllsBeside order(u"Setup_Orvelin.exe");
  Process setup(program, u"", kDownloads);
  HWND welcome = WaitForWindow(setup.Id(), InstallCaption());
  ASSERT_TRUE(welcome) << "the program does not show its window";
  HWND folders = NextPage(setup.Id(), welcome, btnSuiv, InstallCaption());
  ASSERT_TRUE(folders);
  ASSERT_TRUE(Click(Control(folders, btnPrec)));
  EXPECT_EQ(setup.WaitExit(), std::optional<DWORD>(0));
  EXPECT_EQ(Markers(kDownloads), beforeTheProgram);
}

// A Prog.zip of other files in the working folder, held open by another program that
// lets others read it: the retry prompt, answered "Non", ends the run with the write's
// error, and nothing of that archive is installed.
TEST_F(Hardening, AStaleArchiveHeldOpenIsNeverInstalled) {
  ZipWriter writer;
  const std::string staleText = "une archive périmée";
  writer.Add("périmé.txt", {2020, 1, 1, 0, 0, 0, 0},
             std::vector<std::uint8_t>(staleText.begin(), staleText.end()));
  const std::vector<std::uint8_t> archive = writer.Finish();
  const std::u16string stale = SetupProcess::WorkFolder() + u"\\Prog.zip";
  WriteFileText(stale, std::string(archive.begin(), archive.end()));
  // Closed however the test ends: left open, it would stop the journeys after this one.
  const std::unique_ptr<void, decltype(&CloseHandle)> held(
      CreateFileW(W(stale), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr), &CloseHandle);
  ASSERT_NE(held.get(), INVALID_HANDLE_VALUE);

  SetupProcess setup;
  HWND install = OpenInstallPage(setup);
  ASSERT_TRUE(install);
  ASSERT_TRUE(Click(Control(install, btnInstall)));
  HWND prompt = WaitForWindow(setup.Id(), u"Erreur", kRunLimit);
  ASSERT_TRUE(prompt) << "no retry prompt";
  const BoxContent retry = ReadBox(prompt);
  EXPECT_TRUE(retry.Buttons == (std::vector<std::u16string>{u"Oui", u"Non"}));
  const std::u16string question = u"\r\n\r\nRéessayer ?";
  ASSERT_GT(retry.Message.size(), question.size());
  EXPECT_TRUE(retry.Message.substr(retry.Message.size() - question.size()) == question);
  EXPECT_NE(retry.Message.find(stale), std::u16string::npos);
  ASSERT_TRUE(AnswerBox(setup.Id(), u"Erreur", u"Non"));

  // The run ends with the write's error, shown once more without the question.
  const auto error = AnswerBox(setup.Id(), u"Erreur", u"OK", kRunLimit);
  ASSERT_TRUE(error) << "the run did not end with the write's error";
  EXPECT_TRUE(*error == retry.Message.substr(0, retry.Message.size() - question.size()));
  EXPECT_TRUE(TextOf(Control(install, lbInst)) == u"Installation en cours.");
  PressCloseBox(install);
  HWND folders = WaitForWindow(setup.Id(), InstallCaption());
  ASSERT_TRUE(folders);
  ASSERT_TRUE(Click(Control(folders, btnPrec)));
  EXPECT_EQ(setup.WaitExit(), std::optional<DWORD>(0));

  EXPECT_FALSE(Exists(kInstallDir + u"\\périmé.txt"));
  EXPECT_FALSE(Exists(kInstallDir + u"\\Orvelin.exe"));
  EXPECT_TRUE(ReadFileBytes(stale) == std::string(archive.begin(), archive.end()));
  EXPECT_FALSE(MachineKeyPresent());
}
