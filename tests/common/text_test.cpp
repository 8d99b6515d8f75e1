#include "common/text.h"

#include <gtest/gtest.h>

namespace zelk {
namespace {

TEST(Text, FormatMessageArgsFillsPlaceholdersInOrder) {
    EXPECT_EQ(FormatMessageArgs("%1 of %2", {"3", "5"}), "3 of 5");
    EXPECT_EQ(FormatMessageArgs("%2%1%2", {"a", "b"}), "bab");
}

TEST(Text, FormatMessageArgsLeavesMissingPlaceholders) {
    EXPECT_EQ(FormatMessageArgs("%1 and %3", {"x"}), "x and %3");
    EXPECT_EQ(FormatMessageArgs("100% sure %", {"x"}), "100% sure %");
    EXPECT_EQ(FormatMessageArgs("%0", {"x"}), "%0");
}

TEST(Text, FormatMessageArgsDoesNotRescanInsertedValues) {
    EXPECT_EQ(FormatMessageArgs("%1-%2", {"%2", "b"}), "%2-b");
}

TEST(Text, FormatMessageArgsReadsTwoDigitPlaceholders) {
    std::vector<std::string> values;
    for (int i = 1; i <= 10; ++i) {
        std::string value = "v";
        values.push_back(value += std::to_string(i));
    }
    EXPECT_EQ(FormatMessageArgs("%10,%1", values), "v10,v1");
}

TEST(Text, TrimCharsRemovesTheSetFromBothEnds) {
    EXPECT_EQ(TrimChars("\r\n  a b \r\n", " \r\n"), "a b");
    EXPECT_EQ(TrimChars("　全角　", "　"), "全角");
    EXPECT_EQ(TrimChars("xxx", "x"), "");
    EXPECT_EQ(TrimChars("", "x"), "");
}

TEST(Text, RemoveCharsRemovesEveryOccurrence) {
    EXPECT_EQ(RemoveChars("a,b, c", ", "), "abc");
    EXPECT_EQ(RemoveChars("あいあう", "あ"), "いう");
}

TEST(Text, HexPadPadsOrCuts) {
    EXPECT_EQ(HexPad(255, 4), "00FF");
    EXPECT_EQ(HexPad(0x12345, 4), "12345");
    EXPECT_EQ(HexPad(0x12345, 4, true), "");
    EXPECT_EQ(HexPad(0, 0), "0");
    EXPECT_EQ(HexPad(-1, 8), "FFFFFFFF");
    EXPECT_EQ(HexPad(0x0900, 4), "0900");
}

TEST(Text, RgbToColorRefSwapsRedAndBlue) {
    EXPECT_EQ(RgbToColorRef(0x112233), 0x332211);
    EXPECT_EQ(RgbToColorRef(0xFF000000 | 0x0000FF), 0xFF000000 | 0xFF0000);
    EXPECT_EQ(RgbToColorRef(RgbToColorRef(0xABCDEF)), 0xABCDEF);
}

TEST(Text, CaseFoldingTouchesOnlyAscii) {
    EXPECT_EQ(ToLowerAscii("AbC漢Ｚ"), "abc漢Ｚ");
    EXPECT_TRUE(EqualsNoCase("Volume", "VOLUME"));
    EXPECT_FALSE(EqualsNoCase("Volume", "Volumes"));
    EXPECT_FALSE(EqualsNoCase("Ａ", "ａ"));
}

// Settings booleans: only the two words count, in any case; the caller's
// side decides what every other text means.
TEST(Text, ReadBoolKnowsTwoWordsInAnyCase) {
    for (const char* yes : {"true", "True", "TRUE", "tRuE"}) {
        EXPECT_TRUE(ReadBool(yes)) << yes;
        EXPECT_TRUE(ReadBool(yes, true)) << yes;
    }
    for (const char* no : {"false", "False", "FALSE"}) {
        EXPECT_FALSE(ReadBool(no)) << no;
        EXPECT_FALSE(ReadBool(no, true)) << no;
    }
    for (const char* other : {"", "1", "0", "yes", "no", " true", "truex", "ｔｒｕｅ"}) {
        EXPECT_FALSE(ReadBool(other)) << other;
        EXPECT_TRUE(ReadBool(other, true)) << other;
    }
}

TEST(Text, SplitTextKeepsEmptyPieces) {
    EXPECT_EQ(SplitText("a,,b", ","), (std::vector<std::string>{"a", "", "b"}));
    EXPECT_EQ(SplitText("", ","), (std::vector<std::string>{""}));
    EXPECT_EQ(SplitText("a\r\nb\r\n", "\r\n"), (std::vector<std::string>{"a", "b", ""}));
    EXPECT_EQ(SplitText("a\rb\nc", "\r\n"), (std::vector<std::string>{"a\rb\nc"}));
}

TEST(Text, ReplaceTextReplacesEveryOccurrence) {
    EXPECT_EQ(ReplaceText("a\r\nb\r\n", "\r\n", "[CrLf]"), "a[CrLf]b[CrLf]");
    EXPECT_EQ(ReplaceText("aaa", "aa", "b"), "ba");
}

}  // namespace
}  // namespace zelk
