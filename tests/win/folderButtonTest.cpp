// The folder buttons' symbol, U+1F4C2, comes from the first symbol font that has it, drawn
// by its glyph; where no font has it (Windows 7 without the emoji update, or Wine here) an
// open folder of ours is drawn instead of a box. The fonts are the test's own: a square
// for each of their characters.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "tests/win/testFont.h"
#include "ui/glyph_win.h"

namespace {
constexpr COLORREF kSymbolGrey = RGB(0x99, 0x99, 0x99);  // the symbol, faded
constexpr COLORREF kFolderBack = RGB(0xC2, 0xC2, 0xC2);  // the back of our folder
constexpr int kWidth = 33, kHeight = 21;

// The button drawn as the window layer draws it, as pixels.
std::vector<COLORREF> DrawnButton(int pixelSize) {
  BITMAPINFO info{};
  info.bmiHeader = {sizeof(BITMAPINFOHEADER), kWidth, -kHeight, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
  void* bits = nullptr;
  HDC dc = CreateCompatibleDC(nullptr);
  HBITMAP bitmap = CreateDIBSection(dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  HGDIOBJ previous = SelectObject(dc, bitmap);
  DRAWITEMSTRUCT item{};
  item.CtlType = ODT_BUTTON;
  item.itemAction = ODA_DRAWENTIRE;
  item.hDC = dc;
  item.rcItem = {0, 0, kWidth, kHeight};
  DrawFolderButton(item, pixelSize, false);
  GdiFlush();
  std::vector<COLORREF> pixels;
  for (int i = 0; i < kWidth * kHeight; ++i) {
    const std::uint32_t pixel = static_cast<const std::uint32_t*>(bits)[i];
    pixels.push_back(RGB(pixel >> 16 & 0xFF, pixel >> 8 & 0xFF, pixel & 0xFF));
  }
  SelectObject(dc, previous);
  DeleteObject(bitmap);
  DeleteDC(dc);
  return pixels;
}

struct Case {
  const char16_t* Face;  // a font of the test's, or none
  std::vector<char32_t> Characters;
  bool SymbolFromFont;
  int PixelSize;  // one per case: Wine keeps the font that it found for a request, even
                  // once other fonts come and go
};

TEST(FolderButton, ShowsTheSymbolOfAFontThatHasItOrOurOwnFolder) {
  const std::vector<Case> cases = {
      {nullptr, {}, false, 18},
      {u"Segoe UI Emoji", {U'A', U'\U0001F4C1'}, false, 19},  // the font lacks it
      {u"Segoe UI Emoji", {U'A', U'\U0001F4C2'}, true, 20},
      {u"Segoe UI Symbol", {U'\U0001F4C2'}, true, 21},        // the face tried next
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << "case " << (&c - cases.data()));
    std::optional<InstalledTestFont> font;
    if (c.Face) {
      font.emplace(c.Face, c.Characters);
      ASSERT_TRUE(font->Installed());
    }
    const std::vector<COLORREF> pixels = DrawnButton(c.PixelSize);
    const auto count = [&](COLORREF colour) {
      return std::count(pixels.begin(), pixels.end(), colour);
    };
    const int middle = kHeight / 2 * kWidth + kWidth / 2;
    EXPECT_EQ(pixels[middle], kSymbolGrey) << "a symbol in the middle";
    if (c.SymbolFromFont) {
      // The font's square: 0.8 × 0.7 em, solid inside.
      EXPECT_GE(count(kSymbolGrey), 12 * 10);
      EXPECT_EQ(count(kFolderBack), 0);
    } else {
      EXPECT_GT(count(kFolderBack), 0) << "our folder, in two tones";
    }
  }
}
}  // namespace
