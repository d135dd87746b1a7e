// HexToBytes on any text, single-byte and UTF-16: one byte per pair of units, each the
// value of its two digits by the table "0123456789ABCDEF" (-1 outside it), modulo 256.
#include <algorithm>
#include <cstdint>
#include <vector>
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

// The block form and both decoding paths give the same bytes as the whole decoding,
// wherever the blocks are cut (at even places, as ExtractPayload cuts them).
void CheckBlocks(std::string_view text, const std::vector<std::uint8_t>& whole) {
  const std::size_t pairs = text.size() / 2;
  std::vector<std::uint8_t> out(pairs + 1, 0x5A);
  hex_detail::DecodePortable(text.data(), pairs, out.data());
  if (!std::equal(whole.begin(), whole.end(), out.begin()) || out[pairs] != 0x5A) std::abort();
#ifdef __SSE2__
  std::fill(out.begin(), out.end(), 0x5A);
  hex_detail::DecodeSse2(text.data(), pairs, out.data());
  if (!std::equal(whole.begin(), whole.end(), out.begin()) || out[pairs] != 0x5A) std::abort();
#endif
  const std::size_t block = text.empty() ? 2 : 2 * (1 + static_cast<unsigned char>(text[0]) % 40);
  std::vector<std::uint8_t> joined;
  std::vector<std::uint8_t> buffer(block / 2);
  for (std::size_t at = 0; at < text.size(); at += block) {
    const std::size_t n = HexToBytesInto(text.substr(at, block), buffer.data());
    joined.insert(joined.end(), buffer.begin(), buffer.begin() + static_cast<std::ptrdiff_t>(n));
  }
  if (joined != whole) std::abort();

  // The line form: the bytes of the first line only, and its length.
  const std::size_t line = std::min({text.find('\r'), text.find('\n'), text.size()});
  std::fill(out.begin(), out.end(), 0x5A);
  if (HexLineToBytesInto(text, out.data()) != line) std::abort();
  const std::vector<std::uint8_t> first = HexToBytes(text.substr(0, line));
  if (!std::equal(first.begin(), first.end(), out.begin()) || out[line / 2] != 0x5A) std::abort();
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  Check(text);
  CheckBlocks(text, HexToBytes(text));
  std::u16string units;  // the same bytes as UTF-16 code units, beyond 255 included
  for (std::size_t i = 0; i + 1 < size; i += 2) units.push_back(static_cast<char16_t>(data[i] | data[i + 1] << 8));
  Check(std::u16string_view(units));
  return 0;
}
