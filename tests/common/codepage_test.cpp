#include "common/codepage.h"

#include <gtest/gtest.h>

#include <thread>

namespace zelk {
namespace {

TEST(Codepage, JapaneseTextRoundTripsThroughCp932) {
    const std::string text = "あいう漢字ｱｲｳ ABC\r\n①～";
    const auto bytes = Utf8ToCp932(text);
    ASSERT_TRUE(bytes);
    EXPECT_EQ(*bytes,
              "\x82\xA0\x82\xA2\x82\xA4\x8A\xBF\x8E\x9A\xB1\xB2\xB3 ABC\r\n\x87\x40\x81\x60");
    const auto back = Cp932ToUtf8(*bytes);
    ASSERT_TRUE(back);
    EXPECT_EQ(*back, text);
}

TEST(Codepage, StrictConversionReportsWhatDoesNotConvert) {
    EXPECT_FALSE(Utf8ToCp932("snow \xE2\x9B\x84"));  // U+26C4 has no CP932 form
    EXPECT_FALSE(Cp932ToUtf8("\x82"));               // lead byte without trail
    EXPECT_FALSE(Cp932ToUtf8("a\x82\x20z"));         // trail byte out of range
    EXPECT_EQ(Utf8ToCp932(""), std::string());
}

TEST(Codepage, LossyConversionReplacesOnlyTheBadPieces) {
    EXPECT_EQ(Utf8ToCp932Lossy("a\xE2\x9B\x84"
                               "b"),
              "a?b");
    EXPECT_EQ(Utf8ToCp932Lossy("a\xFF"
                               "b"),
              "a?b");
    EXPECT_EQ(Cp932ToUtf8Lossy("a\x82"), "a\xEF\xBF\xBD");
    EXPECT_EQ(Cp932ToUtf8Lossy("\x82\xA0\x82"), "あ\xEF\xBF\xBD");
}

TEST(Codepage, CharacterWidthsFollowCp932) {
    EXPECT_TRUE(IsSingleByteChar(U'A'));
    EXPECT_TRUE(IsSingleByteChar(U'ｱ'));  // half-width katakana
    EXPECT_FALSE(IsDoubleByteChar(U'ｱ'));
    EXPECT_TRUE(IsDoubleByteChar(U'あ'));
    EXPECT_TRUE(IsDoubleByteChar(U'Ａ'));
    EXPECT_TRUE(IsDoubleByteChar(U'髙'));  // IBM extension
    EXPECT_TRUE(IsDoubleByteChar(U'①'));   // NEC special character
    EXPECT_FALSE(IsSingleByteChar(U'あ'));
    EXPECT_FALSE(IsDoubleByteChar(U'\u26C4'));
    EXPECT_FALSE(IsSingleByteChar(U'\u26C4'));
    EXPECT_FALSE(IsDoubleByteChar(U'\U0001F600'));
}

TEST(Codepage, TextWidthTests) {
    EXPECT_TRUE(IsSingleByteText("abc ｱｲ"));
    EXPECT_FALSE(IsSingleByteText("abcあ"));
    EXPECT_TRUE(IsDoubleByteText("全角テキスト！"));
    EXPECT_FALSE(IsDoubleByteText("全角 text"));
    EXPECT_TRUE(IsSingleByteText(""));
    EXPECT_TRUE(IsDoubleByteText(""));
}

TEST(Codepage, ConvertersWorkOnEveryThread) {
    std::string results[2];
    std::thread a([&] { results[0] = Cp932ToUtf8Lossy("\x82\xA0"); });
    std::thread b([&] { results[1] = Cp932ToUtf8Lossy("\x82\xA2"); });
    a.join();
    b.join();
    EXPECT_EQ(results[0], "あ");
    EXPECT_EQ(results[1], "い");
}

}  // namespace
}  // namespace zelk
