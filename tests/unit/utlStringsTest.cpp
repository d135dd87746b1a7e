#include "util/utlStrings.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>

namespace {
const std::u16string kLoneSurrogate(1, u'\xD800');
}  // namespace

TEST(MatchesPattern, EmptyMatchesNeverCountAndDollarIsTheEnd) {
  EXPECT_FALSE(MatchesPattern(u"", u"^[-+]?\\d*$"));
  EXPECT_FALSE(MatchesPattern(std::u16string_view(), u"^.*$"));
  EXPECT_TRUE(MatchesPattern(u"12", u"^[-+]?\\d*$"));
  EXPECT_FALSE(MatchesPattern(u"12\n", u"^\\d+$"));  // not before a final line break
  EXPECT_FALSE(MatchesPattern(u"٣", u"^\\d+$"));      // \d is ASCII only
  EXPECT_FALSE(MatchesPattern(u"12", u"^(\\d+$"));    // invalid pattern
  EXPECT_TRUE(MatchesPattern(kLoneSurrogate + u"12", u"\\d+"));
}

TEST(LowerNoAccent, LowersAsciiAndFoldsTheTableOnly) {
  EXPECT_EQ(LowerNoAccent(u"ÉTÉ à Noël", true), u"ÉtÉ a noel");
  EXPECT_EQ(LowerNoAccent(u"ÉTÉ à Noël", false), u"ÉtÉ à noël");
  EXPECT_EQ(LowerNoAccent(u"àáâãäçèéêëìíîïñðòóôöùúûüý", true), u"aaaaaceeeeiiiinooooouuuuy");
  EXPECT_EQ(LowerNoAccent(u"õåæøÿ÷þÀÇ", true), u"õåæøÿ÷þÀÇ");
  EXPECT_EQ(LowerNoAccent(u"UNINSTALL", false), u"uninstall");
  EXPECT_EQ(StrUpper(u"uninstall é"), u"UNINSTALL é");
}

TEST(StrIsIntAndStrIsNum, Shapes) {
  struct Case {
    std::u16string text;
    bool positive, isInt, isNum;
  };
  const Case cases[] = {
      {u"", false, false, false},      {u"+12", true, true, true},
      {u"-12", true, false, false},    {u"-12", false, true, true},
      {u"007", true, true, true},      {u"1.5", false, false, true},
      {u"1,5", false, false, true},    {u",5", true, false, true},
      {u"5,", false, false, false},    {u"1.000,5", false, false, false},
      {u"-", false, false, false},     {u" 1", false, false, false},
      {u"1e5", false, false, false},   {u"12\n", false, false, false},
      {kLoneSurrogate, false, false, false},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(StrIsInt(c.text, c.positive), c.isInt) << testing::PrintToString(c.text);
    EXPECT_EQ(StrIsNum(c.text, c.positive), c.isNum) << testing::PrintToString(c.text);
  }
}

TEST(StrToIntOr0, ValueOrZeroWithinTheSigned32BitRange) {
  const std::pair<std::u16string, std::int32_t> cases[] = {
      {u"", 0},           {u"-", 0},
      {u"007", 7},        {u"1,5", 0},
      {u"+12", 12},       {u"-12", -12},
      {u" 1", 0},         {u"2147483647", 2147483647},
      {u"2147483648", 0}, {u"-2147483648", std::numeric_limits<std::int32_t>::min()},
      {u"-2147483649", 0}, {u"99999999999999999999", 0},
      {u"0000000000000000000000042", 42},
  };
  for (const auto& [text, value] : cases)
    EXPECT_EQ(StrToIntOr0(text), value) << testing::PrintToString(text);
}

TEST(StrToNumOr0, CommaOrDotAndSinglePrecision) {
  const std::pair<std::u16string, float> cases[] = {
      {u"", 0.f},      {u"1.25", 1.25f},  {u"1,25", 1.25f}, {u"5,", 5.f},
      {u",5", 0.5f},   {u"-.5", -0.5f},   {u"+3", 3.f},     {u",", 0.f},
      {u"-", 0.f},     {u"1.000,5", 0.f}, {u"1e5", 0.f},    {u"16777217", 16777216.f},
      {u"340282346638528859811704183484516925440", std::numeric_limits<float>::max()},
      {u"1" + std::u16string(39, u'0'), 0.f},  // beyond single precision
  };
  for (const auto& [text, value] : cases)
    EXPECT_EQ(StrToNumOr0(text), value) << testing::PrintToString(text);
}

