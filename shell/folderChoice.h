// The folder-choice page's "Suivant >": the chosen folders become the settings and are
// recorded for the next run.
#pragma once
#include <string>

// Sets InstallDir and ProjDir, then writes both to the per-user key. A refused write
// throws AppError, after the settings were already updated.
void StoreFolders(const std::u16string& installDir, const std::u16string& projDir);
