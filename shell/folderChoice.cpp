#include "shell/folderChoice.h"

#include "shell/defGlVar.h"

void StoreFolders(const std::u16string& installDir, const std::u16string& projDir) {
  auto& s = InstallSettings;
  s.InstallDir = installDir;
  s.ProjDir = projDir;
  const std::u16string key = u"Software\\" + s.PubName;
  GSys->SetRegInfoStr(RegRoot::CurrentUser, key, u"InstallDir", s.InstallDir);
  GSys->SetRegInfoStr(RegRoot::CurrentUser, key, u"ProjDir", s.ProjDir);
}
