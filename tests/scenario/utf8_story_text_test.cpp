// The rules of a UTF-8 game's scenarios: story text holds any character,
// and nothing in it is misread as a label, an instruction, a comment or the
// name of an escape.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "common/codepage.h"
#include "common/process.h"
#include "scenario/fake_scenario_host.h"
#include "scenario/scenario_converter.h"
#include "scenario/script.h"
#include "scenario/script_manager.h"
#include "scenario/story_text.h"

namespace zelk {
namespace {

std::string Lines(std::initializer_list<std::string> lines) {
    std::string text;
    for (const std::string& line : lines) {
        if (&line != lines.begin()) text += "\r\n";
        text += line;
    }
    return text;
}

class Utf8StoryText : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(converter.Init(4, 3, {"", "【Sylvie】"}, TextEncoding::Utf8()));
    }

    std::string Convert(const std::string& source) {
        EXPECT_TRUE(converter.Assemble(source))
            << converter.ErrMsg() << " at line " << converter.ErrLine();
        return converter.RegularScript();
    }

    std::string ErrorOf(const std::string& source) {
        EXPECT_FALSE(converter.Assemble(source)) << source;
        return converter.ErrMsg();
    }

    ScenarioConverter converter;
};

TEST_F(Utf8StoryText, AMarkedLineIsTextWhateverItHolds) {
    EXPECT_EQ(Convert("> Sylvie: \"Hi!\" See http://example.org, 3 cats.\\b"),
              "put\t\"Sylvie: \"Hi!\" See http://example.org, 3 cats.\"");
    // Latin letters and digits among Japanese, no full-width detour.
    EXPECT_EQ(Convert("> PCでできる、3日目\\b"), "put\t\"PCでできる、3日目\"");
    // An instruction word, a label's colon, a comment's slashes: all text.
    EXPECT_EQ(Convert("> go: left // right\\b"), "put\t\"go: left // right\"");
    // A label may stand before the mark.
    EXPECT_EQ(Convert("start: > Hi: there.\\b"), "start:put\t\"Hi: there.\"");
    // The mark needs its space: ">x" is no mark.
    EXPECT_EQ(Convert(">x"), ">x");
}

TEST_F(Utf8StoryText, UnmarkedLinesReadAsInACp932Game) {
    // All non-ASCII, or starting with an escape: text without a mark, so a
    // converted Japanese game reads the same.
    EXPECT_EQ(Convert(Lines({"こんにちは", "世界", "\\b"})), "put\t\"こんにちは世界\"");
    EXPECT_EQ(Convert(Lines({"안녕하세요", "\\b"})), "put\t\"안녕하세요\"");
    // As in a CP932 game, "\b" after other characters makes no text line.
    EXPECT_EQ(Convert("世界\\b"), "世界\\b");
    EXPECT_EQ(Convert("\\nHello\\b"), "put\t\"\\n\\()Hello\"");
    // An English line without the mark is an instruction, as the tools tell.
    EXPECT_EQ(Convert("Hello there"), "hello\tthere");
    EXPECT_EQ(Convert(Lines({"start:", "go start // back"})), "start:go\tstart");
}

TEST_F(Utf8StoryText, LinesOfABlockJoinAsTheirScriptWants) {
    EXPECT_EQ(Convert(Lines({"> It was late.", "> The rain had stopped.\\b"})),
              "put\t\"It was late. The rain had stopped.\"");
    EXPECT_EQ(Convert(Lines({"> 夜は更けて", "> 雨は止んだ。\\b"})),
              "put\t\"夜は更けて雨は止んだ。\"");
    EXPECT_EQ(Convert(Lines({"> 비가", "> 그쳤다.\\b"})), "put\t\"비가 그쳤다.\"");
    EXPECT_EQ(Convert(Lines({"> Line one\\n", "> line two\\b"})),
              "put\t\"Line one\\n\\()line two\"");
}

TEST_F(Utf8StoryText, NoEscapeSwallowsTheLettersAfterIt) {
    // The interpreter reads an escape's name up to "(", "\" or a full-width
    // character: an empty escape ends it where the rule says.
    EXPECT_EQ(Convert("> \\nHello\\b"), "put\t\"\\n\\()Hello\"");
    EXPECT_EQ(Convert("> \\n;hello\\b"), "put\t\"\\n\\()hello\"");
    EXPECT_EQ(Convert("> \\n;(laughs)\\b"), "put\t\"\\n\\()(laughs)\"");
    EXPECT_EQ(Convert("> Zoë\\nÉcole\\b"), "put\t\"Zoë\\n\\()École\"");
    EXPECT_EQ(Convert("> \\nowait;ok\\b"), "put\t\"\\nowait\\()ok\"");
    EXPECT_EQ(Convert("> Wait\\pause(500)then go.\\b"), "put\t\"Wait\\pause(500)then go.\"");
    EXPECT_EQ(Convert("> \\v(a01_001)Hi.\\w More.\\b"), "put\t\"\\v(a01_001)Hi.\\w\\() More.\"");
    // Before Japanese or another escape nothing is needed.
    EXPECT_EQ(Convert("> 一\\n二\\n\\nowait\\b"), "put\t\"一\\n二\\n\\nowait\"");
}

