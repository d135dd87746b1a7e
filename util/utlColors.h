// Colours as alpha, red, green, blue bytes from the high byte down.
#pragma once
#include <cstdint>
#include <string>

// "red,green,blue" in decimal; alpha ignored.
std::u16string ColorToRGBStr(std::uint32_t color);
