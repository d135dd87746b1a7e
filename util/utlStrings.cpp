#define PCRE2_CODE_UNIT_WIDTH 16
#include "util/utlStrings.h"

#include <pcre2.h>

#include <algorithm>
#include <array>
#include <charconv>
#include <cstdint>
#include <cstdio>
#include <memory>
#include <optional>
#include <type_traits>

#ifdef __SSE2__
#include <emmintrin.h>
#include <xmmintrin.h>
#endif

#include "util/clock.h"

bool MatchesPattern(std::u16string_view text, std::u16string_view pattern) {
  int error = 0;
  PCRE2_SIZE offset = 0;
  std::unique_ptr<pcre2_code, decltype(&pcre2_code_free)> code(
      // "$" means the end of the text only: "12\n" is not a whole number.
      pcre2_compile(reinterpret_cast<PCRE2_SPTR>(pattern.data()), pattern.size(),
                    PCRE2_UTF | PCRE2_MATCH_INVALID_UTF | PCRE2_DOLLAR_ENDONLY, &error, &offset,
                    nullptr),
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
// Plain letter of each character from U+00E0 to U+00FF; "-" keeps the character.
constexpr std::u16string_view kFolded = u"aaaaa--ceeeeiiiionooo-o--uuuuy--";
}  // namespace

std::u16string LowerNoAccent(std::u16string_view text, bool fold) {
  std::u16string out(text);
  for (auto& c : out) {
    if (c >= u'A' && c <= u'Z') {
      c = static_cast<char16_t>(c - u'A' + u'a');
    } else if (fold && c >= 0xE0 && c <= 0xFF && kFolded[c - 0xE0] != u'-') {
      c = kFolded[c - 0xE0];
    }
  }
  return out;
}

namespace {
bool HasSign(std::u16string_view text) {
  return !text.empty() && (text[0] == u'-' || text[0] == u'+');
}

// The text with "." written as ",", the decimal mark the number patterns expect.
std::u16string CommaDecimal(std::u16string_view text) {
  std::u16string out(text);
  for (auto& c : out)
    if (c == u'.') c = u',';
  return out;
}

std::string Ascii(std::u16string_view text) { return std::string(text.begin(), text.end()); }
}  // namespace

bool StrIsInt(std::u16string_view text, bool positive) {
  return MatchesPattern(text, positive ? u"^[+]?\\d+$" : u"^[-+]?\\d+$");
}

std::int32_t StrToIntOr0(std::u16string_view text) {
  if (!StrIsInt(text, false)) return 0;
  const bool negative = text[0] == u'-';
  const std::int64_t limit = negative ? 2147483648LL : 2147483647LL;
  std::int64_t value = 0;
  for (const char16_t digit : text.substr(HasSign(text) ? 1 : 0)) {
    value = value * 10 + (digit - u'0');
    if (value > limit) return 0;  // beyond the 32-bit range
  }
  return static_cast<std::int32_t>(negative ? -value : value);
}

bool StrIsNum(std::u16string_view text, bool positive) {
  return MatchesPattern(CommaDecimal(text), positive ? u"^[+]?\\d*,?\\d+$" : u"^[-+]?\\d*,?\\d+$");
}

float StrToNumOr0(std::u16string_view text) {
  const std::u16string number = CommaDecimal(text);
  if (!MatchesPattern(number, u"^[-+]?\\d*,?\\d*$") ||
      number.find_first_of(u"0123456789") == std::u16string::npos)
    return 0;
  // Rewritten as "[-]digits.digits" for the conversion, either part at least "0".
  const std::u16string_view unsigned_part =
      std::u16string_view(number).substr(HasSign(number) ? 1 : 0);
  const auto mark = unsigned_part.find(u',');
  const auto whole = unsigned_part.substr(0, mark);
  const auto fraction =
      mark == std::u16string_view::npos ? std::u16string_view() : unsigned_part.substr(mark + 1);
  std::string decimal = number[0] == u'-' ? "-" : "";
  decimal += whole.empty() ? "0" : Ascii(whole);
  decimal += '.';
  decimal += fraction.empty() ? "0" : Ascii(fraction);
  float value = 0;
  const auto [end, error] = std::from_chars(decimal.data(), decimal.data() + decimal.size(), value,
                                            std::chars_format::fixed);
  if (error != std::errc() || end != decimal.data() + decimal.size()) return 0;  // beyond float
  return value;
}

namespace {
// Width and precision above this are refused: no caller needs them.
constexpr int kMaxFieldSize = 100;

// A format pattern reduced to its one floating-point conversion ("%-8.3f") and the literal
// text around it, "%%" already read as "%".
struct FloatPattern {
  std::u16string before, after;
  std::string conversion;
};

// Reads the digits at text[i...] as a number up to kMaxFieldSize; nullopt above it.
std::optional<int> ReadFieldSize(std::u16string_view text, std::size_t& i) {
  int value = 0;
  for (; i < text.size() && text[i] >= u'0' && text[i] <= u'9'; ++i) {
    value = value * 10 + (text[i] - u'0');
    if (value > kMaxFieldSize) return std::nullopt;
  }
  return value;
}

std::optional<FloatPattern> ParseFloatPattern(std::u16string_view pattern) {
  FloatPattern parsed;
  bool found = false;
  for (std::size_t i = 0; i < pattern.size(); ++i) {
    std::u16string& literal = found ? parsed.after : parsed.before;
    if (pattern[i] != u'%') {
      literal += pattern[i];
      continue;
    }
    if (i + 1 < pattern.size() && pattern[i + 1] == u'%') {
      literal += u'%';
      ++i;
      continue;
    }
    if (found) return std::nullopt;  // a second conversion
    std::size_t end = i + 1;
    while (end < pattern.size() &&
           std::u16string_view(u"-+ #0").find(pattern[end]) != std::u16string_view::npos)
      ++end;
    if (!ReadFieldSize(pattern, end)) return std::nullopt;
    if (end < pattern.size() && pattern[end] == u'.' && !ReadFieldSize(pattern, ++end))
      return std::nullopt;
    if (end >= pattern.size() ||
        std::u16string_view(u"fFeEgG").find(pattern[end]) == std::u16string_view::npos)
      return std::nullopt;
    parsed.conversion = Ascii(pattern.substr(i, end + 1 - i));
    found = true;
    i = end;
  }
  if (!found) return std::nullopt;
  return parsed;
}
}  // namespace

std::u16string FmtFloatDot(std::u16string_view pattern, float value) {
  const auto parsed = ParseFloatPattern(pattern);
  if (!parsed) return u"";
  const char* conversion = parsed->conversion.c_str();
  const int size = std::snprintf(nullptr, 0, conversion, static_cast<double>(value));
  if (size < 0) return u"";
  std::string number(static_cast<std::size_t>(size) + 1, '\0');
  std::snprintf(number.data(), number.size(), conversion, static_cast<double>(value));
  number.resize(static_cast<std::size_t>(size));

  std::u16string out = parsed->before;
  for (const char c : number) out += c == '.' ? DecimalSeparator() : static_cast<char16_t>(c);
  out += parsed->after;
  for (auto& c : out)
    if (c == u',') c = u'.';
  return out;
}

namespace {
template <typename T>
int Order(const T& a, const T& b) {
  return a < b ? -1 : (b < a ? 1 : 0);
}
}  // namespace

int CompareByType(std::u16string_view a, std::u16string_view b, char16_t typeLetter) {
  switch (typeLetter) {
    case u'A':
      return Order(a, b);
    case u'a':
      return Order(LowerNoAccent(a, true), LowerNoAccent(b, true));
    case u'D':
    case u'd':  // the optional date compares like a date
      return Order(DateKey(a), DateKey(b));
    case u'I':
    case u'i':
    case u'N':
    case u'n':
      return Order(StrToNumOr0(a), StrToNumOr0(b));
    default:
      return 0;
  }
}

namespace {
// The fields of text by the splitting rule, at most limit of them, as views into text.
// The rule is that of NormSep: one leading separator is dropped, one closing separator
// ends the last field, and a text of separators only has no fields.
std::vector<std::u16string_view> Fields(std::u16string_view text, char16_t separator,
                                        std::size_t limit) {
  std::vector<std::u16string_view> fields;
  if (text.find_first_not_of(separator) == std::u16string_view::npos) return fields;
  if (text.front() == separator) text.remove_prefix(1);
  if (text.back() == separator) text.remove_suffix(1);
  while (fields.size() < limit) {
    const auto at = text.find(separator);
    fields.push_back(text.substr(0, at));
    if (at == std::u16string_view::npos) break;
    text.remove_prefix(at + 1);
  }
  return fields;
}
}  // namespace

void SplitToArray(std::vector<std::u16string>& slots, int& count, std::u16string_view text,
                  char16_t separator) {
  const auto wanted = static_cast<std::size_t>(std::max(count, 0));
  if (slots.size() < wanted) slots.resize(wanted);
  for (std::size_t i = 0; i < wanted; ++i) slots[i].clear();
  const auto fields = Fields(text, separator, wanted);
  for (std::size_t i = 0; i < fields.size(); ++i) slots[i] = fields[i];
  count = static_cast<int>(fields.size());
}

int SplitToList(std::vector<std::u16string>& list, std::u16string_view text, int lead,
                char16_t separator) {
  list.clear();
  const auto fields = Fields(text, separator, SIZE_MAX);
  if (fields.empty()) return 0;
  if (lead == 1) list.emplace_back();  // field k then sits at position k
  list.insert(list.end(), fields.begin(), fields.end());
  return static_cast<int>(fields.size());
}

std::u16string GetField(std::u16string_view text, int index, char16_t separator) {
  if (index < 1) return u"";
  const auto fields = Fields(text, separator, static_cast<std::size_t>(index));
  return fields.size() < static_cast<std::size_t>(index) ? u"" : std::u16string(fields.back());
}

std::u16string NormSep(std::u16string_view text, char16_t separator) {
  if (!text.empty() && text.front() == separator) text.remove_prefix(1);
  std::u16string out(text);
  if (out.empty() || out.back() != separator) out += separator;
  return out;
}

std::u16string DateKey(std::u16string_view date) {
  if (date.empty()) return u"00010101";
  std::vector<std::u16string> parts(3);  // day, month, year
  int count = 3;
  SplitToArray(parts, count, date, u'/');
  if (parts[2].size() == 2) parts[2].insert(0, u"20");
  return parts[2] + parts[1] + parts[0];
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
void DecodePairs(const Unit* text, std::size_t pairs, std::uint8_t* out) {
  for (std::size_t i = 0; i < pairs; ++i) {
    const auto hi = static_cast<std::make_unsigned_t<Unit>>(text[2 * i]);
    const auto lo = static_cast<std::make_unsigned_t<Unit>>(text[2 * i + 1]);
    const int high = hi < 256 ? kHexValue[hi] : -1;
    const int low = lo < 256 ? kHexValue[lo] : -1;
    out[i] = static_cast<std::uint8_t>(high * 16 + low);  // modulo 256
  }
}

#ifdef __SSE2__
// The values of 16 characters: c - '0' for the digits, c - 'A' + 10 for "A" to "F",
// 0xFF (-1 modulo 256) for every other character.
inline __m128i DigitValues(__m128i c) {
  const __m128i digit = _mm_sub_epi8(c, _mm_set1_epi8('0'));
  const __m128i letter = _mm_sub_epi8(c, _mm_set1_epi8('A'));
  const __m128i isDigit = _mm_cmpeq_epi8(_mm_min_epu8(digit, _mm_set1_epi8(9)), digit);
  const __m128i isLetter = _mm_cmpeq_epi8(_mm_min_epu8(letter, _mm_set1_epi8(5)), letter);
  const __m128i letterValue = _mm_add_epi8(letter, _mm_set1_epi8(10));
  return _mm_or_si128(_mm_or_si128(_mm_and_si128(isDigit, digit), _mm_and_si128(isLetter, letterValue)),
                      _mm_xor_si128(_mm_or_si128(isDigit, isLetter), _mm_set1_epi8(-1)));
}

// 16 bytes from 32 characters: in each 16-bit lane the first character is the low byte,
// and the byte is (high * 16 + low) modulo 256, as the portable path computes it.
// (The lane shifted left by 4 has the first value times 16, modulo 256, in its low byte.)
inline __m128i PairBytes(__m128i values) {
  const __m128i sum = _mm_add_epi16(_mm_slli_epi16(values, 4), _mm_srli_epi16(values, 8));
  return _mm_and_si128(sum, _mm_set1_epi16(0x00FF));
}
#endif
}  // namespace

namespace hex_detail {
void DecodePortable(const char* text, std::size_t pairs, std::uint8_t* out) { DecodePairs(text, pairs, out); }

#ifdef __SSE2__
namespace {
// The SSE2 decoding of the pairs of text[0, length), 32 at a time; with lineOnly, it stops
// at the first CR or LF. Answers how many characters it decoded: length, or where the
// line ends. The text is read a page ahead: the processor's own prefetching stops at
// each page boundary, and the text is tens of megabytes that no cache holds (here 2 to 5
// times faster). A prefetch never faults, past the end of the text neither.
std::size_t DecodeSse2Line(const char* text, std::size_t length, std::uint8_t* out, bool lineOnly) {
  constexpr std::size_t kAhead = 4096;
  const std::size_t pairs = length / 2;
  std::size_t i = 0;
  for (; i + 32 <= pairs; i += 32) {
    _mm_prefetch(text + 2 * i + kAhead, _MM_HINT_T0);
    const auto* in = reinterpret_cast<const __m128i*>(text + 2 * i);
    const __m128i a = _mm_loadu_si128(in), b = _mm_loadu_si128(in + 1);
    const __m128i c = _mm_loadu_si128(in + 2), d = _mm_loadu_si128(in + 3);
    if (lineOnly) {
      const __m128i cr = _mm_set1_epi8('\r'), lf = _mm_set1_epi8('\n');
      const auto breaks = [&](__m128i x) { return _mm_or_si128(_mm_cmpeq_epi8(x, cr), _mm_cmpeq_epi8(x, lf)); };
      if (_mm_movemask_epi8(_mm_or_si128(_mm_or_si128(breaks(a), breaks(b)), _mm_or_si128(breaks(c), breaks(d)))))
        break;  // the line ends within these 64 characters
    }
    _mm_storeu_si128(reinterpret_cast<__m128i*>(out + i),
                     _mm_packus_epi16(PairBytes(DigitValues(a)), PairBytes(DigitValues(b))));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(out + i + 16),
                     _mm_packus_epi16(PairBytes(DigitValues(c)), PairBytes(DigitValues(d))));
  }
  // The rest: fewer than 64 characters, or those from the 64 where the line ends.
  std::size_t end = length;
  if (lineOnly) {
    const std::string_view rest(text + 2 * i, length - 2 * i);
    end = 2 * i + std::min({rest.find('\r'), rest.find('\n'), rest.size()});
  }
  for (; i + 16 <= end / 2; i += 16) {
    const __m128i first = _mm_loadu_si128(reinterpret_cast<const __m128i*>(text + 2 * i));
    const __m128i second = _mm_loadu_si128(reinterpret_cast<const __m128i*>(text + 2 * i + 16));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(out + i),
                     _mm_packus_epi16(PairBytes(DigitValues(first)), PairBytes(DigitValues(second))));
  }
  DecodePairs(text + 2 * i, end / 2 - i, out + i);
  return end;
}
}  // namespace

