#include "ui/glyph_win.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <vector>

namespace {
constexpr char32_t kOpenFolder = 0x1F4C2;

// A white face; black and the button's grey at 40 % over white.
constexpr COLORREF kFace = RGB(0xFF, 0xFF, 0xFF);
constexpr COLORREF kGlyph = RGB(0x99, 0x99, 0x99);
constexpr COLORREF kGlyphBack = RGB(0xC2, 0xC2, 0xC2);
constexpr COLORREF kEdge = RGB(0xDE, 0xDE, 0xDE);
constexpr COLORREF kPressed = RGB(0xF0, 0xF0, 0xF0);

struct ButtonColours {
  COLORREF Face, Edge, Glyph, GlyphBack;
};

// Ours, or in high contrast the system's button colours, and its selection colours while
// the button is pressed; the folder then has one colour, its front outlined in the face's.
ButtonColours ColoursOf(const DRAWITEMSTRUCT& item, bool highContrast) {
  const bool pressed = item.itemState & ODS_SELECTED;
  if (!highContrast) return {pressed ? kPressed : kFace, kEdge, kGlyph, kGlyphBack};
  const COLORREF text = GetSysColor(pressed ? COLOR_HIGHLIGHTTEXT : COLOR_BTNTEXT);
  const COLORREF face = GetSysColor(pressed ? COLOR_HIGHLIGHT : COLOR_BTNFACE);
  return {face, GetSysColor(COLOR_BTNTEXT), text, text};
}

// A table of the font selected into dc, as GetFontData names it (the tag's letters in
// file order); empty when the font has none.
std::vector<BYTE> FontTable(HDC dc, const char (&tag)[5]) {
  const DWORD name = static_cast<DWORD>(tag[0] | tag[1] << 8 | tag[2] << 16 | tag[3] << 24);
  const DWORD size = GetFontData(dc, name, 0, nullptr, 0);
  if (size == GDI_ERROR) return {};
  std::vector<BYTE> table(size);
  if (GetFontData(dc, name, 0, table.data(), size) != size) return {};
  return table;
}

// The big-endian fields of a font table; a field that does not lie wholly inside it reads 0.
class TableFields {
public:
  explicit TableFields(const std::vector<BYTE>& table) : table_(table) {}
  bool Holds(std::size_t at, std::size_t length) const {
    return at <= table_.size() && length <= table_.size() - at;
  }
  std::uint32_t U16(std::size_t at) const {
    return Holds(at, 2) ? static_cast<std::uint32_t>(table_[at] << 8 | table_[at + 1]) : 0;
  }
  std::uint32_t U32(std::size_t at) const { return U16(at) << 16 | U16(at + 2); }

private:
  const std::vector<BYTE>& table_;
};

// The glyph of a character beyond U+FFFF in the font selected into dc, or 0 when the font
// lacks it. Such a character is a pair of UTF-16 units, which GetGlyphIndicesW maps one
// by one, never to the character's glyph: it is looked up in the font's character map
// instead, in its subtable of the whole Unicode range (format 12: groups of consecutive
// characters with consecutive glyphs).
WORD GlyphOf(HDC dc, char32_t character) {
  const std::vector<BYTE> table = FontTable(dc, "cmap");
  const TableFields map(table);
  const std::uint32_t subtables = map.U16(2);
  for (std::uint32_t i = 0; i < subtables && map.Holds(4 + 8 * i, 8); ++i) {
    const std::size_t record = 4 + 8 * i;
    const std::uint32_t platform = map.U16(record), encoding = map.U16(record + 2);
    const std::size_t at = map.U32(record + 4);
    const bool unicode = platform == 0 || (platform == 3 && encoding == 10);
    if (!unicode || !map.Holds(at, 16) || map.U16(at) != 12) continue;
    const std::uint32_t groups = map.U32(at + 12);
    for (std::uint32_t g = 0; g < groups && map.Holds(at + 16 + 12 * g, 12); ++g) {
      const std::size_t group = at + 16 + 12 * g;
      const std::uint32_t first = map.U32(group), last = map.U32(group + 4);
      if (character >= first && character <= last)
        return static_cast<WORD>(map.U32(group + 8) + (character - first));
    }
  }
  return 0;
}

// Draws the symbol centred in rect, by its glyph, in the first symbol font that has it;
// false when none has it.
bool DrawSymbol(HDC dc, const RECT& rect, char32_t symbol, int pixelSize, COLORREF colour) {
  for (const wchar_t* face : {L"Segoe UI Emoji", L"Segoe UI Symbol"}) {
    HFONT font = CreateFontW(-pixelSize, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE,
                             DEFAULT_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS,
                             ANTIALIASED_QUALITY, DEFAULT_PITCH, face);
    HGDIOBJ previous = SelectObject(dc, font);
    WORD glyph = GlyphOf(dc, symbol);
    if (glyph) {
      SIZE size{};
      GetTextExtentPointI(dc, &glyph, 1, &size);
      SetBkMode(dc, TRANSPARENT);
      SetTextColor(dc, colour);
      ExtTextOutW(dc, (rect.left + rect.right - size.cx) / 2,
                  (rect.top + rect.bottom - size.cy) / 2, ETO_GLYPH_INDEX, nullptr,
                  reinterpret_cast<LPCWSTR>(&glyph), 1, nullptr);
    }
    SelectObject(dc, previous);
    DeleteObject(font);
    if (glyph) return true;
  }
  return false;
}

void FillPolygon(HDC dc, const POINT* points, int count, COLORREF colour, HGDIOBJ pen) {
  HBRUSH brush = CreateSolidBrush(colour);
  HGDIOBJ oldBrush = SelectObject(dc, brush);
  HGDIOBJ oldPen = SelectObject(dc, pen);
  ::Polygon(dc, points, count);
  SelectObject(dc, oldPen);
  SelectObject(dc, oldBrush);
  DeleteObject(brush);
}

// An open folder on a 16-unit grid centred in rect.
void Folder(HDC dc, const RECT& rect, int pixelSize, const ButtonColours& colours) {
  const double unit = pixelSize / 16.0;
  const double left = (rect.left + rect.right) / 2.0 - 8 * unit;
  const double top = (rect.top + rect.bottom) / 2.0 - 8 * unit;
  const auto at = [&](double x, double y) {
    return POINT{static_cast<LONG>(left + x * unit), static_cast<LONG>(top + y * unit)};
  };
  const POINT back[] = {at(1, 3), at(6, 3), at(7.5, 4.5), at(13, 4.5), at(13, 13), at(1, 13)};
  const POINT front[] = {at(3.5, 7), at(15.5, 7), at(13, 13), at(1, 13)};
  FillPolygon(dc, back, 6, colours.GlyphBack, GetStockObject(NULL_PEN));
  // A folder of one colour shows its front by an outline in the face's colour.
  const bool oneColour = colours.GlyphBack == colours.Glyph;
  const int width = std::max(1, static_cast<int>(std::lround(unit)));
  HPEN outline = CreatePen(PS_SOLID, width, colours.Face);
  FillPolygon(dc, front, 4, colours.Glyph, oneColour ? outline : GetStockObject(NULL_PEN));
  DeleteObject(outline);
}
}  // namespace

void DrawFolderButton(const DRAWITEMSTRUCT& item, int pixelSize, bool highContrast) {
  HDC dc = item.hDC;
  RECT rect = item.rcItem;
  const ButtonColours colours = ColoursOf(item, highContrast);
  HBRUSH face = CreateSolidBrush(colours.Face);
  FillRect(dc, &rect, face);
  DeleteObject(face);
  HBRUSH edge = CreateSolidBrush(colours.Edge);
  FrameRect(dc, &rect, edge);
  DeleteObject(edge);

  const int saved = SaveDC(dc);
  const bool drawn = DrawSymbol(dc, rect, kOpenFolder, pixelSize, colours.Glyph);
  RestoreDC(dc, saved);
  if (!drawn) Folder(dc, rect, pixelSize, colours);
  if (item.itemState & ODS_FOCUS) {
    RECT focus = rect;
    InflateRect(&focus, -2, -2);
    DrawFocusRect(dc, &focus);
  }
}
