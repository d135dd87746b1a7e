#include "util/textCodec.h"

#include <gtest/gtest.h>

TEST(TextCodec, AnsiIsWindows1252) {
  EXPECT_EQ(ToAnsi(u"é€Œ"), "\xE9\x80\x8C");
  EXPECT_EQ(FromAnsi("\xE9\x80\x8C"), u"é€Œ");
  EXPECT_EQ(ToAnsi(u"a\u4E2Db"), "a?b");  // outside the code page
  EXPECT_EQ(ToAnsi(u""), "");
  EXPECT_EQ(FromAnsi(""), u"");
}

TEST(TextCodec, Utf8RoundTripAndDamagedInput) {
  const std::u16string text = u"Projets é \U0001F4C2";
  EXPECT_EQ(Utf8ToUtf16(Utf16ToUtf8(text)), text);
  EXPECT_EQ(Utf16ToUtf8(u"\U0001F4C2"), "\xF0\x9F\x93\x82");
  EXPECT_EQ(Utf8ToUtf16("a\xC3"), u"a\uFFFD");     // cut sequence
  EXPECT_EQ(Utf8ToUtf16("\xFF" "b"), u"\uFFFDb");   // invalid lead byte
  EXPECT_EQ(Utf16ToUtf8(std::u16string(1, u'\xD800')), "\xEF\xBF\xBD");  // lone surrogate
}
