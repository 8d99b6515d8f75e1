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

// [SECTION] Finding one's way

TEST(Script, TheWordIsTheFirstFieldOfTheInstruction) {
    const Script script = Parsed("a:put\t\"x\"\r\nnop\r\n");
    EXPECT_EQ(script.Word(0), "put");
    EXPECT_EQ(script.Word(1), "nop");
    EXPECT_EQ(script.Word(2), "");
    EXPECT_EQ(script.Word(3), "");
    EXPECT_EQ(script.Word(-1), "");
}

TEST(Script, TheLabelBeforeAnAddressIsTheNearestOne) {
    const Script script = Parsed("nop\r\nOne:nop\r\nnop\r\ntwo:nop\r\nnop");
    EXPECT_EQ(script.LabelBefore(0), "");
    EXPECT_EQ(script.LabelBefore(1), "one");
    EXPECT_EQ(script.LabelBefore(2), "one");
    EXPECT_EQ(script.LabelBefore(4), "two");
    EXPECT_EQ(script.LabelBefore(99), "two");
    EXPECT_EQ(script.NextLabelAddress(0), 1);
    EXPECT_EQ(script.NextLabelAddress(1), 3);
    EXPECT_EQ(script.NextLabelAddress(3), script.Count());
}

TEST(Script, ALabelOnTheFirstLineWinsOverTheStart) {
    const Script script = Parsed("start:nop\r\nnop");
    EXPECT_EQ(script.LabelBefore(1), "start");
}

// [SECTION] Places

TEST(Script, ALooseScriptNamesFileAndLine) {
    Script script = Parsed("nop\r\nnop");
    script.Source("S01.txt", {3, 7}, 9);
    EXPECT_EQ(script.SourceFile(), "S01.txt");
    EXPECT_EQ(script.Place(0), "S01.txt:3");
    EXPECT_EQ(script.Place(1), "S01.txt:7");
    // Past the end the run has left the text: its last line.
    EXPECT_EQ(script.Place(2), "S01.txt:9");
    EXPECT_EQ(script.SourceLine(-1), 0);
}

TEST(Script, AnArchivedScriptNamesTheElementAsTheLogCountsIt) {
    const Script script = Parsed("nop\r\nnop");
    EXPECT_EQ(script.SourceLine(1), 0);
    EXPECT_EQ(script.Place(1), "Main 第2要素");
    EXPECT_EQ(script.Place(0), "Main 第1要素");
}

TEST(Script, ADuplicateLabelIsFoundAtItsAddress) {
    Script script;
    script.Init("m", false);
    std::string error;
    EXPECT_FALSE(script.Parse("a:nop\r\nnop\r\nA:nop", error));
    EXPECT_EQ(script.ParseErrorAddress(), 2);
    EXPECT_TRUE(script.Parse("a:nop", error));
    EXPECT_EQ(script.ParseErrorAddress(), -1);
}

}  // namespace
}  // namespace zelk
