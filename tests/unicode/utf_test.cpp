// UTF-16 to UTF-8 and back: the conversions map files, X11 text and Linux paths go through.
#include "unicode/utf.h"

#include <gtest/gtest.h>

TEST(Utf8, EncodesEveryLength) {
    EXPECT_EQ(unicode::toUtf8(u"A\u00E9\u4E2D\U0001F600"), "A\xC3\xA9\xE4\xB8\xAD\xF0\x9F\x98\x80");
    EXPECT_EQ(unicode::fromUtf8("A\xC3\xA9\xE4\xB8\xAD\xF0\x9F\x98\x80"), u"A\u00E9\u4E2D\U0001F600");
    EXPECT_EQ(unicode::toUtf8(std::u16string(u"\0", 1)), std::string("\0", 1));
}

TEST(Utf8, UnpairedSurrogatesEncodeAsReplacement) {
    EXPECT_EQ(unicode::toUtf8(u"\xD83D"), "\xEF\xBF\xBD");
    EXPECT_EQ(unicode::toUtf8(u"\xDE00\xD83D"), "\xEF\xBF\xBD\xEF\xBF\xBD");
    EXPECT_EQ(unicode::toUtf8(u"\xD83Dx"), "\xEF\xBF\xBDx");
}

TEST(Utf8, EachIllFormedSequenceDecodesAsOneReplacement) {
    const std::u16string r = u"\xFFFD";
    EXPECT_EQ(unicode::fromUtf8("\x80"), r);                          // lone continuation
    EXPECT_EQ(unicode::fromUtf8("\xC0\xAF"), r + r);                  // overlong lead, then a continuation
    EXPECT_EQ(unicode::fromUtf8("\xE0\x80\xAF"), r + r + r);          // overlong three-byte form
    EXPECT_EQ(unicode::fromUtf8("\xED\xA0\x80"), r + r + r);          // an encoded surrogate
    EXPECT_EQ(unicode::fromUtf8("\xF4\x90\x80\x80"), r + r + r + r);  // above U+10FFFF
    EXPECT_EQ(unicode::fromUtf8("\xE4\xB8"), r);                      // truncated at the end
    EXPECT_EQ(unicode::fromUtf8("\xE4\xB8x"), r + u"x");              // truncated before ASCII
    EXPECT_EQ(unicode::fromUtf8("\xF0\x9F\x98"), r);
    EXPECT_EQ(unicode::fromUtf8("\xF5\xFF"), r + r);
    EXPECT_EQ(unicode::fromUtf8("\xEF\xBF\xBF"), u"\xFFFF");  // a noncharacter is still a character
    EXPECT_EQ(unicode::fromUtf8("\xF4\x8F\xBF\xBF"), u"\xDBFF\xDFFF");
}

TEST(Utf16, CodePointsBecomeOneOrTwoUnitsAndNonCharactersBecomeReplacement) {
    std::u16string out;
    unicode::appendCodePoint(out, U'中');
    unicode::appendCodePoint(out, U'\U0001F600');
    unicode::appendCodePoint(out, 0xD800);    // a surrogate is not a code point of text
    unicode::appendCodePoint(out, 0x110000);  // beyond Unicode
    EXPECT_EQ(out, u"中\U0001F600\xFFFD\xFFFD");
}
