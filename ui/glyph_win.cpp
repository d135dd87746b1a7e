#include "ui/glyph_win.h"

#include "util/wideText_win.h"

namespace {
// Black and the button's grey at 40 % over white.
constexpr COLORREF kGlyph = RGB(0x99, 0x99, 0x99);
constexpr COLORREF kGlyphBack = RGB(0xC2, 0xC2, 0xC2);
constexpr COLORREF kEdge = RGB(0xDE, 0xDE, 0xDE);
constexpr COLORREF kPressed = RGB(0xF0, 0xF0, 0xF0);

// A font that has the symbols, selected into dc; null when the system has none.
HFONT SymbolFont(HDC dc, int pixelSize) {
  for (const wchar_t* face : {L"Segoe UI Emoji", L"Segoe UI Symbol"}) {
    HFONT font = CreateFontW(-pixelSize, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE,
                             DEFAULT_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS,
                             ANTIALIASED_QUALITY, DEFAULT_PITCH, face);
    SelectObject(dc, font);
    wchar_t chosen[LF_FACESIZE] = {};
    GetTextFaceW(dc, LF_FACESIZE, chosen);
    if (lstrcmpiW(chosen, face) == 0) return font;
    SelectObject(dc, GetStockObject(DEFAULT_GUI_FONT));
    DeleteObject(font);
  }
  return nullptr;
}

void FillPolygon(HDC dc, const POINT* points, int count, COLORREF colour) {
  HBRUSH brush = CreateSolidBrush(colour);
  HGDIOBJ oldBrush = SelectObject(dc, brush);
  HGDIOBJ oldPen = SelectObject(dc, GetStockObject(NULL_PEN));
  ::Polygon(dc, points, count);
  SelectObject(dc, oldPen);
  SelectObject(dc, oldBrush);
  DeleteObject(brush);
}

// An open folder on a 16-unit grid centred in rect.
void Folder(HDC dc, const RECT& rect, int pixelSize) {
  const double unit = pixelSize / 16.0;
  const double left = (rect.left + rect.right) / 2.0 - 8 * unit;
  const double top = (rect.top + rect.bottom) / 2.0 - 8 * unit;
  const auto at = [&](double x, double y) {
    return POINT{static_cast<LONG>(left + x * unit), static_cast<LONG>(top + y * unit)};
  };
  const POINT back[] = {at(1, 3), at(6, 3), at(7.5, 4.5), at(13, 4.5), at(13, 13), at(1, 13)};
  const POINT front[] = {at(3.5, 7), at(15.5, 7), at(13, 13), at(1, 13)};
  FillPolygon(dc, back, 6, kGlyphBack);
  FillPolygon(dc, front, 4, kGlyph);
}
}  // namespace

void DrawFadedGlyph(const DRAWITEMSTRUCT& item, const std::u16string& glyph, int pixelSize) {
  HDC dc = item.hDC;
  RECT rect = item.rcItem;
  HBRUSH face = CreateSolidBrush((item.itemState & ODS_SELECTED) ? kPressed : RGB(255, 255, 255));
  FillRect(dc, &rect, face);
  DeleteObject(face);
  HBRUSH edge = CreateSolidBrush(kEdge);
  FrameRect(dc, &rect, edge);
  DeleteObject(edge);

  const int saved = SaveDC(dc);
  if (HFONT font = SymbolFont(dc, pixelSize)) {
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, kGlyph);
    DrawTextW(dc, W(glyph), -1, &rect, DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
    RestoreDC(dc, saved);
    DeleteObject(font);
  } else {
    RestoreDC(dc, saved);
    Folder(dc, rect, pixelSize);
  }
  if (item.itemState & ODS_FOCUS) {
    RECT focus = rect;
    InflateRect(&focus, -2, -2);
    DrawFocusRect(dc, &focus);
  }
}
