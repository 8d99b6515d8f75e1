#include "scenario/scenario_converter.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "settings/ini_file.h"

namespace zelk {
namespace {

std::string Lines(std::initializer_list<std::string> lines) {
    std::string text;
    for (const std::string& line : lines) {
        if (!text.empty() || &line != lines.begin()) text += "\r\n";
        text += line;
    }
    return text;
}

std::string FullWidth(int number) {
    std::string text;
    for (char digit : std::to_string(number)) {
        text += std::string("０１２３４５６７８９")
                    .substr(static_cast<std::size_t>(digit - '0') * 3, 3);
    }
    return text;
}

class ScenarioConverterTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(converter.Init(4, 2, {"", "ゆき", "はる"})); }

    std::string Convert(const std::string& source) {
        EXPECT_TRUE(converter.Assemble(source)) << converter.ErrMsg();
        return converter.RegularScript();
    }

    void ExpectError(const std::string& source, const std::string& message, int line,
                     const std::string& sourceLine) {
        std::vector<std::string> raised;
        converter.AssembleError = [&](const std::string& m, const std::string& s, int l) {
            raised.push_back(m + "|" + s + "|" + std::to_string(l));
        };
        EXPECT_FALSE(converter.Assemble(source));
        EXPECT_EQ(converter.ErrMsg(), message);
        EXPECT_EQ(converter.ErrLine(), line);
        EXPECT_EQ(converter.ErrSource(), sourceLine);
        EXPECT_EQ(raised, std::vector<std::string>{message + "|" + sourceLine + "|" +
                                                   std::to_string(line)});
        EXPECT_TRUE(converter.Instructions().empty());
        EXPECT_EQ(converter.RegularScript(), "");
        converter.AssembleError = nullptr;
    }

    ScenarioConverter converter;
};

// [SECTION] Settings

TEST(ScenarioConverterInit, NeedsBothCountsFromSystemInfo) {
    INIFile systemInfo;
    systemInfo.Text(
        "[TextBlock]\r\nCharCount=20\r\nLineCount=3\r\n[Nameplate]\r\nCount=2\r\nitem:0=\r\n"
        "item:1=ゆき");
    ScenarioConverter converter;
    ASSERT_TRUE(converter.Init(systemInfo));
    EXPECT_EQ(converter.CharCount(), 20);
    EXPECT_EQ(converter.LineCount(), 3);
    EXPECT_EQ(converter.NameplateItems(), (std::vector<std::string>{"", "ゆき"}));

    systemInfo.KeySection("TextBlock").KeyValue("LineCount", "0");
    EXPECT_FALSE(converter.Init(systemInfo));
    INIFile empty;
    EXPECT_FALSE(converter.Init(empty));
}

// [SECTION] Lines, comments and labels

TEST_F(ScenarioConverterTest, AnEmptyScenarioIsOneNop) {
    EXPECT_EQ(Convert(""), "nop");
    EXPECT_EQ(Convert(Lines({"  ", "// only a comment", "\t"})), "nop");
}

TEST_F(ScenarioConverterTest, ALabelSharesItsLineWithTheInstruction) {
    EXPECT_EQ(Convert("Start:go next"), "start:go\tnext");
    ASSERT_EQ(converter.Instructions().size(), 1u);
    EXPECT_EQ(converter.Instructions()[0].Label, "start");
    EXPECT_EQ(converter.Instructions()[0].ArgCount(), 2);
}

TEST_F(ScenarioConverterTest, TwoLabelsInARowPutTheFirstOnANop) {
    EXPECT_EQ(Convert(Lines({"a:", "b:", "go x", "c:"})), "a:nop\r\nb:go\tx\r\nc:nop");
}

TEST_F(ScenarioConverterTest, CommentsGoEvenInsideQuotes) {
    EXPECT_EQ(Convert(Lines({"bg \"http//x\", 1 // comment", "// whole line"})), "bg\t\"http");
}

