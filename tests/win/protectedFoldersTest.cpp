// The tree deletion against the system's own folders, as the running program sees them:
// a 32-bit program on 64-bit Windows sees "Program Files (x86)" as its Program Files
// and cannot ask for the 64-bit one, which must stay protected all the same.
#include <windows.h>
#include <knownfolders.h>
#include <shlobj.h>

#include <gtest/gtest.h>

#include <algorithm>

#include "install/uninstallRun.h"
#include "shell/defGlVar.h"
#include "shell/startup.h"
#include "tests/support/tempDir.h"
#include "tests/win/winTestSupport.h"
#include "util/fileSystem.h"
#include "util/utlFiles.h"
#include "util/wideText_win.h"

namespace {
std::u16string Known(REFKNOWNFOLDERID id) {
  wchar_t* path = nullptr;
  std::u16string result;
  if (SUCCEEDED(SHGetKnownFolderPath(id, KF_FLAG_CREATE, nullptr, &path))) result = FromW(path);
  CoTaskMemFree(path);
  return result;
}

// Every folder that an uninstallation must leave whole, named as a user, a stale
// registry value or the folder picker may name it. The Program Files folders are
// spelled out: a 32-bit process's own queries would give only the 32-bit ones.
std::vector<std::u16string> ProtectedFolders() {
  std::vector<std::u16string> folders = {
      u"C:\\",
      u"C:\\Windows",
      u"C:\\Windows\\System32",  // as a 32-bit process sees it: SysWOW64
      u"C:\\Windows\\SysWOW64",
      u"C:\\Program Files",
      u"C:\\Program Files\\Common Files",
      u"C:\\Program Files (x86)",
      u"C:\\Program Files (x86)\\Common Files",
      u"C:\\ProgramData",
      u"C:\\ProgramData\\Microsoft\\Windows\\Start Menu",
      u"C:\\ProgramData\\Microsoft\\Windows\\Start Menu\\Programs",
      u"C:\\Users",
      u"C:\\Users\\Public",
  };
  for (const KNOWNFOLDERID* id : {&FOLDERID_Profile, &FOLDERID_Desktop, &FOLDERID_Documents,
                                  &FOLDERID_Downloads, &FOLDERID_RoamingAppData, &FOLDERID_LocalAppData})
    folders.push_back(Known(*id));
  if (sizeof(void*) == 4) folders.push_back(u"C:\\Windows\\Sysnative");  // the 64-bit System32
  return folders;
}

// Other names of the same folder: a trailing separator, other letter case, the short
// 8.3 name, the "\\?\" prefix.
std::vector<std::u16string> OtherNames(const std::u16string& folder) {
  std::vector<std::u16string> names = {folder + u"\\", u"\\\\?\\" + folder};
  std::u16string upper = folder;
  CharUpperBuffW(reinterpret_cast<wchar_t*>(upper.data()), static_cast<DWORD>(upper.size()));
  names.push_back(upper);
  wchar_t shortName[MAX_PATH];
  const DWORD n = GetShortPathNameW(W(folder), shortName, MAX_PATH);
  if (n > 0 && n < MAX_PATH) names.push_back(FromW(shortName, n));
  return names;
}

std::vector<std::u16string> Names(const std::u16string& folder) {
  std::vector<std::u16string> names;
  for (const auto& entry : fsys::ListDir(folder)) names.push_back(entry.Name);
  std::sort(names.begin(), names.end());
  return names;
}
}  // namespace

TEST(ProtectedFolders, EveryNameOfASystemOrUserFolderIsProtected) {
  for (const std::u16string& folder : ProtectedFolders()) {
    ASSERT_TRUE(fsys::IsDir(folder)) << Narrow(folder);
    EXPECT_TRUE(fsys::IsProtectedFolder(folder)) << Narrow(folder);
    for (const std::u16string& name : OtherNames(folder))
      EXPECT_TRUE(fsys::IsProtectedFolder(name)) << Narrow(name);
  }
  for (const char16_t* root : {u"C:", u"c:\\", u"Z:\\", u"\\\\server\\share"})
    EXPECT_TRUE(fsys::IsProtectedFolder(root)) << Narrow(root);

  TempDir tmp;
  EXPECT_FALSE(fsys::IsProtectedFolder(tmp.Path()));
  for (const char16_t* own : {u"C:\\Program Files (x86)\\Brasmoor", u"C:\\Program Files\\Brasmoor",
                              u"C:\\Orvelin Projets"}) {
    ForceDirs(own);
    EXPECT_FALSE(fsys::IsProtectedFolder(own)) << Narrow(own);
    DelDir(own);
  }
}

// The install and projects folders both set to a protected folder, as a stale registry
// value or the folder picker allows: an uninstallation with both boxes ticked removes
// nothing from it, and answers as for a folder that could not go.
TEST(ProtectedFolders, AnUninstallOfEverythingRemovesNothingFromThem) {
  ASSERT_TRUE(StartUp(MakeSystemServices(), CurrentEnvironment()));
  for (const std::u16string& folder : ProtectedFolders()) {
    SCOPED_TRACE(Narrow(folder));
    // Never run a removal that would wipe the folder: the check above reports it.
    if (!fsys::IsProtectedFolder(folder)) {
      ADD_FAILURE() << "not protected, not removed";
      continue;
    }
    const std::u16string ownFolder = folder + u"\\Orvelin marker folder";
    ForceDirs(ownFolder);
    WriteAll(folder + u"\\Orvelin marker.txt", "kept");
    WriteAll(ownFolder + u"\\inside.txt", "kept");
    const auto before = Names(folder);

    InstallSettings.InstallDir = InstallSettings.ProjDir = folder;
    RunUninstall({true, true});

    EXPECT_EQ(Names(folder), before);
    EXPECT_EQ(ReadAll(folder + u"\\Orvelin marker.txt"), "kept");
    EXPECT_EQ(ReadAll(ownFolder + u"\\inside.txt"), "kept");
    DelFile(folder + u"\\Orvelin marker.txt");
    DelDir(ownFolder);
  }
  CloseJournal(true);
  ReleaseServices();
}
