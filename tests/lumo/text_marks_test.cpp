// The text mark language: element lengths, operands and counting.
#include <gtest/gtest.h>

#include "text_marks.h"

using lumo::countTextCharacters;
using lumo::parseTextElement;
using Kind = lumo::TextElement::Kind;

TEST(LumoTextMarks, EveryMarkTakesItsFixedLength) {
    struct Case {
        std::string text;
        Kind kind;
        std::size_t length;
    };
    const Case cases[] = {
        {"\n", Kind::NewLine, 1},         {"A", Kind::Reset, 1},
        {"B0000ffff", Kind::Wait, 9},     {"C0010", Kind::Delay, 5},
        {"Dff0000", Kind::Color, 7},      {"E03abc", Kind::Face, 6},
        {"F018", Kind::Size, 4},          {"G018", Kind::Pitch, 4},
        {"H018", Kind::LinePitch, 4},     {"I-010", Kind::SetX, 5},
        {"J+010", Kind::SetY, 5},         {"K0010", Kind::MoveX, 5},
        {"L-001", Kind::MoveY, 5},        {"M001002003004", Kind::Glyph, 13},
        {"N", Kind::NewPage, 1},          {"O", Kind::Stop, 1},
        {"P00000001", Kind::Mark, 9},     {"T00000001", Kind::Mark, 9},
        {"\x82\xa0", Kind::Character, 2}, {"xy", Kind::Character, 2},
    };
    for (const Case& c : cases) {
        const auto e = parseTextElement(c.text + "tail", 0);
        EXPECT_EQ(e.kind, c.kind) << c.text;
        EXPECT_EQ(e.length, c.length) << c.text;
    }
}

TEST(LumoTextMarks, OperandsReadAsHexadecimalInEitherCase) {
    EXPECT_EQ(parseTextElement("B0000FFff", 0).value, 0xFFFF);
    EXPECT_EQ(parseTextElement("D123456", 0).value, 0x563412) << "RRGGBB becomes 0x00BBGGRR";
    EXPECT_EQ(parseTextElement("I-01f", 0).value, -31);
    EXPECT_EQ(parseTextElement("I+01f", 0).value, 31);
    EXPECT_EQ(parseTextElement("I0020", 0).value, 32);
    EXPECT_EQ(parseTextElement("E02xyz", 0).face, "xy");
    const auto glyph = parseTextElement("M00a00b00c00d", 0);
    EXPECT_EQ(glyph.rect[0], 10);
    EXPECT_EQ(glyph.rect[3], 13);
    EXPECT_EQ(parseTextElement("R00000010", 0).mark, 'R');
}

TEST(LumoTextMarks, ElementCutShortByTheEndOfTheBufferIsIncomplete) {
    const auto e = parseTextElement("B00", 0);
    EXPECT_EQ(e.kind, Kind::Incomplete);
    EXPECT_EQ(e.length, 3u);
    EXPECT_EQ(parseTextElement("E05ab", 0).kind, Kind::Incomplete);
    EXPECT_EQ(parseTextElement("\x82", 0).kind, Kind::Incomplete);
}

TEST(LumoTextMarks, CountIncludesCharactersAndPictureSteps) {
    EXPECT_EQ(countTextCharacters("\x82\xa0"
                                  "C0010"
                                  "\n"
                                  "B00000001"
                                  "\x82\xa2"),
              2);
    EXPECT_EQ(countTextCharacters("M000000010010"
                                  "N"
                                  "\x82\xa0"),
              3);
    EXPECT_EQ(countTextCharacters("E02\x82\xa0"
                                  "\x82\xa2"),
              1)
        << "face bytes are no characters";
    EXPECT_EQ(countTextCharacters(""), 0);
}
