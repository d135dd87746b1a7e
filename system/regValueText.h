// The text that a registry read gives for a value's raw data, by the kind of its type.
#pragma once
#include <cstdint>
#include <span>
#include <string>

enum class RegValueKind {
  Text,    // REG_SZ, REG_EXPAND_SZ: UTF-16, environment references left as they are
  Number,  // REG_DWORD: a signed 32-bit number, little-endian
  Other,   // any other type: the bytes themselves
};

// Text: the UTF-16 units up to the first null (an odd last byte is no unit, a missing
// terminator is no fault). Number: signed decimal, when the data holds exactly 4 bytes.
// Other, and a number of any other size: upper-case hexadecimal byte pairs joined by
// "," ("01,AB").
std::u16string RegValueText(RegValueKind kind, std::span<const std::uint8_t> data);
