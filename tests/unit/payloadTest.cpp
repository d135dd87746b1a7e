#include "install/payload.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <set>

#include "install/zipReader.h"
#include "shell/defGlVar.h"
#include "tests/support/errorOf.h"
#include "tests/support/fileLink.h"
#include "tests/support/fileStamp.h"
#include "tests/support/scriptedDialogs.h"
#include "tests/support/tempDir.h"
#include "tools/zipWriter.h"
#include "util/appError.h"
#include "util/dataResource.h"
#include "util/fileSystem.h"
#include "util/utlFiles.h"
#include "util/utlStrings.h"

using fsys::PathSep;

namespace {
constexpr std::uint32_t kOrvelinExeSize = 14'134'272;

std::u16string Join(std::u16string a, const std::u16string& b) { return a + PathSep + b; }

// An entry name as a path below folder.
std::u16string PathOf(const std::u16string& folder, std::u16string name) {
  std::replace(name.begin(), name.end(), u'/', PathSep);
  return Join(folder, name);
}

std::uint64_t FileSize(const std::u16string& path) { return fsys::File::OpenForRead(path).Size(); }

std::set<std::u16string> Names(const std::u16string& folder) {
  std::set<std::u16string> names;
  for (const auto& e : fsys::ListDir(folder)) names.insert(e.Name);
  return names;
}

bool EndsWith(std::u16string_view text, std::u16string_view end) {
  return text.size() >= end.size() && text.substr(text.size() - end.size()) == end;
}

// The resources are the build's payload (see tests/unit/main.cpp).
class Payload : public testing::Test {
protected:
  void SetUp() override {
    savedWorkDir_ = InstallSettings.WorkDir;
    InstallSettings.WorkDir = tmp / u"travail";
    fsys::MakeDir(InstallSettings.WorkDir);
  }
  void TearDown() override { InstallSettings.WorkDir = savedWorkDir_; }

  // The entries of a resource's archive, listed through a copy of it.
  std::vector<ZipEntry> EntriesOf(const std::u16string& resource) {
    const auto path = tmp / u"liste.zip";
    WriteBytesToFile(path, HexToBytes(FirstLine(ReadDataResource(resource))));
    ZipReader reader(path);
    std::vector<ZipEntry> entries = reader.Entries();
    reader.Close();
    DelFile(path);
    return entries;
  }

  TempDir tmp;

private:
  std::u16string savedWorkDir_;
};
}  // namespace

