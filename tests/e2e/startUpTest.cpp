// The start-up seen from outside: a second copy refused in silence, the running
// application named in a notice, and the debug journal that a marker file switches on.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <regex>
#include <string>
#include <vector>

#include "tests/e2e/driver.h"
#include "tests/e2e/journeys.h"
#include "ui/controlIds.h"
#include "util/wideText_win.h"

using namespace ControlIds;

namespace {
using StartUp = CleanMachine;

const std::u16string kJournalDir = kInstallDir + u"\\Journaux";

void SwitchJournalOn() {
  CreateDirectoryW(W(kInstallDir), nullptr);
  WriteFileText(kInstallDir + u"\\inst.dbg", "");
}

// "YYYYMMDDhhnnss" of the local time now: journal stamps compare with it as text.
std::string Now() {
  SYSTEMTIME t;
  GetLocalTime(&t);
  char text[16];
  std::snprintf(text, sizeof text, "%04d%02d%02d%02d%02d%02d", t.wYear, t.wMonth, t.wDay, t.wHour,
                t.wMinute, t.wSecond);
  return text;
}

// The lines of a journal's text, each "[DD/MM/YYYY hh:nn:ss] " and a text ending in CR LF,
// their stamps in order between from and to; gives the texts.
std::vector<std::string> LineTexts(const std::string& bytes, const std::string& from,
                                   const std::string& to) {
  std::vector<std::string> texts;
  const std::regex line(R"(\[(\d\d)/(\d\d)/(\d{4}) (\d\d):(\d\d):(\d\d)\] ([^\r\n]*)\r\n)");
  std::string last = from;
  auto at = bytes.cbegin();
  for (std::smatch match; std::regex_search(at, bytes.cend(), match, line,
                                            std::regex_constants::match_continuous);
       at = match.suffix().first) {
    const std::string when = match[3].str() + match[2].str() + match[1].str() + match[4].str() +
                             match[5].str() + match[6].str();
    EXPECT_TRUE(last <= when && when <= to) << match[0];
    last = when;
    texts.push_back(match[7].str());
  }
  EXPECT_TRUE(at == bytes.cend()) << "every line stamped and ended by CR LF:\n" << bytes;
  return texts;
}

// The one journal file of a run, named by the time it was started (between from and to).
std::u16string JournalFile(const std::string& from, const std::string& to) {
  const std::vector<std::u16string> files = FolderEntries(kJournalDir);
  EXPECT_EQ(files.size(), 1u) << "one journal file";
  if (files.size() != 1) return u"";
  const std::string name(files[0].begin(), files[0].end());
  std::smatch stamp;
  EXPECT_TRUE(std::regex_match(name, stamp, std::regex(R"((\d{4})-(\d\d)-(\d\d)-(\d{6})\.jnl)")))
      << name;
  if (!stamp.empty()) {
    const std::string named = stamp[1].str() + stamp[2].str() + stamp[3].str() + stamp[4].str();
    EXPECT_TRUE(from <= named && named <= to) << name;
  }
  return kJournalDir + u"\\" + files[0];
}

// The journal of one run: its texts.
std::vector<std::string> JournalTexts(const std::string& from, const std::string& to) {
  const std::u16string file = JournalFile(from, to);
  return file.empty() ? std::vector<std::string>{} : LineTexts(ReadFileBytes(file), from, to);
}

TEST_F(StartUp, ASecondCopyIsRefusedInSilence) {
  SwitchJournalOn();
  const std::string from = Now();
  SetupProcess first;
  HWND welcome = WaitForWindow(first.Id(), InstallCaption());
  ASSERT_TRUE(welcome);

  // Also with the parameter "uninstall": no uninstall page either.
  for (const char16_t* arguments : {u"", u"uninstall"}) {
    SetupProcess second(arguments);
    ASSERT_TRUE(second.Started());
    const Process::Ending ending = second.WatchUntilExit();
    EXPECT_EQ(ending.ExitCode, std::optional<DWORD>(0));
    EXPECT_TRUE(ending.CaptionsSeen.empty()) << "no window, no message, no page";
  }

  // The first copy goes on as if nothing happened.
  EXPECT_TRUE(IsShown(welcome));
  HWND folders = NextPage(first.Id(), welcome, btnSuiv, InstallCaption());
  ASSERT_TRUE(folders);
  ASSERT_TRUE(Click(Control(folders, btnPrec)));
  EXPECT_EQ(first.WaitExit(), std::optional<DWORD>(0));
  EXPECT_EQ(JournalTexts(from, Now()),
            (std::vector<std::string>{"Lancement Setup_Orvelin", "Fermeture Setup_Orvelin"}))
      << "the second copy writes no line";
}

// The installed application, started from its Start-menu shortcut and from its folder:
// the setup program asks to close it, and ends.
TEST_F(StartUp, TheRunningApplicationIsNamedAndTheSetupEnds) {
  ASSERT_NO_FATAL_FAILURE(InstallWithDefaults());
  Process fromMenu(kMenuDir + u"\\Orvelin.lnk", u"", u"");
  ASSERT_TRUE(fromMenu.Started());
  ASSERT_TRUE(WaitForWindow(fromMenu.Id(), u"Orvelin")) << "the shortcut starts the application";

  const auto expectNotice = [](const std::u16string& text, const std::u16string& screenshot) {
    SetupProcess setup;
    HWND box = WaitForWindow(setup.Id(), u"Informations");
    ASSERT_TRUE(box);
    const BoxContent notice = ReadBox(box);
    EXPECT_TRUE(notice.Message == text);
    EXPECT_TRUE(notice.Buttons == std::vector<std::u16string>{u"OK"});
    if (!screenshot.empty()) {
      ExpectBoxLooksRight(box, screenshot);
      EXPECT_EQ(Snapshot(box).HueOf(Control(box, 20)), Snapshot::Hue::Blue) << "information";
    }
    ASSERT_TRUE(AnswerBox(setup.Id(), u"Informations", u"OK"));
    const Process::Ending ending = setup.WatchUntilExit();
    EXPECT_EQ(ending.ExitCode, std::optional<DWORD>(0));
    EXPECT_FALSE(ending.Saw(InstallCaption())) << "no welcome page";
  };
  expectNotice(u"Veuillez fermer l'instance active d'Orvelin.", u"notice-box");

  Process fromFolder(kInstallDir + u"\\Orvelin.exe", u"", kInstallDir);
  ASSERT_TRUE(WaitForWindow(fromFolder.Id(), u"Orvelin"));
  expectNotice(u"Veuillez fermer les 2 instances actives d'Orvelin.", u"");
}

// Debug mode: a journey writes its lines in order, and the closing line once. The whole
// install journey; and the removal of the projects alone, which leaves the journal in
// place with the uninstall page's lines.
struct Journey {
  const char* Name;
  void (*Walk)(const Process& setup);  // to the program's end
  std::vector<std::string> Lines;      // Windows-1252 texts: "é" is the one byte E9
};

void InstallAndGoBack(const Process& setup) {
  HWND install = OpenInstallPage(setup);
  ASSERT_TRUE(install);
  ASSERT_TRUE(InstallToTheEnd(install));
  PressCloseBox(install);
  ASSERT_TRUE(WaitUntilGone(install));
  HWND folders = WaitForWindow(setup.Id(), InstallCaption());
  ASSERT_TRUE(folders);
  ASSERT_TRUE(Click(Control(folders, btnPrec)));
}

void RemoveTheProjectsAlone(const Process& setup) {
  HWND page = OpenUninstallPage(setup);
  ASSERT_TRUE(page);
  SetTicks(page, {{cbInstProg, false}, {cbInstDoss, true}});
  ASSERT_TRUE(Click(Control(page, btnUninst)));
  ASSERT_EQ(AnswerBox(setup.Id(), u"Avertissement", u"OK", kRunLimit),
            std::u16string(u"Désinstallation terminée."));
  HWND welcome = WaitForWindow(setup.Id(), InstallCaption());
  ASSERT_TRUE(welcome);
  ASSERT_TRUE(Click(Control(welcome, btnQuit)));
}

class JournalOfAJourney : public CleanMachine, public testing::WithParamInterface<Journey> {};

TEST_P(JournalOfAJourney, HoldsItsLinesInOrder) {
  SwitchJournalOn();
  const std::string from = Now();
  SetupProcess setup;
  ASSERT_NO_FATAL_FAILURE(GetParam().Walk(setup));
  ASSERT_EQ(setup.WaitExit(), std::optional<DWORD>(0));
  EXPECT_EQ(JournalTexts(from, Now()), GetParam().Lines);
}

INSTANTIATE_TEST_SUITE_P(
    StartUp, JournalOfAJourney,
    testing::Values(
        Journey{"Install", &InstallAndGoBack,
                {"Lancement Setup_Orvelin", "Entr\xE9" "e dans FAInstall", "Installation d'Orvelin",
                 "Installation programmes termin\xE9" "e", "Sortie de FAInstall",
                 "Fermeture Setup_Orvelin"}},
        Journey{"ProjectsRemoval", &RemoveTheProjectsAlone,
                {"Lancement Setup_Orvelin", "Entr\xE9" "e dans FAUninstall",
                 "Sortie de FAUninstall", "Fermeture Setup_Orvelin"}}),
    [](const auto& info) { return std::string(info.param.Name); });

// Debug mode during an uninstall: the program removal takes the journal's folder with
// it, so each later line offers to try again; No lets the program go on to its end.
TEST_F(StartUp, TheJournalLostInAnUninstallOffersARetry) {
  SwitchJournalOn();
  const std::string from = Now();
  SetupProcess setup;
  HWND page = OpenUninstallPage(setup);
  ASSERT_TRUE(page);
  // A second name for the journal outside the install folder keeps what was written
  // before the folder went.
  const std::u16string kept = SetupProcess::WorkFolder() + u"\\journal.jnl";
  ASSERT_TRUE(CreateHardLinkW(W(kept), W(JournalFile(from, Now())), nullptr));
  ASSERT_TRUE(Click(Control(page, btnUninst)));

  // "Désinstallation programmes terminée": Yes tries again and fails again; No goes on.
  HWND prompt = WaitForWindow(setup.Id(), u"Erreur", kRunLimit);
  ASSERT_TRUE(prompt);
  const BoxContent retry = ReadBox(prompt);
  EXPECT_TRUE(retry.Message.ends_with(u"\r\n\r\nRéessayer ?"));
  EXPECT_TRUE(retry.Buttons == (std::vector<std::u16string>{u"Oui", u"Non"}));
  EXPECT_TRUE(retry.DefaultButton == u"Oui");
  ExpectBoxLooksRight(prompt, u"retry-box");
  EXPECT_EQ(Snapshot(prompt).HueOf(Control(prompt, 20)), Snapshot::Hue::Red) << "an error";
  EXPECT_EQ(AnswerBox(setup.Id(), u"Erreur", u"Oui"), retry.Message);
  EXPECT_EQ(AnswerBox(setup.Id(), u"Erreur", u"Non"), retry.Message);

  EXPECT_EQ(AnswerBox(setup.Id(), u"Avertissement", u"OK"),
            std::u16string(u"Désinstallation terminée."));
  EXPECT_EQ(AnswerBox(setup.Id(), u"Erreur", u"Non"), retry.Message) << "Sortie de FAUninstall";
  HWND welcome = WaitForWindow(setup.Id(), InstallCaption());
  ASSERT_TRUE(welcome);
  ASSERT_TRUE(Press(Control(welcome, btnQuit)));
  EXPECT_EQ(AnswerBox(setup.Id(), u"Erreur", u"Non"), retry.Message) << "Fermeture Setup_Orvelin";
  EXPECT_EQ(setup.WaitExit(), std::optional<DWORD>(0));
  EXPECT_FALSE(Exists(kInstallDir));
  EXPECT_EQ(LineTexts(ReadFileBytes(kept), from, Now()),
            (std::vector<std::string>{"Lancement Setup_Orvelin", "Entr\xE9" "e dans FAUninstall",
                                      "D\xE9sinstallation d'Orvelin"}))
      << "written before the journal's folder went";
}
}  // namespace
