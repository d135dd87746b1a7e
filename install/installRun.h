// The installation run of the install page, without its window.
#pragma once

struct InstallChoices {
  bool Program = true;          // "Installation d'Orvelin"
  bool DesktopShortcut = true;  // "Création d'un raccourci bureau"
  bool ProjectsFolder = true;   // "Installation du dossier projets"
};

// The initial tick of "Installation du dossier projets": only when ProjDir does not name
// an existing folder yet.
bool ProjectsFolderWanted();

// The timer's run: the program installation, then the projects folder, as ticked.
// An error (payload, archive, registry, shell link) ends it at once and propagates.
void RunInstall(const InstallChoices& choices);

void InstallProgram(bool desktopShortcut);
void InstallData();
