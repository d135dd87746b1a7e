#include "ui/banner_win.h"

#include <algorithm>
#include <cmath>

#include "ui/uiFont_win.h"

namespace {
constexpr COLORREF kTop = RGB(0x0C, 0x1F, 0x3D);
constexpr COLORREF kBottom = RGB(0x1A, 0x3F, 0x70);
constexpr COLORREF kAccent = RGB(0xF2, 0xA5, 0x41);
constexpr COLORREF kSky = RGB(0x9C, 0xC9, 0xF5);
constexpr COLORREF kFaint = RGB(0x24, 0x4C, 0x82);
constexpr COLORREF kWhite = RGB(0xFF, 0xFF, 0xFF);

// The picture is laid out on a grid of 96-DPI pixels; its visible middle (the page
// shows it from x = 8) is at x = 105.
constexpr int kMiddle = 105;

BYTE Mix(BYTE a, BYTE b, double t) { return static_cast<BYTE>(std::lround(a + (b - a) * t)); }

class Canvas {
public:
  Canvas(HDC dc, UINT dpi) : dc_(dc), scale_(dpi / 96.0) {}

  int P(double length) const { return static_cast<int>(std::lround(length * scale_)); }

  void Bar(double x, double y, double width, double height, COLORREF colour) {
    HBRUSH brush = CreateSolidBrush(colour);
    HGDIOBJ oldBrush = SelectObject(dc_, brush);
    HGDIOBJ oldPen = SelectObject(dc_, GetStockObject(NULL_PEN));
    const int radius = P(height);
    RoundRect(dc_, P(x), P(y), P(x + width) + 1, P(y + height) + 1, radius, radius);
    SelectObject(dc_, oldPen);
    SelectObject(dc_, oldBrush);
    DeleteObject(brush);
  }

  void Frame(double x, double y, double size, double width, COLORREF colour) {
    HPEN pen = CreatePen(PS_SOLID, std::max(1, P(width)), colour);
    HGDIOBJ oldPen = SelectObject(dc_, pen);
    HGDIOBJ oldBrush = SelectObject(dc_, GetStockObject(NULL_BRUSH));
    RoundRect(dc_, P(x), P(y), P(x + size), P(y + size), P(18), P(18));
    SelectObject(dc_, oldBrush);
    SelectObject(dc_, oldPen);
    DeleteObject(pen);
  }

  void Text(const wchar_t* text, double top, int size, int weight, COLORREF colour) {
    HFONT font = CreateUiFont(P(size), weight, false, ANTIALIASED_QUALITY);
    HGDIOBJ old = SelectObject(dc_, font);
    SetBkMode(dc_, TRANSPARENT);
    SetTextColor(dc_, colour);
    RECT line{0, P(top), P(2 * kMiddle), P(top + size * 1.6)};
    DrawTextW(dc_, text, -1, &line, DT_CENTER | DT_SINGLELINE | DT_NOPREFIX);
    SelectObject(dc_, old);
    DeleteObject(font);
  }

private:
  HDC dc_;
  double scale_;
};

void Gradient(HDC dc, int width, int height) {
  for (int y = 0; y < height; ++y) {
    const double t = height > 1 ? static_cast<double>(y) / (height - 1) : 0;
    HBRUSH brush = CreateSolidBrush(RGB(Mix(GetRValue(kTop), GetRValue(kBottom), t),
                                        Mix(GetGValue(kTop), GetGValue(kBottom), t),
                                        Mix(GetBValue(kTop), GetBValue(kBottom), t)));
    const RECT row{0, y, width, y + 1};
    FillRect(dc, &row, brush);
    DeleteObject(brush);
  }
}
}  // namespace

HBITMAP PaintBanner(int width, int height, UINT dpi) {
  HDC screen = GetDC(nullptr);
  HDC dc = CreateCompatibleDC(screen);
  HBITMAP picture = CreateCompatibleBitmap(screen, width, height);
  ReleaseDC(nullptr, screen);
  HGDIOBJ previous = SelectObject(dc, picture);

  Gradient(dc, width, height);
  Canvas canvas(dc, dpi);
  // The logo: a planning chart of three staggered bars in a rounded frame.
  const double logo = 76, left = kMiddle - logo / 2, top = 52;
  canvas.Frame(left, top, logo, 3, kSky);
  canvas.Bar(left + 14, top + 19, 30, 9, kWhite);
  canvas.Bar(left + 27, top + 34, 34, 9, kAccent);
  canvas.Bar(left + 20, top + 49, 26, 9, kSky);
  // The name.
  canvas.Text(L"Orvelin", top + logo + 18, 34, FW_SEMIBOLD, kWhite);
  canvas.Bar(kMiddle - 24, top + logo + 76, 48, 3, kAccent);
  canvas.Text(L"Brasmoor", top + logo + 88, 14, FW_NORMAL, kSky);
  // A faint chart below, as on a planning sheet.
  const double rows[][2] = {{30, 70}, {62, 54}, {44, 90}, {96, 48}, {24, 60}};
  double y = 300;
  for (const auto& row : rows) {
    canvas.Bar(row[0], y, row[1], 8, kFaint);
    y += 16;
  }

  SelectObject(dc, previous);
  DeleteDC(dc);
  return picture;
}
