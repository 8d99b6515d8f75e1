#include "settings/ini_section.h"

#include <gtest/gtest.h>

#include "common/text.h"

namespace zelk {
namespace {

using State = INISection::LineState;

INISection Body(const std::string& text) {
    INISection section;
    section.Text(text);
    return section;
}

TEST(INISectionBody, AnEmptyBodyIsOneEmptyLine) {
    INISection section;
    EXPECT_EQ(section.Count(), 1);
    EXPECT_EQ(section.Text(), "");
    EXPECT_EQ(section.LineCondition(0), State::Both);
    section.Text("a");
    section.Text("");
    EXPECT_EQ(section.Count(), 1);
}

// The mark says which line a lookup finds, whether one has been made yet;
// looking does not parse the lines.
TEST(INISectionDebug, TheMarkDoesNotDependOnAnEarlierLookup) {
    const std::string text = "a=1\r\n;c\r\nA = 2\r\nb=3";
    INISection fresh = Body(text);
    const std::string before = fresh.DebugCondition();
    EXPECT_EQ(before.rfind("* index=0  text='a=1'\r\ncondition=TextOnly", 0), 0u) << before;
    EXPECT_NE(before.find("\r\nindex=2  text='A = 2'\r\ncondition=TextOnly"), std::string::npos)
        << before;
    EXPECT_NE(before.find("\r\n* index=3  text='b=3'"), std::string::npos) << before;
    EXPECT_EQ(fresh.LineCondition(0), State::TextOnly);

    INISection looked = Body(text);
    looked.ParseAllLines();
    EXPECT_EQ(looked.KeyIndex("b"), 3);
    // The same lines are marked; only the parsed parts differ.
    const auto marks = [](const std::string& text) {
        std::vector<std::string> lines;
        for (const std::string& line : SplitText(text, "\r\n"))
            if (line.find("index=") != std::string::npos) lines.push_back(line);
        return lines;
    };
    EXPECT_EQ(marks(looked.DebugCondition()), marks(before));
}

TEST(INISectionBody, SplitsOnlyAtCrLf) {
    const INISection section = Body("a\rb\r\nc\nd\r\n");
    EXPECT_EQ(section.Count(), 3);
    EXPECT_EQ(section.LineText(0), "a\rb");
    EXPECT_EQ(section.LineText(1), "c\nd");
    EXPECT_EQ(section.LineText(2), "");
    EXPECT_EQ(section.Text(), "a\rb\r\nc\nd\r\n");
}

TEST(INISectionLines, ParseSplitsIndentKeyEqualValueComment) {
    INISection section = Body("  Volume = 80 ; max");
    EXPECT_EQ(section.LineKey(0), "Volume");
    EXPECT_EQ(section.LineValue(0), "80");
    EXPECT_EQ(section.LineCondition(0), State::Both);
    EXPECT_EQ(section.DebugCondition(),
              "* index=0  text='  Volume = 80 ; max'\r\n"
              "condition=Both\r\n"
              " indent ='  '\r\n"
              " key    ='Volume'\r\n"
              " equal  =' = '\r\n"
              " value  ='80'\r\n"
              " comment=' ; max'");
}

TEST(INISectionLines, LinesWithoutEqualAreComments) {
    INISection section = Body("just text\r\n;k=v\r\n\tname\t=\r\n=x");
    EXPECT_EQ(section.LineKey(0), "");
    EXPECT_EQ(section.LineKey(1), "");  // the ";" comes first
    EXPECT_EQ(section.LineKey(2), "name");
    EXPECT_EQ(section.LineValue(2), "");
    EXPECT_EQ(section.LineKey(3), "");
    EXPECT_EQ(section.LineValue(3), "x");
    EXPECT_EQ(section.KeyIndex(""), -1);  // a line that starts with "=" is not indexed
}

TEST(INISectionLines, AValueCannotHoldASemicolon) {
    const INISection section = Body("url=a;b");
    EXPECT_EQ(section.KeyValue("url"), "a");
}

TEST(INISectionKeys, LookupIgnoresCaseAndFindsTheFirstLine) {
    const INISection section = Body("Volume=3\r\nvolume=9");
    EXPECT_EQ(section.KeyValue("VOLUME"), "3");
    EXPECT_EQ(section.KeyIndex("volume"), 0);
    EXPECT_TRUE(section.KeyExists("VoLuMe"));
    EXPECT_FALSE(section.KeyExists("missing"));
    EXPECT_EQ(section.KeyValue("missing"), "");
}

TEST(INISectionKeys, WritingAKeyKeepsIndentAndCommentAndTakesTheGivenSpelling) {
    INISection section = Body("  Volume = 3 ; level\r\nother=1");
    section.KeyValue("VOLUME", "4");
    EXPECT_EQ(section.LineCondition(0), State::ParsedOnly);
    EXPECT_EQ(section.Text(), "  VOLUME = 4 ; level\r\nother=1");
    EXPECT_EQ(section.LineCondition(0), State::Both);
    EXPECT_EQ(section.LineCondition(1), State::Both);
    EXPECT_EQ(section.KeyIndex("volume"), 0);
}

TEST(INISectionKeys, WritingAMissingKeyAppendsALine) {
    INISection section = Body("a=1");
    section.KeyValue("b", "2");
    EXPECT_EQ(section.Text(), "a=1\r\nb=2");
    EXPECT_EQ(section.KeyIndex("B"), 1);
    INISection empty;
    empty.KeyValue("k", "v");
    EXPECT_EQ(empty.Text(), "\r\nk=v");
}

TEST(INISectionKeys, UnchangedLinesStayByteForByte) {
    const std::string text = "\t a =  b\t;c\r\n; comment\r\n\r\n  x=y  ";
    INISection section = Body(text);
    section.UpdateIndex();
    EXPECT_EQ(section.KeyValue("a"), "b");
    section.KeyValue("x", "y");  // same value: rebuilt from the same parts
    EXPECT_EQ(section.Text(), text);
}

TEST(INISectionLines, WritingPastTheEndGrowsTheBody) {
    INISection section = Body("a\r\nb");
    section.LineText(5, "f");
    EXPECT_EQ(section.Count(), 6);
    for (int i = 2; i <= 4; ++i)
        EXPECT_EQ(section.LineText(i), "");
    EXPECT_EQ(section.LineText(5), "f");
    section.LineText(-1, "g");
    EXPECT_EQ(section.Count(), 7);
    section.LineText(-2, "ignored");
    EXPECT_EQ(section.Count(), 7);
}

TEST(INISectionLines, BadIndicesReadEmpty) {
    const INISection section = Body("k=v");
    EXPECT_EQ(section.LineText(-1), "");
    EXPECT_EQ(section.LineText(1), "");
    EXPECT_EQ(section.LineKey(7), "");
    EXPECT_EQ(section.LineValue(-3), "");
    EXPECT_FALSE(section.LineExists(1));
    EXPECT_TRUE(section.LineExists(0));
}

TEST(INISectionLines, LineTextWriteMakesTheLineTextOnlyAndReindexes) {
    INISection section = Body("a=1\r\nb=2");
    EXPECT_EQ(section.KeyIndex("b"), 1);
    section.LineText(0, "b=0");
    EXPECT_EQ(section.LineCondition(0), State::TextOnly);
    EXPECT_EQ(section.KeyIndex("b"), 0);
    EXPECT_EQ(section.KeyIndex("a"), -1);
}

TEST(INISectionLines, LineKeyAndValueWritesRebuildTheLine) {
    INISection section = Body("old=1 ;c");
    section.LineKey(0, "new");
    EXPECT_EQ(section.KeyIndex("old"), -1);
    EXPECT_EQ(section.KeyIndex("new"), 0);
    section.LineValue(0, "2");
    EXPECT_EQ(section.LineText(0), "new=2 ;c");
    section.LineKey(2, "k");  // a keyed line without "=" gets one
    EXPECT_EQ(section.LineText(2), "k=");
    section.LineValue(-1, "v");  // a value alone has no key and no "="
    EXPECT_EQ(section.LineText(3), "v");
}

TEST(INISectionLines, RemovingLines) {
    INISection section = Body("a=1\r\nb=2\r\nc=3");
    section.LineRemove(5);
    EXPECT_EQ(section.Count(), 3);
    EXPECT_EQ(section.KeyIndex("c"), 2);
    section.LineRemove(1);
    EXPECT_EQ(section.Text(), "a=1\r\nc=3");
    EXPECT_EQ(section.KeyIndex("c"), 1);
    section.LineRemove(0);
    section.LineRemove(0);
    EXPECT_EQ(section.Count(), 1);
    EXPECT_EQ(section.Text(), "");
}

TEST(INISectionHeader, ParsesPrefixNameAndSuffix) {
    INISection section;
    EXPECT_TRUE(section.NameFullText("  [ Config ]  ; user settings"));
    EXPECT_EQ(section.NamePrefix(), "  [ ");
    EXPECT_EQ(section.Name(), "Config");
    EXPECT_EQ(section.NameSuffix(), " ]  ; user settings");
    EXPECT_EQ(section.NameFullText(), "  [ Config ]  ; user settings");
    EXPECT_EQ(section.DebugNameAry(),
              "---- secname= \"Config\"----\r\nNamePrefix=\"  [ \"\r\nNameContent=\"Config\"\r\n"
              "NameSuffix=\" ]  ; user settings\"\r\n----------------");
}

TEST(INISectionHeader, RefusesLinesThatAreNotHeaders) {
    INISection section;
    EXPECT_TRUE(section.NameFullText("[A]"));
    for (const char* line : {"[A] x", "x[A]", "[A", "[A;]", "[[A]]", "[A]]", ""}) {
        EXPECT_FALSE(section.NameFullText(line)) << line;
        EXPECT_EQ(section.NameFullText(), "") << line;
    }
    EXPECT_TRUE(section.NameFullText("[  ]"));
    EXPECT_EQ(section.Name(), "");
}

TEST(INISectionHeader, NameWriteChangesOnlyTheContent) {
    INISection section;
    section.NameFullText(" [a] ;x");
    section.Name("b");
    EXPECT_EQ(section.NameFullText(), " [b] ;x");
}

TEST(INISectionOptimize, KeepsOnlyKeyLinesInPlainForm) {
    INISection section = Body("; head\r\n  a = 1 ;c\r\n\r\ntext\r\n=v\r\nb=");
    section.NameFullText(" [ S ] ;x");
    section.Optimize();
    EXPECT_EQ(section.NameFullText(), "[S]");
    EXPECT_EQ(section.Text(), "a=1\r\n=v\r\nb=");
    INISection comments = Body(";only\r\n");
    comments.Optimize();
    EXPECT_EQ(comments.Count(), 1);
    EXPECT_EQ(comments.Text(), "");
}

TEST(INISectionDebug, MarksIndexedLinesAndShowsStates) {
    INISection section = Body("k=1\r\nk=2");
    section.UpdateIndex();
    section.KeyValue("k", "3");
    const std::string text = section.DebugCondition();
    EXPECT_EQ(text.rfind("* index=0  text='k=1'\r\ncondition=ParsedOnly", 0), 0u) << text;
    EXPECT_NE(text.find("\r\nindex=1  text='k=2'\r\ncondition=Both"), std::string::npos) << text;
}

TEST(INISectionCopy, CopiesAreIndependent) {
    INISection section = Body("a=1");
    INISection copy = section;
    copy.KeyValue("a", "2");
    EXPECT_EQ(section.KeyValue("a"), "1");
    EXPECT_EQ(copy.KeyValue("a"), "2");
}

}  // namespace
}  // namespace zelk
