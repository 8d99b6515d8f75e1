#include "common/utf8.h"

#include <gtest/gtest.h>

namespace zelk {
namespace {

TEST(Utf8, DecodesEveryLength) {
    EXPECT_EQ(DecodeUtf8("a\xC3\xA9\xE3\x81\x82\xF0\x9F\x98\x80"), U"aéあ\U0001F600");
    EXPECT_EQ(EncodeUtf8(U"aéあ\U0001F600"), "a\xC3\xA9\xE3\x81\x82\xF0\x9F\x98\x80");
}

TEST(Utf8, EachMalformedByteBecomesOneReplacement) {
    EXPECT_EQ(DecodeUtf8("\x80"), U"\uFFFD");
    EXPECT_EQ(DecodeUtf8("a\xE3\x81"), U"a\uFFFD\uFFFD");          // truncated
    EXPECT_EQ(DecodeUtf8("\xC0\xAF"), U"\uFFFD\uFFFD");            // overlong "/"
    EXPECT_EQ(DecodeUtf8("\xED\xA0\x80"), U"\uFFFD\uFFFD\uFFFD");  // surrogate
    EXPECT_EQ(DecodeUtf8("\xF4\x90\x80\x80"), U"\uFFFD\uFFFD\uFFFD\uFFFD");
    EXPECT_EQ(DecodeUtf8("\xE3\x41"), U"\uFFFDA");
}

TEST(Utf8, EncodingRefusesImpossibleCodePoints) {
    std::string out;
    AppendUtf8(out, 0xD800);
    AppendUtf8(out, 0x110000);
    EXPECT_EQ(out, "\xEF\xBF\xBD\xEF\xBF\xBD");
}

TEST(Utf8, ValidityCheckAcceptsOnlyWellFormedText) {
    EXPECT_TRUE(IsValidUtf8(""));
    EXPECT_TRUE(IsValidUtf8("abc あ \xEF\xBF\xBD"));
    EXPECT_FALSE(IsValidUtf8("\x82\xA0"));  // CP932 "あ"
    EXPECT_FALSE(IsValidUtf8("a\xE3\x81"));
}

TEST(Utf8, LengthCountsCodePoints) {
    EXPECT_EQ(Utf8Length(""), 0u);
    EXPECT_EQ(Utf8Length("aあ\U0001F600"), 3u);
    EXPECT_EQ(Utf8Length("\xE3\x81"), 2u);
}

}  // namespace
}  // namespace zelk
