// The uninstallation run of the uninstall page, without its window.
#pragma once

struct UninstallChoices {
  bool Program = true;          // "Désinstallation d'Orvelin"
  bool ProjectsFolder = false;  // "Désinstallation du dossier projets"
};

// The page's creation: a file "uninstall.bat" in the current directory goes at once.
void DeleteUninstallBatch();

// The timer's run: the program removal, then the projects folder, as ticked. Every step
// is silent; nothing is raised.
void RunUninstall(const UninstallChoices& choices);

// keepProjects: the projects folder stays when it is the install folder or lies in it.
void UninstallProgram(bool keepProjects);
void UninstallData();
