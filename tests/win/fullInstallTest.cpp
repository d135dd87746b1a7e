// The whole installation and uninstallation with the system's own services, as the
// wizard runs them, in a prefix of their own: checked afterwards through the plain
// Win32 calls, the files on disk and the shell links.
#include <windows.h>

#include <gtest/gtest.h>

#include "install/installRun.h"
#include "install/uninstallRun.h"
#include "install/zipReader.h"
#include "shell/defGlVar.h"
#include "shell/folderChoice.h"
#include "shell/startup.h"
#include "tests/support/fileStamp.h"
#include "tests/support/tempDir.h"
#include "tests/win/winTestSupport.h"
#include "util/dataResource.h"
#include "util/fileSystem.h"
#include "util/utlFiles.h"
#include "util/utlStrings.h"

namespace {
const std::u16string kKey = u"Software\\Brasmoor";

std::u16string Text(const RawValue& value) {
  return std::u16string(reinterpret_cast<const char16_t*>(value.Data.data()), value.Data.size() / 2);
}

// The entries of a payload archive, read from the program's own resource.
std::vector<ZipEntry> PayloadEntries(const std::u16string& resource, const TempDir& tmp) {
  const auto archive = tmp / (resource + u".zip");
  WriteBytesToFile(archive, HexToBytes(FirstLine(ReadDataResource(resource))));
  return ZipReader(archive).Entries();
}

// Every entry is a file below folder with its size and its stored time.
void ExpectExtracted(const std::vector<ZipEntry>& entries, const std::u16string& folder) {
  for (const auto& entry : entries) {
    std::u16string path = folder + u"\\" + entry.Name;
    for (auto& c : path) if (c == u'/') c = u'\\';
    ASSERT_TRUE(fsys::IsFile(path)) << std::string(path.begin(), path.end());
    EXPECT_EQ(ReadAll(path).size(), entry.Size);
    EXPECT_EQ(ReadFileStamp(path).Modified, entry.Modified);
    EXPECT_EQ(ReadFileStamp(path).DosAttributes, std::optional<std::uint32_t>(entry.DosAttributes));
  }
}
}  // namespace

TEST(FullInstall, InstallThenUninstallWithTheSystemServices) {
  ASSERT_TRUE(StartUp(MakeSystemServices(), CurrentEnvironment()));
  const auto s = InstallSettings;
  ASSERT_EQ(s.InstallDir, u"C:\\Program Files (x86)\\Brasmoor");
  ASSERT_EQ(s.MenuDir, u"C:\\ProgramData\\Microsoft\\Windows\\Start Menu\\Programs\\Brasmoor");
  ASSERT_FALSE(s.DeskDir.empty());
  StoreFolders(s.InstallDir, u"C:\\Données Orvelin\\Mes projets");  // as "Suivant >" does
  ASSERT_TRUE(ProjectsFolderWanted());
  RunInstall({true, true, true});

  // Registry: the per-user folders and the machine-wide values in the 32-bit view only.
  EXPECT_EQ(Text(*ReadRaw(RegRoot::CurrentUser, kKey, u"InstallDir")), s.InstallDir + u'\0');
  EXPECT_EQ(Text(*ReadRaw(RegRoot::CurrentUser, kKey, u"ProjDir")), u"C:\\Données Orvelin\\Mes projets" + std::u16string(1, u'\0'));
  const auto name = ReadRaw(RegRoot::LocalMachine, kKey, u"DisplayName");
  ASSERT_TRUE(name);
  EXPECT_EQ(name->Type, static_cast<DWORD>(REG_SZ));
  EXPECT_EQ(Text(*name), std::u16string(u"Orvelin") + u'\0');
  EXPECT_EQ(Text(*ReadRaw(RegRoot::LocalMachine, kKey, u"UninstallString")), std::u16string(u"Uninstall") + u'\0');
  for (const char16_t* flag : {u"NoModify", u"NoRepair"}) {
    const auto value = ReadRaw(RegRoot::LocalMachine, kKey, flag);
    ASSERT_TRUE(value);
    EXPECT_EQ(value->Type, static_cast<DWORD>(REG_DWORD));
    EXPECT_EQ(value->Data, (std::vector<std::uint8_t>{1, 0, 0, 0}));
  }
  EXPECT_FALSE(KeyPresent(RegRoot::LocalMachine, kKey, View64));

  // Files, with the sizes and times of the archives' entries; no temporary archive left.
  TempDir tmp;
  ExpectExtracted(PayloadEntries(u"Resource_1", tmp), s.InstallDir);
  ExpectExtracted(PayloadEntries(u"Resource_2", tmp), u"C:\\Données Orvelin\\Mes projets");
  EXPECT_FALSE(fsys::IsFile(s.WorkDir + u"\\Prog.zip"));
  EXPECT_FALSE(fsys::IsFile(s.WorkDir + u"\\Data.zip"));

  // The three shortcuts, read back by the shell.
  const std::pair<std::u16string, std::u16string> links[] = {
      {s.MenuDir + u"\\Orvelin.lnk", s.InstallDir + u"\\Orvelin.exe"},
      {s.MenuDir + u"\\Uninstall.lnk", s.InstallDir + u"\\Uninstall.exe"},
      {s.DeskDir + u"\\Brasmoor.lnk", s.InstallDir + u"\\Orvelin.exe"}};
  for (const auto& [link, target] : links) {
    const LinkSettings settings = LoadLink(link);
    EXPECT_EQ(settings.Target, target);
    EXPECT_EQ(settings.WorkingDir, s.InstallDir);
    EXPECT_EQ(settings.Arguments, u"");
  }

  // The program removal leaves the projects; their own box removes them.
  RunUninstall({true, false});
  EXPECT_FALSE(KeyPresent(RegRoot::CurrentUser, kKey));
  EXPECT_FALSE(KeyPresent(RegRoot::LocalMachine, kKey));
  EXPECT_FALSE(fsys::IsDir(s.InstallDir));
  EXPECT_FALSE(fsys::IsDir(s.MenuDir));
  EXPECT_FALSE(fsys::IsFile(s.DeskDir + u"\\Brasmoor.lnk"));
  EXPECT_TRUE(fsys::IsDir(u"C:\\Données Orvelin\\Mes projets\\Projets"));
  RunUninstall({false, true});
  EXPECT_FALSE(fsys::IsDir(u"C:\\Données Orvelin\\Mes projets"));
  EXPECT_TRUE(fsys::IsDir(u"C:\\Données Orvelin")) << "only the projects folder itself goes";
  CloseJournal(true);
  ReleaseServices();
}