TEST_F(Payload, ResourcesHoldTheArchivesAsOneLineOfHexadecimalText) {
  struct Expected {
    std::u16string resource;
    double archiveSize, tolerance;
    std::size_t entries;
    std::uint64_t unpacked;
  };
  const Expected table[] = {{u"Resource_1", 16'459'188, 0.02, 123, 29'077'574},
                            {u"Resource_2", 180'807, 0.05, 143, 1'128'145}};
  for (const Expected& e : table) {
    SCOPED_TRACE(std::string(e.resource.begin(), e.resource.end()));
    const std::string_view text = ReadDataResource(e.resource);
    EXPECT_EQ(FirstLine(text).size(), text.size());
    EXPECT_EQ(text.size() % 2, 0u);
    EXPECT_EQ(text.find_first_not_of("0123456789ABCDEF"), std::string_view::npos);
    const std::vector<std::uint8_t> archive = HexToBytes(text);
    EXPECT_EQ(archive.size(), text.size() / 2);
    ASSERT_GE(archive.size(), 4u);
    EXPECT_EQ(std::vector<std::uint8_t>(archive.begin(), archive.begin() + 4),
              (std::vector<std::uint8_t>{0x50, 0x4B, 0x03, 0x04}));
    EXPECT_NEAR(static_cast<double>(archive.size()), e.archiveSize, e.archiveSize * e.tolerance);

    const auto entries = EntriesOf(e.resource);
    EXPECT_EQ(entries.size(), e.entries);
    std::uint64_t unpacked = 0;
    for (const auto& entry : entries) unpacked += entry.Size;
    EXPECT_EQ(unpacked, e.unpacked);
  }
  EXPECT_EQ(ReadDataResource(u"resource_3"), "6.1.10.1");
}

TEST_F(Payload, ProgramFilesHaveTheApplicationTheUninstallerAndTheHelp) {
  std::map<std::u16string, std::uint32_t> top;
  std::map<std::u16string, int> helpKinds;
  for (const auto& entry : EntriesOf(u"Resource_1")) {
    const auto slash = entry.Name.find(u'/');
    if (slash == std::u16string::npos) {
      top[entry.Name] = entry.Size;
      continue;
    }
    ASSERT_EQ(entry.Name.substr(0, slash + 1), u"Aide/");
    EXPECT_EQ(entry.Name.find(u'/', slash + 1), std::u16string::npos) << "no deeper folder";
    ++helpKinds[entry.Name.substr(entry.Name.rfind(u'.') + 1)];
  }
  ASSERT_EQ(top.size(), 2u);
  EXPECT_EQ(top[u"Orvelin.exe"], kOrvelinExeSize);
  EXPECT_GT(top[u"Uninstall.exe"], 0u);
  EXPECT_EQ(helpKinds[u"htm"], 28);
  EXPECT_EQ(helpKinds[u"png"] + helpKinds[u"gif"] + helpKinds[u"jpg"], 91);
  EXPECT_EQ(helpKinds[u"pdf"], 1);
  EXPECT_EQ(helpKinds[u"css"], 1);
}

TEST_F(Payload, DataFilesHaveTheSettingsTheProjectsAndTheReferenceData) {
  int accented = 0, blanks = 0, prj = 0, act = 0;
  std::set<std::u16string> projects, referenceFolders;
  std::set<std::u16string> top;
  for (const auto& entry : EntriesOf(u"Resource_2")) {
    accented += std::any_of(entry.Name.begin(), entry.Name.end(), [](char16_t c) { return c > 0x7F; });
    blanks += entry.Name.find(u' ') != std::u16string::npos;
    const auto first = entry.Name.find(u'/');
    top.insert(entry.Name.substr(0, first));
    if (first == std::u16string::npos) continue;
    const auto second = entry.Name.find(u'/', first + 1);
    ASSERT_NE(second, std::u16string::npos) << "files lie in subfolders";
    EXPECT_EQ(entry.Name.find(u'/', second + 1), std::u16string::npos);
    const auto folder = entry.Name.substr(first + 1, second - first - 1);
    if (entry.Name.starts_with(u"Projets/")) {
      projects.insert(folder);
      prj += entry.Name.ends_with(u".prj");
      act += entry.Name.ends_with(u".act");
    } else {
      referenceFolders.insert(folder);
    }
  }
  EXPECT_EQ(top, (std::set<std::u16string>{u"Orvelin.ini", u"Projets", u"Reference"}));
  EXPECT_EQ(projects.size(), 5u);
  EXPECT_EQ(prj, 5);
  EXPECT_EQ(act, 1);
  EXPECT_EQ(referenceFolders, (std::set<std::u16string>{u"Plannings", u"Tris", u"Filtres", u"Conges"}));
  EXPECT_EQ(accented, 81);
  EXPECT_GT(blanks, 0);
}

TEST_F(Payload, ExtractsDataIntoAMissingFolderWithTheAccentedNamesOnDisk) {
  ScriptedDialogs dialogs;
  const auto dest = Join(tmp / u"C Orvelin Projets", u"nouveau");
  ExtractPayload(u"Resource_2", u"Data", dest);

  EXPECT_EQ(Names(dest), (std::set<std::u16string>{u"Orvelin.ini", u"Projets", u"Reference"}));
  EXPECT_EQ(Names(Join(dest, u"Projets")),
            (std::set<std::u16string>{u"Atelier mécanique", u"Chantier Hôtel de Ville", u"Exemple simple",
                                      u"Maintenance annuelle", u"Rénovation école Jules Ferry"}));
  EXPECT_EQ(Names(Join(dest, u"Reference")),
            (std::set<std::u16string>{u"Conges", u"Filtres", u"Plannings", u"Tris"}));
  EXPECT_TRUE(fsys::IsFile(PathOf(dest, u"Projets/Chantier Hôtel de Ville/Chantier Hôtel de Ville.act")));
  for (const auto& entry : EntriesOf(u"Resource_2")) {
    const auto path = PathOf(dest, entry.Name);
    ASSERT_TRUE(fsys::IsFile(path)) << std::string(entry.Name.begin(), entry.Name.end());
    EXPECT_EQ(FileSize(path), entry.Size);
    EXPECT_EQ(ReadFileStamp(path).Modified, entry.Modified);
  }
  EXPECT_FALSE(fsys::IsFile(Join(InstallSettings.WorkDir, u"Data.zip")));
  EXPECT_TRUE(dialogs.Messages().empty());
}

TEST_F(Payload, ExtractingOverAnEarlierInstallationReplacesItsFilesAndKeepsTheOthers) {
  const auto dest = tmp / u"Brasmoor";
  ForceDirs(Join(dest, u"Aide"));
  WriteAll(Join(dest, u"Orvelin.exe"), "ancienne version");
  fsys::SetDosAttributes(Join(dest, u"Orvelin.exe"), 0x21);  // read-only
  WriteAll(PathOf(dest, u"Aide/index.htm"), "ancienne aide");
  WriteAll(PathOf(dest, u"Aide/mes notes.txt"), "à garder");
  WriteAll(Join(dest, u"inst.dbg"), "");

  ExtractPayload(u"Resource_1", u"Prog", dest);

  EXPECT_EQ(FileSize(Join(dest, u"Orvelin.exe")), kOrvelinExeSize);
  EXPECT_EQ(ReadAll(Join(dest, u"Orvelin.exe")).substr(0, 2), "MZ");
  EXPECT_FALSE(ReadFileStamp(Join(dest, u"Orvelin.exe")).ReadOnly);
  EXPECT_NE(ReadAll(PathOf(dest, u"Aide/index.htm")), "ancienne aide");
  EXPECT_EQ(ReadAll(PathOf(dest, u"Aide/mes notes.txt")), "à garder");
  EXPECT_TRUE(fsys::IsFile(Join(dest, u"inst.dbg")));
  EXPECT_EQ(Names(Join(dest, u"Aide")).size(), 121u + 1);
  EXPECT_FALSE(fsys::IsFile(Join(InstallSettings.WorkDir, u"Prog.zip")));
}

TEST_F(Payload, ExistingTemporaryArchiveIsOverwrittenAndThenDeleted) {
  // A larger archive of its own: left in place or only partly overwritten, it would be
  // the one extracted, or the file would be no archive at all.
  ZipWriter stale;
  std::vector<std::uint8_t> noise(600 * 1024);
  std::uint32_t x = 1;
  for (auto& b : noise) b = static_cast<std::uint8_t>((x = x * 1103515245u + 12345u) >> 24);
  stale.Add("périmé.txt", {2020, 1, 1, 0, 0, 0, 0}, noise);
  const auto bytes = stale.Finish();
  const auto temp = Join(InstallSettings.WorkDir, u"Prog.zip");
  WriteAll(temp, std::string(bytes.begin(), bytes.end()));

  const auto dest = tmp / u"dest";
  ExtractPayload(u"Resource_2", u"Prog", dest);
  EXPECT_TRUE(fsys::IsFile(Join(dest, u"Orvelin.ini")));
  EXPECT_FALSE(fsys::IsFile(Join(dest, u"périmé.txt")));
  EXPECT_FALSE(fsys::IsFile(temp));
}

TEST_F(Payload, UnwritableWorkingFolderOffersRetryAndNoEndsWithTheWritesError) {
  InstallSettings.WorkDir = tmp / u"absent";
  const auto temp = Join(InstallSettings.WorkDir, u"Prog.zip");
  const auto dest = tmp / u"dest";
  ScriptedDialogs dialogs;
  dialogs.Answer(MsgButton::No);
  try {
    ExtractPayload(u"Resource_2", u"Prog", dest);
    FAIL() << "no error";
  } catch (const AppError& e) {
    EXPECT_NE(e.Message().find(u"\"" + temp + u"\""), std::u16string::npos);
  }
  ASSERT_EQ(dialogs.Messages().size(), 1u);
  const MessageRequest& prompt = dialogs.Messages()[0];
  EXPECT_NE(prompt.Text.find(temp), std::u16string::npos);
  EXPECT_TRUE(EndsWith(prompt.Text, u"\r\n\r\nRéessayer ?"));
  EXPECT_EQ(prompt.Kind, MsgKind::Error);
  EXPECT_EQ(prompt.Default, MsgButton::Yes);
  EXPECT_FALSE(fsys::IsDir(dest));
  EXPECT_FALSE(fsys::IsFile(temp));
}

TEST_F(Payload, RetryAfterTheWorkingFolderIsFixedExtracts) {
  InstallSettings.WorkDir = tmp / u"absent";
  ScriptedDialogs dialogs;
  dialogs.OnMessage = [](const MessageRequest&) { fsys::MakeDir(InstallSettings.WorkDir); };
  dialogs.Answer(MsgButton::Yes);
  const auto dest = tmp / u"dest";
  ExtractPayload(u"Resource_2", u"Data", dest);
  EXPECT_EQ(dialogs.Messages().size(), 1u);
  EXPECT_TRUE(fsys::IsFile(Join(dest, u"Orvelin.ini")));
  EXPECT_FALSE(fsys::IsFile(Join(InstallSettings.WorkDir, u"Data.zip")));
}

// Another program of the user plants a link where the temporary archive goes: the write
// never reaches the file that the link names.
TEST_F(Payload, ALinkAtTheTemporaryArchiveLeavesTheFileItNamesAlone) {
  const auto precious = tmp / u"precieux.txt";
  WriteAll(precious, "intact");
  const auto temp = Join(InstallSettings.WorkDir, u"Data.zip");
  ASSERT_TRUE(MakeLink(temp, precious));
  const bool seenAsLink = fsys::IsLink(temp);
  ScriptedDialogs dialogs;
  dialogs.Answer(MsgButton::No);
  const auto dest = tmp / u"dest";

  const std::u16string error = ErrorOf([&] { ExtractPayload(u"Resource_2", u"Data", dest); });
  EXPECT_EQ(ReadAll(precious), "intact");
  if (seenAsLink) {
    // The link itself goes and the archive takes its place.
    EXPECT_EQ(error, u"(no error)");
    EXPECT_TRUE(fsys::IsFile(Join(dest, u"Orvelin.ini")));
    EXPECT_FALSE(fsys::IsFile(temp));
  } else {
    // Where the system sees the file through the link (Wine), removing the link would
    // remove the file: the write is refused, and the run ends.
    EXPECT_NE(error.find(u"lien symbolique"), std::u16string::npos);
    EXPECT_EQ(dialogs.Messages().size(), 1u);
    EXPECT_FALSE(fsys::IsDir(dest));
  }
}

// A working folder that is itself a link to another place: the archive is not written
// there, and nothing is extracted.
TEST_F(Payload, AWorkingFolderReachedThroughALinkIsRefused) {
  fsys::MakeDir(tmp / u"ailleurs");
  InstallSettings.WorkDir = tmp / u"lien";
  ASSERT_TRUE(MakeLink(InstallSettings.WorkDir, tmp / u"ailleurs"));
  ScriptedDialogs dialogs;
  dialogs.Answer(MsgButton::No);
  const auto dest = tmp / u"dest";

  const std::u16string error = ErrorOf([&] { ExtractPayload(u"Resource_2", u"Data", dest); });
  const std::u16string temp = Join(InstallSettings.WorkDir, u"Data.zip");
  EXPECT_NE(error.find(temp), std::u16string::npos);
  EXPECT_NE(error.find(u"lien symbolique"), std::u16string::npos);
  EXPECT_TRUE(Names(tmp / u"ailleurs").empty());
  EXPECT_FALSE(fsys::IsDir(dest));
}

// Deep projects folders: a destination of 300 characters holds the payload's longest
// names all the same.
TEST_F(Payload, ExtractsBelowAPathLongerThanTheOldLimit) {
  std::u16string dest = tmp.Path();
  while (dest.size() < 300) dest = Join(dest, u"Dossier des projets de planification");
  ExtractPayload(u"Resource_2", u"Data", dest);
  EXPECT_TRUE(fsys::IsFile(Join(dest, u"Orvelin.ini")));
  for (const auto& entry : EntriesOf(u"Resource_2"))
    EXPECT_TRUE(fsys::IsFile(PathOf(dest, entry.Name))) << std::string(entry.Name.begin(), entry.Name.end());
}

TEST_F(Payload, MissingResourceWritesNothing) {
  const auto dest = tmp / u"dest";
  EXPECT_THROW(ExtractPayload(u"Resource_9", u"Prog", dest), AppError);
  EXPECT_TRUE(Names(InstallSettings.WorkDir).empty());
  EXPECT_FALSE(fsys::IsDir(dest));
}
