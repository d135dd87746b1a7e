#include "system/regValueText.h"

#include <gtest/gtest.h>

#include <vector>

TEST(RegValueText, ConvertsByKindWithinTheData) {
  using Bytes = std::vector<std::uint8_t>;
  struct Case {
    const char* what;
    RegValueKind kind;
    Bytes data;
    std::u16string expected;
  };
  const Case cases[] = {
      {"text with its null", RegValueKind::Text, {'O', 0, 'k', 0, 0, 0}, u"Ok"},
      {"text cut at the first null", RegValueKind::Text, {'a', 0, 0, 0, 'b', 0}, u"a"},
      {"text without null", RegValueKind::Text, {'a', 0, 'b', 0}, u"ab"},
      {"text of an odd byte count", RegValueKind::Text, {'a', 0, 'b'}, u"a"},
      {"text of one byte", RegValueKind::Text, {'a'}, u""},
      {"text beyond Latin", RegValueKind::Text, {0xC9, 0x00, 0xAC, 0x20}, u"É€"},
      {"number", RegValueKind::Number, {0x2A, 0, 0, 0}, u"42"},
      {"negative number", RegValueKind::Number, {0xFF, 0xFF, 0xFF, 0xFF}, u"-1"},
      {"largest number", RegValueKind::Number, {0xFF, 0xFF, 0xFF, 0x7F}, u"2147483647"},
      {"number of 3 bytes", RegValueKind::Number, {1, 2, 3}, u"01,02,03"},
      {"number of 8 bytes", RegValueKind::Number, {1, 0, 0, 0, 0, 0, 0, 0}, u"01,00,00,00,00,00,00,00"},
      {"bytes", RegValueKind::Other, {0x01, 0xAB, 0x00, 0xF0}, u"01,AB,00,F0"},
      {"one byte", RegValueKind::Other, {0x0C}, u"0C"},
      {"no data", RegValueKind::Other, {}, u""},
      {"no text", RegValueKind::Text, {}, u""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    EXPECT_EQ(RegValueText(c.kind, c.data), c.expected);
  }
}