TEST(FmtFloatDot, OneFloatConversionWithADot) {
  const std::pair<std::u16string, std::u16string> cases[] = {
      {u"%.3f", u"1.500"},         {u"%.0f", u"2"},
      {u"Durée %.2f s", u"Durée 1.50 s"}, {u"%8.1f", u"     1.5"},
      {u"%-6.1f|", u"1.5   |"},   {u"%+.1f", u"+1.5"},
      {u"%%%.1f%%", u"%1.5%"},    {u"a,b %g", u"a.b 1.5"},
      {u"%.f", u"2"},
  };
  for (const auto& [pattern, text] : cases)
    EXPECT_EQ(FmtFloatDot(pattern, 1.5f), text) << testing::PrintToString(pattern);
  EXPECT_EQ(FmtFloatDot(u"%.7f", 0.1f), u"0.1000000");
  EXPECT_EQ(FmtFloatDot(u"%.100f", 1.f).size(), 102u);
}

TEST(FmtFloatDot, AnyOtherPatternGivesEmpty) {
  for (const std::u16string pattern :
       {u"", u"abc", u"%", u"%%", u"%s", u"%d", u"%n", u"%.3f %.3f", u"%.-1f", u"%.3", u"%*f",
        u"%.*f", u"%lf", u"%Lf", u"%.101f", u"%1000f", u"%.99999999999999999999f", u"%'f"})
    EXPECT_EQ(FmtFloatDot(pattern, 1.5f), u"") << testing::PrintToString(pattern);
}

TEST(CompareByType, TypeLetters) {
  struct Case {
    std::u16string a, b;
    char16_t letter;
    int result;
  };
  const Case cases[] = {
      {u"B", u"a", u'A', -1},          {u"é", u"z", u'A', 1},
      {u"ab", u"abc", u'A', -1},       {u"abc", u"abc", u'A', 0},
      {u"Éa", u"éa", u'a', 1},         {u"École", u"ecole", u'a', 1},
      {u"ÉCOLE", u"Écolé", u'a', 0},   {u"31/12/22", u"01/01/2023", u'D', -1},
      {u"31/12/22", u"01/01/2023", u'd', -1}, {u"", u"01/01/2023", u'd', -1},
      {u"05/03/23", u"05/03/2023", u'D', 0},  {u"16777217", u"16777216", u'N', 0},
      {u"10", u"9", u'I', 1},          {u"10", u"9", u'A', -1},
      {u"1,5", u"1.5", u'n', 0},       {u"abc", u"-1", u'i', 1},
      {u"x", u"y", u'Z', 0},           {u"x", u"y", u'\0', 0},
  };
  for (const auto& c : cases)
    EXPECT_EQ(CompareByType(c.a, c.b, c.letter), c.result)
        << testing::PrintToString(c.a) << " / " << testing::PrintToString(c.b) << " "
        << static_cast<char>(c.letter);
}

TEST(SplitToList, SplittingRule) {
  using Fields = std::vector<std::u16string>;
  const std::pair<std::u16string, Fields> cases[] = {
      {u"a/b/c", {u"a", u"b", u"c"}}, {u"/a/b", {u"a", u"b"}}, {u"a//b", {u"a", u"", u"b"}},
      {u"//a", {u"", u"a"}},          {u"a", {u"a"}},          {u"a/", {u"a"}},
      {u"a//", {u"a", u""}},          {u"", {}},               {u"/", {}},
      {u"///", {}},
  };
  for (const auto& [text, fields] : cases) {
    Fields list{u"old"};
    EXPECT_EQ(SplitToList(list, text, 0, u'/'), static_cast<int>(fields.size()));
    EXPECT_EQ(list, fields) << testing::PrintToString(text);
  }
  Fields list;
  EXPECT_EQ(SplitToList(list, u"a/b", 1, u'/'), 2);
  EXPECT_EQ(list, (Fields{u"", u"a", u"b"}));
  EXPECT_EQ(SplitToList(list, u"//", 1, u'/'), 0);
  EXPECT_TRUE(list.empty());  // no lead entry without fields
}