TEST_F(Utf8StoryText, AnEscapeMistakeIsAnErrorThatSaysTheMend) {
    const std::string glued = ErrorOf("> \\nhello\\b");
    EXPECT_NE(glued.find("unknown escape \"\\nhello\""), std::string::npos) << glued;
    EXPECT_NE(glued.find("\\n;hello"), std::string::npos) << glued;
    EXPECT_NE(ErrorOf("> \\Np(1)x\\b").find("lower case"), std::string::npos);
    EXPECT_NE(ErrorOf("> \\pause 500\\b").find("takes an argument"), std::string::npos);
    EXPECT_NE(ErrorOf("> \\v(a01\\b").find("lacks its"), std::string::npos);
    EXPECT_NE(ErrorOf("> a\\bc\\b").find("unknown escape \"\\bc\""), std::string::npos);
    EXPECT_NE(ErrorOf("> a\\b;c\\b").find("only at the end of a line"), std::string::npos);
    EXPECT_EQ(converter.ErrLine(), 1);
    EXPECT_NE(ErrorOf(Lines({"> one", "", "Two words"})).find("needs \"> \""), std::string::npos);
    EXPECT_EQ(converter.ErrLine(), 3);
}

TEST_F(Utf8StoryText, CharCountNoLongerWrapsButLineCountStillHolds) {
    // CharCount is 4: no break is made up, however long the line.
    EXPECT_EQ(Convert("> A rather long line of text.\\b"), "put\t\"A rather long line of text.\"");
    EXPECT_EQ(Convert("> one\\n;two\\nThree\\b"), "put\t\"one\\n\\()two\\n\\()Three\"");
    EXPECT_NE(ErrorOf("> 1\\n2\\n3\\n4\\b").find("LineCount"), std::string::npos);
    // A break at the very end shows nothing past the page.
    EXPECT_EQ(Convert("> 1\\n2\\n3\\n\\b"), "put\t\"1\\n\\()2\\n\\()3\\n\"");
}

TEST_F(Utf8StoryText, NamePlatesAreFoundInTheCharactersOnly) {
    EXPECT_EQ(Convert("> 【Sylvie】Hi!\\b"), "put\t\"\\np(1)Hi!\"");
    EXPECT_EQ(Convert("> \\v(【Sylvie】)x\\b"), "put\t\"\\v(【Sylvie】)x\"");
}

TEST_F(Utf8StoryText, InstructionsKeepQuotedCommasColonsAndSlashes) {
    EXPECT_EQ(Convert("item \"Yes: go on, please\", left // the left route"),
              "item\t\"Yes: go on, please\"\tleft");
    EXPECT_EQ(Convert("item 왼쪽, left"), "item\t\"왼쪽\"\tleft");
    EXPECT_EQ(Convert("start: go \"http://a\""), "start:go\t\"http://a\"");
}

TEST_F(Utf8StoryText, TheRegularFormKeepsTextColonsOutOfLabels) {
    const std::string regular = Convert(Lines({"start:", "> Sylvie: \"Hi!\"\\b", "go start"}));
    Script script;
    std::string error;
    ASSERT_TRUE(script.Parse(regular, error, true)) << error;
    EXPECT_EQ(script.LabelAddress("start"), 0);
    EXPECT_EQ(script.Element(0), "put\t\"Sylvie: \"Hi!\"\"");
    EXPECT_EQ(script.LabelAddress("put\t\"sylvie"), -1);
}

TEST_F(Utf8StoryText, ACp932GameKeepsItsRules) {
    ScenarioConverter cp932;
    ASSERT_TRUE(cp932.Init(4, 2, {""}));
    ASSERT_TRUE(cp932.Assemble("> Hello\\b"));
    EXPECT_EQ(cp932.RegularScript(), ">\thello\\b");
    ASSERT_TRUE(cp932.Assemble("\\nあいう\\b"));
    EXPECT_EQ(cp932.RegularScript(), "put\t\"\\nあいう\"");
}

