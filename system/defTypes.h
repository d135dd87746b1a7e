// Record types shared by the journal's diagnostics: the looks of drawn lines and texts,
// points and rectangles.
#pragma once
#include <cstdint>
#include <string>

enum class LineCap { Flat, Round };
enum class LineDash { Solid, Dash, Dot, DashDot, DashDotDot, Custom };
enum class LineJoin { Miter, Round, Bevel };

struct LineStyle {
  std::uint32_t Color = 0;  // alpha, red, green, blue from the high byte down
  float Thickness = 1.0f;
  LineCap Cap = LineCap::Flat;
  LineDash Dash = LineDash::Solid;
  LineJoin Join = LineJoin::Miter;
};

// The font style set: a combination of these bits.
enum FontStyle : std::uint8_t { Bold = 1, Italic = 2, Underline = 4, StrikeOut = 8 };
enum class TextAlign { Center, Leading, Trailing };

struct TextStyle {
  std::u16string FName;
  std::uint32_t Color = 0;
  std::int32_t Size = 0;
  std::uint8_t FStyle = 0;  // FontStyle bits
  TextAlign HAlign = TextAlign::Leading;
  TextAlign VAlign = TextAlign::Center;
  bool WordWrap = false;
};

struct PointF {
  float X = 0, Y = 0;
};

struct RectF {
  float Left = 0, Top = 0, Right = 0, Bottom = 0;
};
