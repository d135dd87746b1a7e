// The look of the folder buttons: a flat button, faded as if at 40 % opacity on its
// white square, showing one symbol.
#pragma once
#include <windows.h>

#include <string>

// Draws the owner-drawn button of item with glyph, at pixelSize pixels. Where no font of
// the system has the symbol, an open folder is drawn in its place.
void DrawFadedGlyph(const DRAWITEMSTRUCT& item, const std::u16string& glyph, int pixelSize);
