#include "scenario/script.h"

#include <gtest/gtest.h>

namespace zelk {
namespace {

Script Parsed(const std::string& text) {
    Script script;
    script.Init("Main", false);
    std::string error;
    EXPECT_TRUE(script.Parse(text, error)) << error;
    return script;
}

TEST(Script, LabelsComeOffTheLinesIntoTheTable) {
    const Script script = Parsed("nop\r\nstart:go\tend\r\nEnd:return");
    EXPECT_EQ(script.Count(), 3);
    EXPECT_EQ(script.Element(1), "go\tend");
    EXPECT_EQ(script.LabelAddress("START"), 1);
    EXPECT_EQ(script.LabelAddress("end"), 2);
    EXPECT_EQ(script.LabelAddress(""), 0);
    EXPECT_EQ(script.LabelAddress("missing"), -1);
}

TEST(Script, OutsideTheScriptEveryElementIsEmpty) {
    const Script script = Parsed("nop\r\nnop");
    EXPECT_EQ(script.Element(-1), "");
    EXPECT_EQ(script.Element(script.Count()), "");
    EXPECT_EQ(script.Element(1), "nop");
}

TEST(Script, OnlyALineWithExactlyOneColonHasALabel) {
    const Script script = Parsed("put\t\"a:b\"\r\nx:put\t\"c:d\"");
    EXPECT_EQ(script.Element(0), "b\"");
    EXPECT_EQ(script.LabelAddress("put\t\"a"), 0);
    EXPECT_EQ(script.Element(1), "x:put\t\"c:d\"");
    EXPECT_EQ(script.LabelAddress("x"), -1);
}

TEST(Script, ADuplicateLabelStopsTheParse) {
    Script script;
    script.Init("dup", true);
    std::string error;
    EXPECT_FALSE(script.Parse("a:nop\r\nA:nop\r\nb:nop", error));
    EXPECT_EQ(error, "ラベル'A'が重複しています。");
    EXPECT_EQ(script.Count(), 3);
    EXPECT_EQ(script.Element(0), "nop");
    EXPECT_EQ(script.Element(2), "b:nop");
    EXPECT_EQ(script.LabelAddress("b"), -1);
    EXPECT_TRUE(script.Reserved());
    EXPECT_EQ(script.Name(), "dup");
}

TEST(Script, AnEmptyTextIsOneEmptyLine) {
    const Script script = Parsed("");
    EXPECT_EQ(script.Count(), 1);
    EXPECT_EQ(script.Element(0), "");
}

}  // namespace
}  // namespace zelk