TEST_F(ScenarioConverterTest, AQuotedColonMakesAnInvalidLabel) {
    ExpectError(Lines({"nop", "put \"a:b\""}), "ラベル内に無効な文字が含まれています。", 2,
                "put \"a:b\"");
    ExpectError("ラベル　名:nop", "ラベル内に無効な文字が含まれています。", 1, "ラベル　名:nop");
}

TEST_F(ScenarioConverterTest, SourcePositionsCountCharactersAndTwoPerLineEnd) {
    Convert(Lines({"nop", "  あい:let  x, 1 // c", "\t\\b"}));
    const auto& records = converter.Instructions();
    ASSERT_EQ(records.size(), 3u);
    EXPECT_EQ(records[0].SrcPos, 1);
    EXPECT_EQ(records[0].SrcLen, 3);
    // Line 2 starts at offset 5; two blanks come before the label.
    EXPECT_EQ(records[1].SrcPos, 8);
    EXPECT_EQ(records[1].SrcLen, 12);
    EXPECT_EQ(records[1].Kind, kPlainInstruction);
    // Line 3 starts at 5 + 19 + 2 = 26; the block is only "\b".
    EXPECT_EQ(records[2].Kind, kTextBlockInstruction);
    EXPECT_EQ(records[2].SrcPos, 28);
    EXPECT_EQ(records[2].SrcLen, 0);
}

TEST_F(ScenarioConverterTest, BareLineFeedsEndLinesAsCrLfDoes) {
    const std::vector<std::string> lines = {
        "start:",  "bg bg_street // the street", "あいう", "\\nかき\\b", "if x", "endif",
        "go start"};
    std::string crlf, lf, mixed;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        crlf += lines[i] + "\r\n";
        lf += lines[i] + "\n";
        mixed += lines[i] + (i % 2 == 0 ? "\n" : "\r\n");
    }
    const std::string expected = Convert(crlf);
    const std::vector<int> expectedLines = converter.SourceLines();
    ASSERT_EQ(converter.Instructions().size(), 5u);
    for (const std::string& source : {lf, mixed}) {
        EXPECT_EQ(Convert(source), expected);
        EXPECT_EQ(converter.SourceLines(), expectedLines);
    }
    ExpectError("nop\nnop\nendif\n", "endif without if", 3, "endif");
    // A carriage return alone stays what it was: part of its line.
    EXPECT_EQ(Convert("let x, 1\rlet y, 2"), "let\tx\t1\rlet y\t2");
}

// [SECTION] Source lines

TEST_F(ScenarioConverterTest, EachAddressKnowsTheLineItWasWrittenOn) {
    Convert(Lines({"// a comment line", "", "start:", "  let x, 1", "あいう", "\\nかき\\b", "if x",
                   "elseif y", "endif", "　　go start"}));
    // let, put, if, go (the jump past the elseif), elseif, nop (endif), go.
    EXPECT_EQ(converter.SourceLines(), (std::vector<int>{4, 5, 7, 8, 8, 9, 10}));
    EXPECT_EQ(converter.SourceLineCount(), 10);
}

TEST_F(ScenarioConverterTest, FullWidthTextAndLineEndsDoNotShiftTheLines) {
    // Many characters before a line, each one offset, not three bytes.
    Convert(Lines({"あいうえ\\b", "ＡＢ\\b", "nop", "nop"}));
    EXPECT_EQ(converter.SourceLines(), (std::vector<int>{1, 2, 3, 4}));
}

TEST_F(ScenarioConverterTest, MadeUpInstructionsStandOnTheLastLine) {
    // A label at the end gets a nop of its own; so does an empty text.
    Convert(Lines({"nop", "end:", "", "// tail"}));
    EXPECT_EQ(converter.SourceLines(), (std::vector<int>{1, 4}));
    Convert("");
    EXPECT_EQ(converter.SourceLines(), (std::vector<int>{1}));
}

