// The pages' text font, Segoe UI. Its semi-bold is a face of its own, "Segoe UI Semibold",
// at the normal weight: GDI draws "Segoe UI" asked at FW_SEMIBOLD as bold.
#pragma once
#include <windows.h>

// Segoe UI of pixelHeight pixels to the em, at weight: a semi-bold one in the face
// "Segoe UI Semibold" where the system has it. The caller deletes the font.
HFONT CreateUiFont(int pixelHeight, int weight, bool underline, BYTE quality);
