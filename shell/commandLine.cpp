#include "shell/commandLine.h"

#include "util/utlStrings.h"

namespace {
enum class Run { Any, Install, Uninstall };

struct Flag {
  std::u16string_view Name;
  bool CommandLine::*Field;
  Run For;
};
constexpr Flag kFlags[] = {
    {u"/quiet", &CommandLine::Quiet, Run::Any},
    {u"/?", &CommandLine::Help, Run::Any},
    {u"/help", &CommandLine::Help, Run::Any},
    {u"/nodesktop", &CommandLine::NoDesktop, Run::Install},
    {u"/noprojects", &CommandLine::NoProjects, Run::Install},
    {u"/noprogram", &CommandLine::NoProgram, Run::Install},
    {u"/removeprojects", &CommandLine::RemoveProjects, Run::Uninstall},
};

struct Value {
  std::u16string_view Name;  // with its "="
  std::u16string CommandLine::*Field;
  Run For;
};
constexpr Value kValues[] = {
    {u"/installdir=", &CommandLine::InstallDir, Run::Install},
    {u"/projdir=", &CommandLine::ProjDir, Run::Install},
    {u"/log=", &CommandLine::LogFile, Run::Any},
};

bool Fits(Run option, bool uninstall) {
  return option == Run::Any || (option == Run::Uninstall) == uninstall;
}
}  // namespace

CommandLine ParseCommandLine(const std::vector<std::u16string>& parameters) {
  CommandLine line;
  line.Uninstall = !parameters.empty() && LowerNoAccent(parameters[0], false) == u"uninstall";
  const auto fault = [&](const std::u16string& reason) {
    if (line.Fault.empty()) line.Fault = reason;
  };
  for (std::size_t i = line.Uninstall ? 1 : 0; i < parameters.size(); ++i) {
    const std::u16string& parameter = parameters[i];
    const std::u16string lowered = LowerNoAccent(parameter, false);
    bool known = false;
    for (const Flag& flag : kFlags) {
      if (lowered != flag.Name) continue;
      known = true;
      line.*flag.Field = true;
      if (!Fits(flag.For, line.Uninstall)) fault(u"option " + parameter + u" sans objet pour cette opération");
    }
    for (const Value& value : kValues) {
      if (lowered.compare(0, value.Name.size(), value.Name) != 0) continue;
      known = true;
      line.*value.Field = parameter.substr(value.Name.size());
      if (line.*value.Field == u"") fault(u"valeur manquante pour " + parameter);
      if (!Fits(value.For, line.Uninstall)) fault(u"option " + parameter + u" sans objet pour cette opération");
    }
    if (!known) {
      const bool valueName = lowered == u"/installdir" || lowered == u"/projdir" || lowered == u"/log";
      fault(valueName ? u"valeur manquante pour " + parameter : u"option inconnue : " + parameter);
    }
  }
  return line;
}

std::u16string CommandLineHelp() {
  return u"Setup_Orvelin.exe [uninstall] [options]\r\n"
         u"\r\n"
         u"Sans option, l'assistant d'installation s'ouvre ; « uninstall » ouvre la page de "
         u"désinstallation.\r\n"
         u"\r\n"
         u"/quiet : installe (ou, après « uninstall », désinstalle) sans aucune fenêtre.\r\n"
         u"/installdir=DOSSIER : le dossier du programme.\r\n"
         u"/projdir=DOSSIER : le dossier projets.\r\n"
         u"/nodesktop : pas de raccourci sur le bureau.\r\n"
         u"/noprojects : le dossier projets n'est pas installé.\r\n"
         u"/noprogram : seul le dossier projets est installé.\r\n"
         u"/removeprojects : la désinstallation supprime aussi le dossier projets.\r\n"
         u"/log=FICHIER : ajoute au fichier le compte rendu de l'opération (UTF-8).\r\n"
         u"/? ou /help : cette aide.\r\n"
         u"\r\n"
         u"Codes de sortie :\r\n"
         u"0 : opération terminée\r\n"
         u"1 : une autre copie du programme d'installation est en cours\r\n"
         u"2 : Orvelin est en cours d'exécution\r\n"
         u"3 : l'opération a échoué\r\n"
         u"4 : ligne de commande incorrecte";
}