TEST_F(ScenarioConverterTest, AFailedConversionKeepsNoLines) {
    Convert(Lines({"nop", "nop"}));
    converter.AssembleError = nullptr;
    EXPECT_FALSE(converter.Assemble(Lines({"nop", "endif"})));
    EXPECT_TRUE(converter.SourceLines().empty());
    EXPECT_EQ(converter.SourceLineCount(), 0);
}

// [SECTION] Instructions and their arguments

TEST_F(ScenarioConverterTest, ArgumentsAreLoweredQuotedOrKept) {
    EXPECT_EQ(Convert("BG  Mixed,\"Keep Case\" , はる ,, x y"),
              "bg\tmixed\t\"Keep Case\"\t\"はる\"\t\tx y");
    EXPECT_EQ(converter.Instructions()[0].ArgCount(), 6);
}

TEST_F(ScenarioConverterTest, TabsSeparateLikeSpaces) {
    EXPECT_EQ(Convert("let\tA,\t2"), "let\ta\t2");
    EXPECT_EQ(Convert("Return"), "return");
    EXPECT_EQ(converter.Instructions()[0].ArgCount(), 1);
    EXPECT_EQ(Convert("go ,"), "go\t\t");
}

// [SECTION] Block statements

TEST_F(ScenarioConverterTest, TheWorkedIfExampleConvertsByteForByte) {
    const std::string regular =
        Convert(Lines({"if a", "x", "elseif b", "y", "else", "z", "endif"}));
    EXPECT_EQ(regular, "if\ta\t\t3\r\nx\r\ngo\t7\r\nif\tb\t\t6\r\ny\r\ngo\t7\r\nz\r\nnop");
    for (const InstructionDef& record : converter.Instructions()) {
        EXPECT_EQ(record.Kind, kPlainInstruction);
    }
    EXPECT_EQ(converter.Instructions()[3].SrcPos, converter.Instructions()[2].SrcPos);
}

TEST_F(ScenarioConverterTest, IfWithTwoOrThreeArgumentsIsAPlainJump) {
    EXPECT_EQ(Convert(Lines({"if f==1, yes", "if f, yes, no"})),
              "if\tf==1\tyes\t\r\nif\tf\tyes\tno");
}

TEST_F(ScenarioConverterTest, AnIfWithoutElseJumpsToTheEndif) {
    EXPECT_EQ(Convert(Lines({"if a", "x", "endif", "y"})), "if\ta\t\t2\r\nx\r\nnop\r\ny");
}

TEST_F(ScenarioConverterTest, NestedBlocksCloseInnermostFirst) {
    const std::string regular = Convert(Lines({
        "if a",      // 0 -> 7
        "  if b",    // 1
        "    x",     // 2
        "  else",    // 3 -> go 5
        "    y",     // 4
        "  endif",   // 5 nop
        "elseif c",  // 6 go 12, 7 if c,,11
        "  if d",    // 8
        "  endif",   // 9 nop
        "else",      // 10 go 12 (the else branch starts at 11)
        "  z",       // 11
        "endif",     // 12 nop
    }));
    EXPECT_EQ(regular,
              "if\ta\t\t7\r\nif\tb\t\t4\r\nx\r\ngo\t5\r\ny\r\nnop\r\ngo\t12\r\nif\tc\t\t11\r\n"
              "if\td\t\t9\r\nnop\r\ngo\t12\r\nz\r\nnop");
}

TEST_F(ScenarioConverterTest, LabelsOnBlockLinesStayOnTheirRecords) {
    EXPECT_EQ(Convert(Lines({"if a", "mid:elseif b", "end:endif"})),
              "if\ta\t\t2\r\nmid:go\t3\r\nif\tb\t\t3\r\nend:nop");
}

