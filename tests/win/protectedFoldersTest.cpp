// The tree deletion against the system's own known folders.
#include <windows.h>
#include <knownfolders.h>
#include <shlobj.h>

#include <gtest/gtest.h>

#include "tests/support/tempDir.h"
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
}  // namespace

TEST(ProtectedFolders, SystemAndUserFoldersAndDriveRoots) {
  const KNOWNFOLDERID* ids[] = {&FOLDERID_Windows,   &FOLDERID_ProgramFiles, &FOLDERID_ProgramFilesX86,
                                &FOLDERID_ProgramData, &FOLDERID_CommonPrograms, &FOLDERID_UserProfiles,
                                &FOLDERID_Profile,   &FOLDERID_Desktop,      &FOLDERID_Documents};
  for (const KNOWNFOLDERID* id : ids) {
    const std::u16string folder = Known(*id);
    ASSERT_FALSE(folder.empty());
    EXPECT_TRUE(fsys::IsProtectedFolder(folder)) << std::string(folder.begin(), folder.end());
    EXPECT_TRUE(fsys::IsProtectedFolder(folder + u"\\")) << "spelled with a trailing separator";
  }
  for (const char16_t* root : {u"C:\\", u"C:", u"c:\\", u"Z:\\", u"\\\\server\\share"})
    EXPECT_TRUE(fsys::IsProtectedFolder(root));
  TempDir tmp;
  EXPECT_FALSE(fsys::IsProtectedFolder(tmp.Path()));
  EXPECT_FALSE(fsys::IsProtectedFolder(Known(FOLDERID_ProgramFilesX86) + u"\\Brasmoor"));
}

TEST(ProtectedFolders, DesktopAskedToGoStaysWhole) {
  const std::u16string desktop = Known(FOLDERID_Desktop);
  const std::u16string marker = desktop + u"\\Orvelin marker.txt";
  WriteAll(marker, "still here");
  EXPECT_EQ(DelDir(desktop), 0);  // answered as a folder that could not go
  EXPECT_TRUE(fsys::IsFile(marker));
  DelFile(marker);
}
