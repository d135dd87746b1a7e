#define PCRE2_CODE_UNIT_WIDTH 16
#include "util/utlStrings.h"

#include <pcre2.h>

#include <array>
#include <memory>
#include <type_traits>

bool MatchesPattern(std::u16string_view text, std::u16string_view pattern) {
  int error = 0;
  PCRE2_SIZE offset = 0;
  std::unique_ptr<pcre2_code, decltype(&pcre2_code_free)> code(
      pcre2_compile(reinterpret_cast<PCRE2_SPTR>(pattern.data()), pattern.size(),
                    PCRE2_UTF | PCRE2_MATCH_INVALID_UTF, &error, &offset, nullptr),
      &pcre2_code_free);
  if (!code) return false;
  std::unique_ptr<pcre2_match_data, decltype(&pcre2_match_data_free)> match(
      pcre2_match_data_create_from_pattern(code.get(), nullptr), &pcre2_match_data_free);
  if (!match) return false;
  const int found = pcre2_match(code.get(), reinterpret_cast<PCRE2_SPTR>(text.data()), text.size(),
                                0, PCRE2_NOTEMPTY, match.get(), nullptr);
  return found > 0;
}

std::u16string StrUpper(std::u16string_view text) {
  std::u16string out(text);
  for (auto& c : out)
    if (c >= u'a' && c <= u'z') c = static_cast<char16_t>(c - u'a' + u'A');
  return out;
}

namespace {
// Value of each code unit below 256 as a hexadecimal digit; -1 for every other unit.
constexpr std::array<int, 256> kHexValue = [] {
  std::array<int, 256> table{};
  for (auto& v : table) v = -1;
  for (int i = 0; i < 10; ++i) table['0' + i] = i;
  for (int i = 0; i < 6; ++i) table['A' + i] = 10 + i;
  return table;
}();

template <typename Unit>
std::vector<std::uint8_t> DecodeHex(const Unit* text, std::size_t length) {
  const std::size_t n = length / 2;  // an unpaired last digit is dropped
  std::vector<std::uint8_t> bytes(n);
  std::uint8_t* out = bytes.data();
  for (std::size_t i = 0; i < n; ++i) {
    const auto hi = static_cast<std::make_unsigned_t<Unit>>(text[2 * i]);
    const auto lo = static_cast<std::make_unsigned_t<Unit>>(text[2 * i + 1]);
    const int high = hi < 256 ? kHexValue[hi] : -1;
    const int low = lo < 256 ? kHexValue[lo] : -1;
    out[i] = static_cast<std::uint8_t>(high * 16 + low);  // modulo 256
  }
  return bytes;
}
}  // namespace

std::vector<std::uint8_t> HexToBytes(std::u16string_view hex) { return DecodeHex(hex.data(), hex.size()); }
std::vector<std::uint8_t> HexToBytes(std::string_view hex) { return DecodeHex(hex.data(), hex.size()); }