TEST(SplitToArray, FillsAtMostCountSlots) {
  std::vector<std::u16string> slots{u"x", u"y", u"z"};
  int count = 2;
  SplitToArray(slots, count, u"a/b/c", u'/');
  EXPECT_EQ(count, 2);
  EXPECT_EQ(slots, (std::vector<std::u16string>{u"a", u"b", u"z"}));

  count = 3;
  SplitToArray(slots, count, u"a", u'/');
  EXPECT_EQ(count, 1);
  EXPECT_EQ(slots, (std::vector<std::u16string>{u"a", u"", u""}));

  count = 3;
  SplitToArray(slots, count, u"//", u'/');
  EXPECT_EQ(count, 0);
  EXPECT_EQ(slots, (std::vector<std::u16string>{u"", u"", u""}));

  std::vector<std::u16string> few;  // fewer slots than asked: they are added
  count = 2;
  SplitToArray(few, count, u"a;b;c", u';');
  EXPECT_EQ(count, 2);
  EXPECT_EQ(few, (std::vector<std::u16string>{u"a", u"b"}));

  count = -1;
  SplitToArray(few, count, u"a;b", u';');
  EXPECT_EQ(count, 0);
}

TEST(GetField, IndexFromOneWithinTheFields) {
  const std::pair<int, std::u16string> cases[] = {
      {1, u"12"}, {2, u"05"}, {3, u"2023"}, {0, u""}, {4, u""}, {-1, u""},
      {std::numeric_limits<int>::max(), u""},
  };
  for (const auto& [index, field] : cases)
    EXPECT_EQ(GetField(u"12/05/2023", index, u'/'), field) << index;
  EXPECT_EQ(GetField(u"//a", 1, u'/'), u"");
  EXPECT_EQ(GetField(u"", 1, u'/'), u"");
}

TEST(NormSep, DropsOneLeadingAndEnsuresOneClosingSeparator) {
  const std::pair<std::u16string, std::u16string> cases[] = {
      {u"/a", u"a/"}, {u"a/", u"a/"}, {u"a", u"a/"}, {u"", u"/"}, {u"//a", u"/a/"}, {u"/", u"/"},
  };
  for (const auto& [text, normal] : cases) EXPECT_EQ(NormSep(text, u'/'), normal);
}

TEST(DateKey, YearMonthDayAsWritten) {
  const std::pair<std::u16string, std::u16string> cases[] = {
      {u"", u"00010101"},         {u"05/03/23", u"20230305"}, {u"05/03/2023", u"20230305"},
      {u"5/3/2023", u"202335"},   {u"05/03", u"0305"},        {u"05/03/1985", u"19850305"},
  };
  for (const auto& [date, key] : cases) EXPECT_EQ(DateKey(date), key);
}

TEST(HexToBytes, UpperCaseDigitPairs) {
  const std::vector<std::uint8_t> zipSignature{0x50, 0x4B, 0x03, 0x04};
  EXPECT_EQ(HexToBytes(u"504B0304"), zipSignature);
  EXPECT_EQ(HexToBytes(std::string_view("504B0304")), zipSignature);
  EXPECT_EQ(HexToBytes(u"0a"), (std::vector<std::uint8_t>{255}));  // outside the table: -1
  EXPECT_EQ(HexToBytes(u"a0"), (std::vector<std::uint8_t>{240}));
  EXPECT_EQ(HexToBytes(u"504"), (std::vector<std::uint8_t>{0x50}));  // unpaired digit dropped
  EXPECT_EQ(HexToBytes(std::string_view("\xFF" "0")), (std::vector<std::uint8_t>{240}));
  EXPECT_EQ(HexToBytes(u"\u0130" "0"), (std::vector<std::uint8_t>{240}));
  EXPECT_TRUE(HexToBytes(u"").empty());
}

namespace {
// Every pair of single-byte characters, then the same text cut at every length up to 70
// from every start up to 33, so that each decoding path meets each character in each
// place of its blocks and of its tail.
std::vector<std::string> HexTable() {
  std::string every;
  for (int high = 0; high < 256; ++high)
    for (int low = 0; low < 256; ++low) {
      every += static_cast<char>(high);
      every += static_cast<char>(low);
    }
  std::vector<std::string> table{every, "504B0304", "0a", "a0", "504", "", "0123456789ABCDEFabcdef"};
  const std::string mixed =
      "0123456789ABCDEF\xFF" "0a9G/:@F" "FEDCBA9876543210" "504B0304" "\x80" "zZ" + every.substr(5000, 40);
  for (std::size_t start = 0; start < 33; ++start)
    for (std::size_t length = 0; length <= 70 && start + length <= mixed.size(); ++length)
      table.push_back(mixed.substr(start, length));
  return table;
}

std::vector<std::uint8_t> Expected(const std::string& text) {
  const auto value = [](unsigned char c) {
    return c >= '0' && c <= '9' ? c - '0' : c >= 'A' && c <= 'F' ? c - 'A' + 10 : -1;
  };
  std::vector<std::uint8_t> bytes;
  for (std::size_t i = 0; i + 1 < text.size(); i += 2)
    bytes.push_back(static_cast<std::uint8_t>(value(text[i]) * 16 + value(text[i + 1])));
  return bytes;
}
}  // namespace

