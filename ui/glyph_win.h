// The look of the folder buttons: a flat button, faded as if at 40 % opacity on its white
// square, showing an open folder; in high contrast, in the system's button colours.
#pragma once
#include <windows.h>

// Draws the owner-drawn button of item with the symbol U+1F4C2 (open file folder) at
// pixelSize pixels, from the first of the system's symbol fonts that has it. Where none
// has it (Windows 7 without the emoji update), an open folder of ours is drawn instead of
// the box that stands for a missing character.
void DrawFolderButton(const DRAWITEMSTRUCT& item, int pixelSize, bool highContrast);
