#include "install/installRun.h"

#include "install/payload.h"
#include "install/shortcut.h"
#include "shell/defGlVar.h"
#include "util/fileSystem.h"
#include "util/utlFiles.h"

using fsys::PathSep;

bool ProjectsFolderWanted() { return !fsys::IsDir(InstallSettings.ProjDir); }

void RunInstall(const InstallChoices& choices) {
  if (choices.Program) InstallProgram(choices.DesktopShortcut);
  if (choices.ProjectsFolder) InstallData();
}

void InstallProgram(bool desktopShortcut) {
  const auto& s = InstallSettings;
  const std::u16string key = u"Software\\" + s.PubName;
  const std::u16string application = s.InstallDir + PathSep + s.ProdName + u".exe";
  // Without a known desktop there is no desktop shortcut to replace or make: joining
  // the name to an empty folder would name a file at the root of the current drive.
  const bool hasDesktop = !s.DeskDir.empty();
  const std::u16string desktopLink = s.DeskDir + PathSep + s.PubName + u".lnk";

  Journal(u"Installation d'Orvelin");
  if (hasDesktop) DelFile(desktopLink);  // whatever the user ticked
  DelDir(s.InstallDir + PathSep + u"Aide");
  ExtractPayload(u"Resource_1", u"Prog", s.InstallDir);
  GSys->SetRegInfoStr(RegRoot::LocalMachine, key, u"DisplayName", s.ProdName);
  GSys->SetRegInfoStr(RegRoot::LocalMachine, key, u"UninstallString", u"Uninstall");
  GSys->SetRegInfoInt(RegRoot::LocalMachine, key, u"NoModify", 1);
  GSys->SetRegInfoInt(RegRoot::LocalMachine, key, u"NoRepair", 1);
  ForceDirs(s.MenuDir);
  CreateShortcut(application, s.MenuDir + PathSep + s.ProdName + u".lnk", u"", u"");
  CreateShortcut(s.InstallDir + PathSep + u"Uninstall.exe", s.MenuDir + PathSep + u"Uninstall.lnk", u"", u"");
  if (desktopShortcut && hasDesktop) CreateShortcut(application, desktopLink, u"", u"");
  Journal(u"Installation programmes terminée");
}

void InstallData() { ExtractPayload(u"Resource_2", u"Data", InstallSettings.ProjDir); }
