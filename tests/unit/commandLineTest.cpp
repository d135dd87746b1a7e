#include "shell/commandLine.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {
std::string Narrow(const std::u16string& text) { return std::string(text.begin(), text.end()); }
}  // namespace

TEST(CommandLine, OptionsAndValues) {
  const CommandLine line = ParseCommandLine(
      {u"/QUIET", u"/InstallDir=C:\\Mon dossier", u"/projdir=D:\\Projets é", u"/NoDesktop", u"/noprojects",
       u"/log=C:\\journal.log"});
  EXPECT_FALSE(line.Uninstall);
  EXPECT_TRUE(line.Quiet);
  EXPECT_EQ(line.InstallDir, u"C:\\Mon dossier");  // values keep their case
  EXPECT_EQ(line.ProjDir, u"D:\\Projets é");
  EXPECT_EQ(line.LogFile, u"C:\\journal.log");
  EXPECT_TRUE(line.NoDesktop);
  EXPECT_TRUE(line.NoProjects);
  EXPECT_FALSE(line.NoProgram);
  EXPECT_EQ(line.Fault, u"");

  const CommandLine removal = ParseCommandLine({u"UNINSTALL", u"/quiet", u"/removeprojects"});
  EXPECT_TRUE(removal.Uninstall);
  EXPECT_TRUE(removal.RemoveProjects);
  EXPECT_EQ(removal.Fault, u"");
}

// Only the first parameter names the removal, as it always did; the help wins over the rest.
TEST(CommandLine, FirstParameterAndHelp) {
  EXPECT_TRUE(ParseCommandLine({u"uninstall"}).Uninstall);
  EXPECT_TRUE(ParseCommandLine({u"Uninstall", u"autre"}).Uninstall);
  EXPECT_FALSE(ParseCommandLine({}).Uninstall);
  EXPECT_FALSE(ParseCommandLine({u"/quiet", u"uninstall"}).Uninstall);
  EXPECT_FALSE(ParseCommandLine({u"désinstaller"}).Uninstall);
  EXPECT_TRUE(ParseCommandLine({u"/?"}).Help);
  EXPECT_TRUE(ParseCommandLine({u"/HELP", u"/bogus"}).Help);
}

// What a quiet run refuses, with the reason it gives; interactively the same lines open
// the wizard as before.
TEST(CommandLine, FaultsOfAQuietLine) {
  const std::pair<std::vector<std::u16string>, std::u16string> cases[] = {
      {{u"/quiet", u"/bogus"}, u"option inconnue : /bogus"},
      {{u"/quiet", u"uninstall"}, u"option inconnue : uninstall"},
      {{u"/quiet", u"/installdir="}, u"valeur manquante pour /installdir="},
      {{u"/quiet", u"/ProjDir"}, u"valeur manquante pour /ProjDir"},
      {{u"/quiet", u"/log"}, u"valeur manquante pour /log"},
      {{u"/quiet", u"/removeprojects"}, u"option /removeprojects sans objet pour cette opération"},
      {{u"uninstall", u"/quiet", u"/nodesktop"}, u"option /nodesktop sans objet pour cette opération"},
      {{u"uninstall", u"/quiet", u"/installdir=C:\\X"}, u"option /installdir=C:\\X sans objet pour cette opération"},
      {{u"/quiet", u"/bogus", u"/autre"}, u"option inconnue : /bogus"},  // the first fault
      {{u"/quiet", u"/noprogram", u"/noprojects", u"/log=C:\\a.log"}, u""},
  };
  for (const auto& [parameters, fault] : cases) {
    const CommandLine line = ParseCommandLine(parameters);
    EXPECT_EQ(line.Fault, fault) << Narrow(parameters.back());
  }
}
