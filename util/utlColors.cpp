#include "util/utlColors.h"

#include <cstdio>

std::u16string ColorToRGBStr(std::uint32_t color) {
  char buffer[16];
  const int length = std::snprintf(buffer, sizeof buffer, "%u,%u,%u", (color >> 16) & 0xFFu,
                                   (color >> 8) & 0xFFu, color & 0xFFu);
  return std::u16string(buffer, buffer + length);
}
