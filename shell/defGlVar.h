// Process-wide state of the installer: the eight settings texts, filled once by the
// start-up, and the two service objects that the welcome window owns.
#pragma once
#include <memory>
#include <string>

#include "system/clsDebug.h"
#include "system/clsSystem.h"

struct InstallSettingsTexts {
  std::u16string PubName;     // publisher, "Brasmoor"
  std::u16string ProdName;    // product, "Orvelin"
  std::u16string DeskDir;     // the user's desktop folder
  std::u16string MenuDir;     // the Start-menu group folder
  std::u16string InstallDir;  // program folder
  std::u16string ProjDir;     // projects folder
  std::u16string WorkDir;     // current directory at start-up: home of the temporary archives
  std::u16string Version;     // payload version, first line of Resource_3
};

extern InstallSettingsTexts InstallSettings;
extern std::unique_ptr<GenSys> GSys;
extern std::unique_ptr<PlDebug> PDbg;  // null when the start-up was refused

// Writes a journal line (stamped, no blank line before) when the journal exists.
void Journal(std::u16string_view line);
