// The system's folder-selection dialog.
#pragma once
#include <windows.h>

#include <optional>
#include <string>

// Shows the dialog with title, opened at initialFolder (or at its nearest existing parent
// folder); returns the chosen folder's full path, or nothing when the user cancels.
std::optional<std::u16string> ChooseFolder(HWND owner, const std::u16string& title,
                                           const std::u16string& initialFolder);
