#include "shell/startup.h"

#include "shell/defGlVar.h"
#include "util/appError.h"
#include "util/dataResource.h"
#include "util/fileSystem.h"
#include "util/textCodec.h"
#include "util/utlDialogs.h"
#include "util/utlFiles.h"

using fsys::PathSep;

namespace {
std::u16string Decimal(int n) {
  const std::string digits = std::to_string(n);
  return std::u16string(digits.begin(), digits.end());
}

std::u16string JoinPath(std::u16string path, std::initializer_list<std::u16string_view> names) {
  for (const auto name : names) (path += PathSep) += name;
  return path;
}

// The payload's version: the first line of Resource_3. A program without it still
// installs nothing wrong and uninstalls; its captions just carry no version.
std::u16string PayloadVersion() {
  try {
    return FromAnsi(FirstLine(ReadDataResource(u"Resource_3")));
  } catch (const AppError&) {
    return u"";
  }
}
}  // namespace

StartupOutcome RunStartUp(std::unique_ptr<GenSys> sys, const StartupEnvironment& env) {
  GSys = std::move(sys);

  // A second copy of the setup program leaves quietly; the first goes on undisturbed.
  if (GSys->InstancesCount(u"Setup_Orvelin.exe") >= 2) return StartupOutcome::AnotherCopy;

  const int running = GSys->InstancesCount(u"Orvelin.exe");
  if (running >= 1) {
    const std::u16string which =
        running == 1 ? u"l'instance active" : u"les " + Decimal(running) + u" instances actives";
    MsgDlg(u"Veuillez fermer " + which + u" d'Orvelin.", u"O", u"O", u"I");
    return StartupOutcome::ApplicationRunning;
  }

  auto& s = InstallSettings;
  s.Version = PayloadVersion();
  s.PubName = u"Brasmoor";
  s.ProdName = u"Orvelin";
  s.WorkDir = env.WorkDir;
  s.DeskDir = env.DeskDir;
  s.MenuDir = JoinPath(env.SystemDrive, {u"ProgramData", u"Microsoft", u"Windows", u"Start Menu",
                                         u"Programs", s.PubName});

  const std::u16string key = u"Software\\" + s.PubName;
  GSys->ValidateRegInfoKey(RegRoot::CurrentUser, key);
  s.InstallDir = GSys->GetRegInfoValue(RegRoot::CurrentUser, key, u"InstallDir");
  s.ProjDir = GSys->GetRegInfoValue(RegRoot::CurrentUser, key, u"ProjDir");
  if (s.InstallDir.empty()) s.InstallDir = JoinPath(env.SystemDrive, {u"Program Files (x86)", s.PubName});
  ForceDirs(s.InstallDir);  // before the user has confirmed anything
  if (s.ProjDir.empty()) s.ProjDir = JoinPath(env.SystemDrive, {u"Orvelin Projets"});

  // The marker is looked for once, here, in the install folder known now.
  const bool debug = fsys::IsFile(s.InstallDir + PathSep + u"inst.dbg");
  PDbg = std::make_unique<PlDebug>(debug, s.InstallDir + PathSep + u"Journaux");
  SetMessageFailureJournal(&Journal);  // a box that nobody saw is written down
  Journal(u"Lancement Setup_Orvelin");
  return StartupOutcome::Running;
}

bool StartUp(std::unique_ptr<GenSys> sys, const StartupEnvironment& env) {
  return RunStartUp(std::move(sys), env) == StartupOutcome::Running;
}

std::u16string InstallCaption() { return u"Installation Orvelin " + InstallSettings.Version; }

void CloseJournal(bool InitOK) {
  if (InitOK) Journal(u"Fermeture Setup_Orvelin");
}

void ReleaseServices() {
  GSys.reset();
  PDbg.reset();
}