TEST(StoryEscapes, EveryEscapeOfTheListParses) {
    for (const StoryEscapeName& known : StoryEscapeNames()) {
        std::vector<StoryPiece> pieces;
        std::string error;
        const std::string line =
            "\\" + std::string(known.name) + (known.takesArgument ? "(1)" : "") + ";x";
        ASSERT_TRUE(ParseStoryLine(line, pieces, error)) << line << ": " << error;
        ASSERT_EQ(pieces.size(), 2u) << line;
        EXPECT_EQ(pieces[0].text, known.name);
        EXPECT_EQ(pieces[1].text, "x");
    }
}

// [SECTION] Loose files of a UTF-8 game

namespace fs = std::filesystem;

class Utf8ScriptFiles : public ::testing::Test {
protected:
    void SetUp() override {
        std::string pattern = (fs::temp_directory_path() / "zelk-utf8-XXXXXX").string();
        ASSERT_NE(mkdtemp(pattern.data()), nullptr);
        workspace = pattern;
        fs::create_directories(workspace / "scenario");
        Process().WorkspaceDir = workspace.string();
        host.systemInfo.Encoding(TextEncoding::Utf8());
    }
    void TearDown() override { fs::remove_all(workspace); }

    void WriteBytes(const std::string& fileName, const std::string& bytes) {
        std::ofstream(workspace / "scenario" / fileName, std::ios::binary) << bytes;
    }

    fs::path workspace;
    testing::FakeScenarioHost host;
    ScriptManager manager{host};
};

TEST_F(Utf8ScriptFiles, AUtf8ScenarioWithAMarkLoads) {
    WriteBytes("main.txt",
               "\xEF\xBB\xBFstart:\n> Zoë: \"Ça va?\" — 日本語 — 한국어\\b\ngo start\n");
    ASSERT_TRUE(manager.Init(true, ""));
    const auto script = manager.GetScript("main", false);
    ASSERT_TRUE(script);
    EXPECT_EQ(script->Element(0), "put\t\"Zoë: \"Ça va?\" — 日本語 — 한국어\"");
    EXPECT_EQ(script->LabelAddress("start"), 0);
    EXPECT_TRUE(host.messages.empty());
}

TEST_F(Utf8ScriptFiles, ACp932ScenarioInAUtf8GameIsNamedWithItsLine) {
    WriteBytes("main.txt", "> Hello\\b\r\n" + *Utf8ToCp932("こんにちは\\b") + "\r\n");
    ASSERT_TRUE(manager.Init(true, ""));
    EXPECT_FALSE(manager.GetScript("main", false));
    ASSERT_EQ(host.scenarioErrors.size(), 1u);
    EXPECT_EQ(host.scenarioErrors[0].rfind("main.txt:2: this file is CP932", 0), 0u)
        << host.scenarioErrors[0];
}

TEST_F(Utf8ScriptFiles, AUtf8ScenarioInACp932GameIsNamedWithItsLine) {
    host.systemInfo.Encoding(TextEncoding::Cp932());
    WriteBytes("main.txt", "nop\r\nこんにちは\\b\r\n");
    ASSERT_TRUE(manager.Init(true, ""));
    EXPECT_FALSE(manager.GetScript("main", false));
    ASSERT_EQ(host.scenarioErrors.size(), 1u);
    EXPECT_EQ(host.scenarioErrors[0].rfind("main.txt:2: this file is UTF-8", 0), 0u)
        << host.scenarioErrors[0];
}

// A stray bad byte is told with its line and shown as U+FFFD: the story
// goes on.
TEST_F(Utf8ScriptFiles, InvalidBytesInAUtf8ScenarioAreNamedNotCrashedOn) {
    WriteBytes("main.txt", "> ok\\b\n> bad \x82 byte\\b\n");
    ASSERT_TRUE(manager.Init(true, ""));
    const auto script = manager.GetScript("main", false);
    ASSERT_TRUE(script);
    EXPECT_EQ(script->Element(1), "put\t\"bad \xEF\xBF\xBD byte\"");
    EXPECT_EQ(host.scenarioErrors,
              std::vector<std::string>{"main.txt:2: this file is not valid UTF-8, as this game's "
                                       "files must be (a byte that no character begins with)"});
    EXPECT_TRUE(host.messages.empty());
    ASSERT_EQ(host.scenarioErrors.size(), 1u);
    EXPECT_EQ(host.scenarioErrors[0].rfind("main.txt:2: this file is", 0), 0u)
        << host.scenarioErrors[0];
}

}  // namespace
}  // namespace zelk
