// The banner picture of the pages' left strip: the product's logo and name on dark blue.
// It is drawn for the window's DPI, so it stays sharp at every scale.
#pragma once
#include <windows.h>

// The colour of the picture, for what stands on it.
inline constexpr COLORREF kBannerBackground = RGB(0x12, 0x2C, 0x52);

// The picture at width × height pixels (its 96-DPI size scaled to dpi). The caller
// deletes the bitmap.
HBITMAP PaintBanner(int width, int height, UINT dpi);