void DecodeSse2(const char* text, std::size_t pairs, std::uint8_t* out) {
  DecodeSse2Line(text, 2 * pairs, out, false);
}
#endif
}  // namespace hex_detail

std::size_t HexToBytesInto(std::string_view hex, std::uint8_t* out) {
  const std::size_t pairs = hex.size() / 2;  // an unpaired last digit is dropped
#ifdef __SSE2__
  hex_detail::DecodeSse2(hex.data(), pairs, out);
#else
  hex_detail::DecodePortable(hex.data(), pairs, out);
#endif
  return pairs;
}

std::size_t HexLineToBytesInto(std::string_view hex, std::uint8_t* out) {
#ifdef __SSE2__
  return hex_detail::DecodeSse2Line(hex.data(), hex.size(), out, true);
#else
  const std::size_t line = std::min({hex.find('\r'), hex.find('\n'), hex.size()});
  hex_detail::DecodePortable(hex.data(), line / 2, out);
  return line;
#endif
}

std::vector<std::uint8_t> HexToBytes(std::u16string_view hex) {
  std::vector<std::uint8_t> bytes(hex.size() / 2);
  DecodePairs(hex.data(), bytes.size(), bytes.data());
  return bytes;
}
std::vector<std::uint8_t> HexToBytes(std::string_view hex) {
  std::vector<std::uint8_t> bytes(hex.size() / 2);
  HexToBytesInto(hex, bytes.data());
  return bytes;
}