// The first line of each text of the table, with a CR or an LF put at many places: the
// bytes of that line only, and its length.
TEST(HexToBytes, TheLineFormStopsAtTheFirstLineBreak) {
  for (const std::string& base : HexTable()) {
    for (const char* lineBreak : {"\r", "\n", "\r\n"}) {
      for (std::size_t at = 0; at <= std::min<std::size_t>(base.size(), 200); at += at < 70 ? 1 : 13) {
        const std::string text = base.substr(0, at) + lineBreak + "4142";
        const std::size_t line = std::min(text.find('\r'), text.find('\n'));
        std::vector<std::uint8_t> out(text.size() / 2 + 1, 0xAA);
        ASSERT_EQ(HexLineToBytesInto(text, out.data()), line) << at;
        EXPECT_EQ(std::vector<std::uint8_t>(out.begin(), out.begin() + static_cast<std::ptrdiff_t>(line / 2)),
                  Expected(text.substr(0, line)))
            << at;
        EXPECT_EQ(out[line / 2], 0xAA) << "nothing written past the line";
      }
    }
    std::vector<std::uint8_t> out(base.size() / 2);
    EXPECT_EQ(HexLineToBytesInto(base, out.data()), std::min({base.find('\r'), base.find('\n'), base.size()}));
  }
}

TEST(HexToBytes, BothDecodingPathsGiveTheTablesBytes) {
  int paths = 0;
  for (const std::string& text : HexTable()) {
    const std::vector<std::uint8_t> expected = Expected(text);
    const std::size_t pairs = text.size() / 2;
    std::vector<std::uint8_t> portable(pairs + 1, 0xAA);
    hex_detail::DecodePortable(text.data(), pairs, portable.data());
    EXPECT_EQ(std::vector<std::uint8_t>(portable.begin(), portable.end() - 1), expected) << text.size();
    EXPECT_EQ(portable.back(), 0xAA) << "nothing written past the pairs";
    paths = 1;
#ifdef __SSE2__
    std::vector<std::uint8_t> sse2(pairs + 1, 0xAA);
    hex_detail::DecodeSse2(text.data(), pairs, sse2.data());
    EXPECT_EQ(std::vector<std::uint8_t>(sse2.begin(), sse2.end() - 1), expected) << text.size();
    EXPECT_EQ(sse2.back(), 0xAA) << "nothing written past the pairs";
    paths = 2;
#endif
    std::vector<std::uint8_t> into(pairs);
    EXPECT_EQ(HexToBytesInto(text, into.data()), pairs);
    EXPECT_EQ(into, expected);
    EXPECT_EQ(HexToBytes(std::string_view(text)), expected);
    EXPECT_EQ(HexToBytes(std::u16string(text.begin(), text.end())).size(), pairs);
  }
#if defined(__SSE2__)
  EXPECT_EQ(paths, 2);
#endif
  (void)paths;
#if defined(__x86_64__) || defined(_M_X64)
  EXPECT_EQ(paths, 2) << "every x86-64 build decodes with SSE2";
#endif
}

TEST(StringRoutines, HugeAndDamagedTexts) {
  const std::u16string digits(1'000'000, u'7');
  EXPECT_TRUE(StrIsInt(digits, true));
  EXPECT_EQ(StrToIntOr0(digits), 0);
  EXPECT_EQ(StrToNumOr0(digits), 0.f);
  EXPECT_EQ(StrToNumOr0(u"0," + digits), 0.7777778f);

  const std::u16string separators(100'000, u'/');
  std::vector<std::u16string> list;
  EXPECT_EQ(SplitToList(list, separators + u"a", 0, u'/'), 99'999 + 1);
  EXPECT_EQ(GetField(separators + u"a", 100'000, u'/'), u"a");

  const std::u16string damaged = kLoneSurrogate + u"/\xDC00/x";
  EXPECT_EQ(GetField(damaged, 2, u'/'), std::u16string{u'\xDC00'});
  EXPECT_EQ(StrToNumOr0(damaged), 0.f);
  EXPECT_EQ(LowerNoAccent(damaged, true), damaged);
  EXPECT_EQ(CompareByType(damaged, damaged, u'a'), 0);
  EXPECT_EQ(DateKey(damaged), (std::u16string{u'x', u'\xDC00', u'\xD800'}));
}
