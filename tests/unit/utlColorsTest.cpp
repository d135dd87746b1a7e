#include "util/utlColors.h"

#include <gtest/gtest.h>

TEST(ColorToRGBStr, RedGreenBlueInDecimalAlphaIgnored) {
  const std::pair<std::uint32_t, std::u16string> cases[] = {
      {0xFF80000Au, u"128,0,10"}, {0u, u"0,0,0"},
      {0xFFFFFFFFu, u"255,255,255"}, {0x00010203u, u"1,2,3"},
  };
  for (const auto& [color, text] : cases)
    EXPECT_EQ(ColorToRGBStr(color), text) << std::hex << color;
}
