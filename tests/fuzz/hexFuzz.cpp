// HexToBytes on any text, single-byte and UTF-16: one byte per pair of units, each the
// value of its two digits by the table "0123456789ABCDEF" (-1 outside it), modulo 256.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "tools/zipWriter.h"
#include "util/utlStrings.h"

namespace {
int DigitValue(char32_t unit) {
  if (unit >= U'0' && unit <= U'9') return static_cast<int>(unit - U'0');
  if (unit >= U'A' && unit <= U'F') return static_cast<int>(unit - U'A') + 10;
  return -1;
}

template <typename Text>
void Check(const Text& text) {
  const std::vector<std::uint8_t> bytes = HexToBytes(text);
  if (bytes.size() != text.size() / 2) std::abort();
  bool digitsOnly = true;
  for (std::size_t i = 0; i < bytes.size(); ++i) {
    const int high = DigitValue(static_cast<std::make_unsigned_t<typename Text::value_type>>(text[2 * i]));
    const int low = DigitValue(static_cast<std::make_unsigned_t<typename Text::value_type>>(text[2 * i + 1]));
    if (bytes[i] != static_cast<std::uint8_t>(high * 16 + low)) std::abort();
    digitsOnly = digitsOnly && high >= 0 && low >= 0;
  }
  if (digitsOnly) {
    const std::string again = BytesToHex(bytes);
    for (std::size_t i = 0; i < again.size(); ++i)
      if (static_cast<char32_t>(again[i]) != static_cast<char32_t>(text[i])) std::abort();
  }
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  Check(std::string_view(reinterpret_cast<const char*>(data), size));
  std::u16string units;  // the same bytes as UTF-16 code units, beyond 255 included
  for (std::size_t i = 0; i + 1 < size; i += 2) units.push_back(static_cast<char16_t>(data[i] | data[i + 1] << 8));
  Check(std::u16string_view(units));
  return 0;
}