TEST_F(ScenarioConverterTest, EveryBlockErrorNamesItsLine) {
    ExpectError(Lines({"nop", "if"}), "ＩＦ構文の構文エラーです。", 2, "if");
    ExpectError("if a,b,c,d", "ＩＦ構文の構文エラーです。", 1, "if a,b,c,d");
    ExpectError(Lines({"if a", "elseif"}), "ＥＬＳＥＩＦの構文エラーです。", 2, "elseif");
    ExpectError(Lines({"if a", "else", "elseif b"}), "ＥＬＳＥＩＦの構文エラーです。", 3,
                "elseif b");
    ExpectError("elseif b  // why", "elseif without if", 1, "elseif b  // why");
    ExpectError(Lines({"if a", "else x"}), "ＥＬＳＥの構文エラーです。", 2, "else x");
    ExpectError(Lines({"if a", "else", "else"}), "ＥＬＳＥの構文エラーです。", 3, "else");
    ExpectError(Lines({"nop", "else"}), "else without if", 2, "else");
    ExpectError(Lines({"if a", "endif x"}), "ＥＮＤＩＦの構文エラーです。", 2, "endif x");
    ExpectError(Lines({"if a", "endif", "endif"}), "endif without if", 3, "endif");
    ExpectError(Lines({"if a", "if b", "endif", "", ""}), "if without endif", 5, "");
}

TEST_F(ScenarioConverterTest, AClosedInnerBlockIsNoHeadForAnOuterElse) {
    ExpectError(Lines({"if a", "endif", "else"}), "else without if", 3, "else");
}

// [SECTION] Story text

TEST_F(ScenarioConverterTest, StoryLinesJoinIntoOnePut) {
    EXPECT_EQ(Convert(Lines({"あいう", "え", "\\n\\b", "nop"})), "put\t\"あいうえ\\n\"\r\nnop");
}

TEST_F(ScenarioConverterTest, TextWrapsAfterCharCountCharacters) {
    EXPECT_EQ(Convert("\\あいうえおかき\\b"), "put\t\"\\あいうえ\\nおかき\"");
    EXPECT_EQ(converter.Instructions()[0].Kind, kTextBlockInstruction);
    EXPECT_EQ(converter.Instructions()[0].ArgCount(), 2);
}

TEST_F(ScenarioConverterTest, ALineBreakAfterAFullLineBreaksOnce) {
    EXPECT_EQ(Convert(Lines({"あいうえ", "\\nお\\b"})), "put\t\"あいうえ\\nお\"");
}

TEST_F(ScenarioConverterTest, EveryLineBreakEscapeCounts) {
    ExpectError("\\N\\nあ\\b", "字幕省略で上限行数を超えて全角文字があります。", 1, "\\N\\nあ\\b");
}

TEST_F(ScenarioConverterTest, TheBlockCarriesTheWaitingLabel) {
    EXPECT_EQ(Convert(Lines({"p1:", "あ", "\\b"})), "p1:put\t\"あ\"");
    // From "あ" (offset 6) to the line end before "\b" (offset 8).
    EXPECT_EQ(converter.Instructions()[0].SrcPos, 6);
    EXPECT_EQ(converter.Instructions()[0].SrcLen, 3);
}

TEST_F(ScenarioConverterTest, NameplatesBecomeEscapes) {
    EXPECT_EQ(Convert("\\ゆき「はる」\\b"), "put\t\"\\\\np(1)「\\np(2)」\"");
}

TEST_F(ScenarioConverterTest, APageOfExactlyLineCountFullLinesFits) {
    EXPECT_EQ(Convert("\\あいうえかきくけ\\b"), "put\t\"\\あいうえ\\nかきくけ\"");
    ExpectError("\\あいうえかきくけこ\\b", "字幕省略で上限行数を超えて全角文字があります。", 1,
                "\\あいうえかきくけこ\\b");
    ExpectError("\\あいうえかきくけ\\nこ\\b", "字幕省略で上限行数を超えて全角文字があります。", 1,
                "\\あいうえかきくけ\\nこ\\b");
}

