#include "install/uninstallRun.h"

#include "shell/defGlVar.h"
#include "util/fileSystem.h"
#include "util/utlFiles.h"

using fsys::PathSep;

void DeleteUninstallBatch() { DelFile(fsys::CurrentDir() + PathSep + u"uninstall.bat"); }

void RunUninstall(const UninstallChoices& choices) {
  // The projects are kept out of the program removal only when they are to stay.
  if (choices.Program) UninstallProgram(!choices.ProjectsFolder);
  if (choices.ProjectsFolder) UninstallData();
}

void UninstallProgram(bool keepProjects) {
  const auto& s = InstallSettings;
  const std::u16string key = u"Software\\" + s.PubName;
  Journal(u"Désinstallation d'Orvelin");
  // The projects folder may lie in the install folder, or be it: the program removal
  // leaves it to its own box.
  DelDir(s.InstallDir, keepProjects ? std::vector<std::u16string>{s.ProjDir}
                                    : std::vector<std::u16string>{});
  GSys->RemoveRegInfoKey(RegRoot::CurrentUser, key);
  GSys->RemoveRegInfoKey(RegRoot::LocalMachine, key);
  DelDir(s.MenuDir);
  if (!s.DeskDir.empty()) DelFile(s.DeskDir + PathSep + s.PubName + u".lnk");
  Journal(u"Désinstallation programmes terminée");
}

void UninstallData() { DelDir(InstallSettings.ProjDir); }
