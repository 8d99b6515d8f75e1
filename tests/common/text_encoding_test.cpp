#include "common/text_encoding.h"

#include <gtest/gtest.h>

#include "common/codepage.h"

namespace zelk {
namespace {

const std::string kMixed = "Zoë — 日本語 — 한국어";

TEST(TextEncoding, Utf8RoundTripsEveryCharacterAndSkipsTheMark) {
    const TextEncoding utf8 = TextEncoding::Utf8();
    EXPECT_EQ(utf8.Encode(kMixed), kMixed);
    EXPECT_EQ(utf8.Decode(kMixed), kMixed);
    EXPECT_EQ(utf8.Decode(std::string(kUtf8Bom) + kMixed), kMixed);
    // Only a leading mark is one; a bad byte is one replacement character.
    EXPECT_EQ(utf8.Decode("a\xFF"
                          "b"),
              "a\xEF\xBF\xBD"
              "b");
    EXPECT_EQ(utf8.EncodeStrict(kMixed), kMixed);
}

TEST(TextEncoding, Cp932IsTodaysConversionByteForByte) {
    const TextEncoding cp932;
    EXPECT_FALSE(cp932.IsUtf8());
    const std::string bytes = "\x82\xA0\x8A\xBF ABC\r\n";
    EXPECT_EQ(cp932.Decode(bytes), Cp932ToUtf8Lossy(bytes));
    EXPECT_EQ(cp932.Encode(kMixed), Utf8ToCp932Lossy(kMixed));
    EXPECT_FALSE(cp932.EncodeStrict(kMixed));
    EXPECT_STREQ(cp932.Name(), "CP932");
    EXPECT_STREQ(TextEncoding::Utf8().Name(), "UTF-8");
}

TEST(TextEncoding, TheDeclarationIsFoundInTheRawBytes) {
    EXPECT_FALSE(ReadDeclaredEncoding("[Game]\r\nTitle=x\r\n").encoding.IsUtf8());
    const DeclaredEncoding utf8 = ReadDeclaredEncoding(
        "\xEF\xBB\xBF; comment\n[game] ; x\nTitle=Zoë\n  encoding = utf-8 ; yes\n");
    EXPECT_TRUE(utf8.encoding.IsUtf8());
    EXPECT_EQ(utf8.line, 4);
    EXPECT_TRUE(utf8.error.empty());
    // CP932 bytes whose trail byte is "]" or "[" do not end or open [Game].
    const DeclaredEncoding cp932 = ReadDeclaredEncoding(
        "[Game]\r\nTitle=\x83\x5D\x83\x5B\r\nEncoding=CP932\r\n[TextBlock]\r\nEncoding=UTF-8\r\n");
    EXPECT_FALSE(cp932.encoding.IsUtf8());
    EXPECT_EQ(cp932.line, 3);
    // Another section's key, and a second [Game], are not the game's.
    EXPECT_FALSE(ReadDeclaredEncoding("[Other]\nEncoding=UTF-8\n").encoding.IsUtf8());
    EXPECT_FALSE(
        ReadDeclaredEncoding("[Game]\nTitle=a\n[Game]\nEncoding=UTF-8\n").encoding.IsUtf8());
    EXPECT_FALSE(ReadDeclaredEncoding("[Game]\nEncoding=\n").encoding.IsUtf8());
}

TEST(TextEncoding, AnUnknownDeclarationIsAnErrorWithItsLine) {
    const DeclaredEncoding bad = ReadDeclaredEncoding("[Game]\r\nTitle=a\r\nEncoding=UTF-16\r\n");
    EXPECT_EQ(bad.line, 3);
    EXPECT_NE(bad.error.find("UTF-16"), std::string::npos);
    EXPECT_FALSE(bad.encoding.IsUtf8());
}

TEST(TextEncoding, AUtf8FileInACp932GameIsNamedWithItsLine) {
    const auto found = FindEncodingMismatch("[Game]\r\nTitle=x\r\nName=Zoë\r\n", TextEncoding());
    ASSERT_TRUE(found);
    EXPECT_EQ(found->line, 3);
    EXPECT_TRUE(found->found.IsUtf8());
    EXPECT_NE(DescribeMismatch(*found, TextEncoding()).find("this file is UTF-8"),
              std::string::npos);
    // Real CP932 text, and plain ASCII, are what a CP932 game holds.
    EXPECT_FALSE(
        FindEncodingMismatch(*Utf8ToCp932("[Game]\r\nTitle=日本語のゲーム\r\n"), TextEncoding()));
    EXPECT_FALSE(FindEncodingMismatch("[Game]\r\nTitle=x\r\n", TextEncoding()));
    EXPECT_TRUE(FindEncodingMismatch("\xEF\xBB\xBFTitle=x\r\n", TextEncoding()));
}

TEST(TextEncoding, ACp932FileInAUtf8GameIsNamedWithItsLine) {
    const std::string cp932 = "> Hello\n> ok\n" + *Utf8ToCp932("こんにちは") + "\n";
    const auto found = FindEncodingMismatch(cp932, TextEncoding::Utf8());
    ASSERT_TRUE(found);
    EXPECT_EQ(found->line, 3);
    EXPECT_TRUE(found->looksCp932);
    EXPECT_NE(DescribeMismatch(*found, TextEncoding::Utf8()).find("this file is CP932"),
              std::string::npos);
    const auto broken = FindEncodingMismatch("ok\n\x82", TextEncoding::Utf8());
    ASSERT_TRUE(broken);
    EXPECT_EQ(broken->line, 2);
    EXPECT_FALSE(broken->looksCp932);
    EXPECT_FALSE(FindEncodingMismatch(std::string(kUtf8Bom) + kMixed, TextEncoding::Utf8()));
}

}  // namespace
}  // namespace zelk
