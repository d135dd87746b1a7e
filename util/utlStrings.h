// Text routines: case conversion with optional accent folding, number tests and
// conversions for typed values ("," or "." as decimal mark), typed comparison,
// field splitting and the hexadecimal decoding of the payload.
#pragma once
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// True when the Perl-compatible pattern finds a non-empty match in text. An empty
// match never counts, so the empty text matches no pattern; "$" is the end of the text
// only (not before a final line break); an invalid pattern matches nothing.
bool MatchesPattern(std::u16string_view text, std::u16string_view pattern);

std::u16string StrUpper(std::u16string_view text);
std::u16string LowerNoAccent(std::u16string_view text, bool fold);

bool StrIsInt(std::u16string_view text, bool positive);
// The value of an optional sign and digits; 0 for any other text and for numbers
// beyond the signed 32-bit range.
std::int32_t StrToIntOr0(std::u16string_view text);
bool StrIsNum(std::u16string_view text, bool positive);
// The value of a number with "," or "." as decimal mark ("5," and ",5" included) in single
// precision; 0 for any other text and for numbers beyond the single-precision range.
float StrToNumOr0(std::u16string_view text);

// Formats value with a printf pattern holding one floating-point conversion ("%.3f":
// flags, width and precision up to 100, one of f F e E g G) beside literal text and "%%",
// with the regional decimal separator, then writes every "," as ".". Any other pattern
// gives "", never reaching printf.
std::u16string FmtFloatDot(std::u16string_view pattern, float value);

// -1, 0 or 1 as a is before, equal to or after b under the type letter: "A" texts, "a"
// folded texts, "D" and "d" dates, "I" "i" "N" "n" numbers; any other letter gives 0.
int CompareByType(std::u16string_view a, std::u16string_view b, char16_t typeLetter);

// Splitting rule shared by the three routines below. slots holds the fields from
// index 0; count is in: slots to use, out: fields found.
void SplitToArray(std::vector<std::u16string>& slots, int& count, std::u16string_view text,
                  char16_t separator);
int SplitToList(std::vector<std::u16string>& list, std::u16string_view text, int lead,
                char16_t separator);
std::u16string GetField(std::u16string_view text, int index, char16_t separator);
std::u16string NormSep(std::u16string_view text, char16_t separator);

// "DD/MM/YY" or "DD/MM/YYYY" as year + month + day, "20" put before a two-digit year;
// "00010101" for the empty text.
std::u16string DateKey(std::u16string_view date);

// Two hexadecimal digits ("0123456789ABCDEF", upper case only) per byte. A character
// outside the table counts as -1, as the stored form's decoder always did; an unpaired
// last digit is dropped. The byte form reads single-byte text in place, without a
// UTF-16 copy: the payload is tens of megabytes.
std::vector<std::uint8_t> HexToBytes(std::u16string_view hex);
std::vector<std::uint8_t> HexToBytes(std::string_view hex);
// The same decoding into out, which has room for hex.size() / 2 bytes: the form that
// decodes a payload in blocks. Answers the number of bytes written. Where the compiler
// targets SSE2 (every x86-64 build, and the 32-bit one with -msse2) 16 bytes are
// decoded at a time.
std::size_t HexToBytesInto(std::string_view hex, std::uint8_t* out);

// HexToBytesInto on the first line of hex only (everything before the first CR or LF),
// found in the same pass: the form in which ExtractPayload decodes a resource's text,
// block by block. Answers the length of that line within hex (hex.size() when no line
// break comes in it); line / 2 bytes are written.
std::size_t HexLineToBytesInto(std::string_view hex, std::uint8_t* out);

// The two decoding paths of HexToBytesInto, for the tests: the portable one, and the
// SSE2 one where the build has it. Both write `pairs` bytes.
namespace hex_detail {
void DecodePortable(const char* text, std::size_t pairs, std::uint8_t* out);
#ifdef __SSE2__
void DecodeSse2(const char* text, std::size_t pairs, std::uint8_t* out);
#endif
}  // namespace hex_detail
