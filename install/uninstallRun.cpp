#include "install/uninstallRun.h"

#include "shell/defGlVar.h"
#include "util/fileSystem.h"
#include "util/utlFiles.h"

using fsys::PathSep;

void DeleteUninstallBatch() { DelFile(fsys::CurrentDir() + PathSep + u"uninstall.bat"); }

void RunUninstall(const UninstallChoices& choices) {
  if (choices.Program) UninstallProgram();
  if (choices.ProjectsFolder) UninstallData();
}

void UninstallProgram() {
  const auto& s = InstallSettings;
  const std::u16string key = u"Software\\" + s.PubName;
  Journal(u"Désinstallation d'Orvelin");
  // The projects folder may lie in the install folder, or be it: the program removal
  // leaves it to its own box.
  DelDir(s.InstallDir, {s.ProjDir});
  GSys->RemoveRegInfoKey(RegRoot::CurrentUser, key);
  GSys->RemoveRegInfoKey(RegRoot::LocalMachine, key);
  DelDir(s.MenuDir);
  if (!s.DeskDir.empty()) DelFile(s.DeskDir + PathSep + s.PubName + u".lnk");
  Journal(u"Désinstallation programmes terminée");
}

void UninstallData() { DelDir(InstallSettings.ProjDir); }
