#include "shell/quietRun.h"

#include <exception>
#include <new>
#include <optional>

#include "install/installRun.h"
#include "install/uninstallRun.h"
#include "shell/defGlVar.h"
#include "shell/folderChoice.h"
#include "util/appError.h"
#include "util/clock.h"
#include "util/fileSystem.h"
#include "util/textCodec.h"
#include "util/utlDialogs.h"

namespace {
std::u16string Digits(int value, int width) {
  std::string digits = std::to_string(value);
  if (static_cast<int>(digits.size()) < width) digits.insert(0, width - digits.size(), '0');
  return std::u16string(digits.begin(), digits.end());
}

// The log of the run: one UTF-8 line a step, stamped, appended to the file given. A log
// that cannot be written is left out: nothing else could report it.
class QuietLog {
public:
  explicit QuietLog(std::u16string file) : file_(std::move(file)) {}

  void Write(const std::u16string& text) {
    if (file_.empty()) return;
    const LocalDateTime t = LocalNow();
    const std::u16string line = Digits(t.Year, 4) + u"-" + Digits(t.Month, 2) + u"-" + Digits(t.Day, 2) + u" " +
                                Digits(t.Hour, 2) + u":" + Digits(t.Minute, 2) + u":" + Digits(t.Second, 2) +
                                u" " + text + u"\r\n";
    try {
      auto log = fsys::File::OpenForAppend(file_);  // never through a link
      const std::string bytes = Utf16ToUtf8(line);
      log.Write(bytes.data(), bytes.size());
      log.Close();
    } catch (const AppError&) {
    }
  }

  int Outcome(int code, const std::u16string& text) {
    Write(text + u" (code de sortie " + Digits(code, 1) + u")");
    return code;
  }

private:
  std::u16string file_;
};

// The message boxes of a quiet run: none is shown; each goes to the log with the answer
// of a user who declines (No, or Cancel, where the box has them), so that no question
// ever waits and no retry repeats.
class QuietDialogs final : public DialogBackend {
public:
  explicit QuietDialogs(QuietLog& log) : log_(log), previous_(SetDialogBackend(this)) {}
  ~QuietDialogs() override { SetDialogBackend(previous_); }
  QuietDialogs(const QuietDialogs&) = delete;
  QuietDialogs& operator=(const QuietDialogs&) = delete;

  MsgButton ShowMessage(const MessageRequest& request) override {
    log_.Write(u"Message (" + request.Title + u") : " + request.Text);
    for (MsgButton declining : {MsgButton::No, MsgButton::Cancel, MsgButton::OK})
      for (MsgButton button : request.Buttons)
        if (button == declining) return button;
    return request.Buttons.empty() ? MsgButton::None : request.Buttons.front();
  }

  InputOutcome ShowInput(const InputRequest& request) override {
    log_.Write(u"Question : " + request.Lib);
    return {false, request.Input, request.Checked};
  }

private:
  QuietLog& log_;
  DialogBackend* previous_;
};

// The folder that the command line names, or the one that the start-up proposes.
std::optional<std::u16string> ChosenFolder(const std::u16string& given, const std::u16string& proposed) {
  if (given.empty()) return proposed;
  if (!fsys::IsFullPath(given)) return std::nullopt;
  return given;
}

void Install(const CommandLine& line, QuietLog& log) {
  const auto& s = InstallSettings;
  StoreFolders(*ChosenFolder(line.InstallDir, s.InstallDir), *ChosenFolder(line.ProjDir, s.ProjDir));
  log.Write(u"Dossier du programme : " + s.InstallDir);
  log.Write(u"Dossier projets : " + s.ProjDir);
  // The ticks that the install page would show.
  const InstallChoices choices{!line.NoProgram, !line.NoProgram && !line.NoDesktop,
                               !line.NoProjects && ProjectsFolderWanted()};
  if (choices.Program) {
    log.Write(choices.DesktopShortcut ? u"Installation du programme, avec le raccourci du bureau"
                                      : u"Installation du programme, sans raccourci sur le bureau");
    InstallProgram(choices.DesktopShortcut);
  }
  if (choices.ProjectsFolder) {
    log.Write(u"Installation du dossier projets");
    InstallData();
  } else if (!line.NoProjects) {
    log.Write(u"Le dossier projets existe déjà : il est laissé tel quel");
  }
}

void Uninstall(const CommandLine& line, QuietLog& log) {
  const auto& s = InstallSettings;
  DeleteUninstallBatch();  // as the uninstall page does when it opens
  log.Write(u"Désinstallation du programme : " + s.InstallDir);
  if (line.RemoveProjects) log.Write(u"Suppression du dossier projets : " + s.ProjDir);
  RunUninstall({true, line.RemoveProjects});
}
}  // namespace

int RunQuiet(const CommandLine& line, std::unique_ptr<GenSys> sys, const StartupEnvironment& env) {
  QuietLog log(line.LogFile);
  log.Write(line.Uninstall ? u"Désinstallation sans surveillance d'Orvelin" : u"Installation sans surveillance d'Orvelin");
  std::u16string fault = line.Fault;
  for (const std::u16string* folder : {&line.InstallDir, &line.ProjDir})
    if (fault.empty() && !ChosenFolder(*folder, u"")) fault = u"le dossier " + *folder + u" n'est pas un chemin complet";
  if (!fault.empty()) return log.Outcome(kBadCommandLine, u"Ligne de commande incorrecte : " + fault);

  QuietDialogs dialogs(log);
  const StartupOutcome startup = RunStartUp(std::move(sys), env);
  int code = kDone;
  std::u16string outcome = u"Opération terminée";
  if (startup == StartupOutcome::AnotherCopy) {
    code = kAnotherCopyRunning;
    outcome = u"Une autre copie du programme d'installation est en cours";
  } else if (startup == StartupOutcome::ApplicationRunning) {
    code = kApplicationRunning;
    outcome = u"Orvelin est en cours d'exécution";
  } else {
    try {
      line.Uninstall ? Uninstall(line, log) : Install(line, log);
    } catch (const AppError& error) {
      log.Write(u"Erreur : " + error.Message());
      code = kRunFailed;
    } catch (const std::bad_alloc&) {
      log.Write(u"Erreur : mémoire insuffisante");
      code = kRunFailed;
    } catch (const std::exception& error) {
      log.Write(u"Erreur : " + Utf8ToUtf16(error.what()));
      code = kRunFailed;
    }
    if (code != kDone) outcome = u"Opération interrompue";
    CloseJournal(true);
  }
  ReleaseServices();
  return log.Outcome(code, outcome);
}
