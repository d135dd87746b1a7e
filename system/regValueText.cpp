#include "system/regValueText.h"

namespace {
std::u16string TextOf(std::span<const std::uint8_t> data) {
  std::u16string text;
  for (std::size_t at = 0; at + 1 < data.size(); at += 2) {
    const auto unit = static_cast<char16_t>(data[at] | data[at + 1] << 8);
    if (unit == u'\0') break;
    text += unit;
  }
  return text;
}

std::u16string NumberOf(std::span<const std::uint8_t, 4> data) {
  const std::uint32_t bits = data[0] | data[1] << 8 | data[2] << 16 | std::uint32_t{data[3]} << 24;
  const std::string digits = std::to_string(static_cast<std::int32_t>(bits));
  return std::u16string(digits.begin(), digits.end());
}

std::u16string HexPairsOf(std::span<const std::uint8_t> data) {
  static constexpr char16_t digits[] = u"0123456789ABCDEF";
  std::u16string text;
  for (const std::uint8_t byte : data) {
    if (!text.empty()) text += u',';
    text += digits[byte >> 4];
    text += digits[byte & 0x0F];
  }
  return text;
}
}  // namespace

std::u16string RegValueText(RegValueKind kind, std::span<const std::uint8_t> data) {
  switch (kind) {
    case RegValueKind::Text:
      return TextOf(data);
    case RegValueKind::Number:
      if (data.size() == 4) return NumberOf(data.first<4>());
      break;
    case RegValueKind::Other:
      break;
  }
  return HexPairsOf(data);
}