TEST_F(ScenarioConverterTest, TextRunningPastTheSpareLineIsAnError) {
    ExpectError(Lines({"あいうえかきくけ", "さしすせそ", "\\b"}),
                "字幕省略で上限行数を超えている可能性があります。", 3, "\\b");
}

TEST_F(ScenarioConverterTest, HalfWidthTextOutsideEscapesIsAnError) {
    ExpectError(Lines({"あ", "\\nい x\\b"}), "字幕省略で不正な半角文字 ' ' があります。", 2,
                "\\nい x\\b");
    ExpectError("\\あｱ\\b", "字幕省略で不正な半角文字 'ｱ' があります。", 1, "\\あｱ\\b");
}

TEST_F(ScenarioConverterTest, AnInstructionInsideAnOpenBlockIsAnError) {
    ExpectError(Lines({"あいう", "", "go x"}), "字幕省略構文でブロック終端がありません。", 3,
                "go x");
}

TEST_F(ScenarioConverterTest, ABlockOpenAtTheEndIsDroppedButRemembered) {
    EXPECT_EQ(Convert(Lines({"nop", "あいう", "え"})), "nop");
    EXPECT_EQ(converter.UnclosedBlockLine(), 2);
    Convert("nop");
    EXPECT_EQ(converter.UnclosedBlockLine(), 0);
}

// [SECTION] Size

TEST_F(ScenarioConverterTest, AThousandsOfLinesScenarioConvertsWithConsistentJumps) {
    ASSERT_TRUE(converter.Init(20, 3, {"", "ゆき"}));
    std::string source;
    constexpr int kScenes = 600;
    for (int scene = 0; scene < kScenes; ++scene) {
        source += "*scene" + std::to_string(scene) + ":\r\n";
        source += "bg Room" + std::to_string(scene % 7) + ", 500  // background\r\n";
        source += "ゆき「今日は" + FullWidth(scene) + "日目。」\r\n";
        source += "\\nまた明日。\\b\r\n";
        source += "if flag" + std::to_string(scene % 5) + "\r\n";
        source += "  let Count, " + std::to_string(scene) + "\r\n";
        source += "  if count > 100\r\n    up count\r\n  endif\r\n";
        source += "elseif other\r\n  down count, 2\r\nelse\r\n  call sub.entry\r\nendif\r\n";
    }
    source += "go *scene0";
    ASSERT_TRUE(converter.Assemble(source)) << converter.ErrMsg() << " at " << converter.ErrLine();

    const auto& records = converter.Instructions();
    // Per scene: bg, put, if, let, if, up, nop, go, if(elseif), down, go, call, nop.
    ASSERT_EQ(records.size(), static_cast<std::size_t>(kScenes * 13 + 1));
    EXPECT_EQ(records[0].Label, "*scene0");
    EXPECT_EQ(records[1].Args[1], "\"\\np(1)「今日は０日目。」\\nまた明日。\"");
    for (std::size_t i = 0; i < records.size(); ++i) {
        const InstructionDef& record = records[i];
        ASSERT_NE(record.Kind, kOpenBlockInstruction) << i;
        if (record.Args[0] == "go" && record.Args[1].front() != '*') {
            const std::size_t target = std::stoul(record.Args[1]);
            ASSERT_LT(target, records.size());
            ASSERT_EQ(records[target].Args[0], "nop") << i;
        }
        if (record.Args[0] == "if" && record.Args[2].empty()) {
            const std::size_t target = std::stoul(record.Args[3]);
            ASSERT_GT(target, i);
            ASSERT_LT(target, records.size());
        }
    }
    EXPECT_EQ(records.back().Args, (std::vector<std::string>{"go", "*scene0"}));
    const std::string regular = converter.RegularScript();
    std::size_t lines = 1;
    for (char c : regular)
        lines += c == '\n';
    EXPECT_EQ(lines, records.size());
}

}  // namespace
}  // namespace zelk
