#include "shell/defGlVar.h"

InstallSettingsTexts InstallSettings;
std::unique_ptr<GenSys> GSys;
std::unique_ptr<PlDebug> PDbg;

void Journal(std::u16string_view line) {
  if (PDbg) PDbg->AddToJnl(line, false, true);
}
