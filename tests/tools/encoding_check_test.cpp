// zelk-tool check and pack on encodings: a file saved in the other encoding
// than its game's is named as such at the line of its first offending byte,
// and a UTF-8 game's mistakes in its story text are told with their mend.
#include <gtest/gtest.h>

#include "common/codepage.h"
#include "tools/tool_process.h"

namespace zelk::testing {
namespace {

std::string Crlf(const std::string& text) {
    std::string out;
    for (char c : text) {
        if (c == '\n') out += '\r';
        out += c;
    }
    return out;
}

std::string SystemInfo(const std::string& encodingLine) {
    return Crlf("[Game]\n" + encodingLine +
                "Title=encodings\n"
                "EntryPoint=main.start\n"
                "[TextBlock]\n"
                "CharCount=8\n"
                "LineCount=3\n"
                "[Nameplate]\n"
                "Count=1\n"
                "[Instruction]\n"
                "put\t*\n"
                "go\t*\n"
                "item\t*\t*\n"
                "select\n"
                "se\t*\n"
                "nop\t%\t%\n");
}

class EncodingCheck : public ::testing::Test {
protected:
    void SetUp() override {
        mRoot = FreshFolder(
            "encoding-" +
            std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
        mGame = mRoot / "game";
    }
    ToolResult Check() { return RunTool(mRoot, {"check", "game"}); }

    fs::path mRoot;
    fs::path mGame;
};

TEST_F(EncodingCheck, AUtf8ScenarioInACp932GameIsNamedAtItsFirstLineOfText) {
    WriteBytes(mGame / "SystemInfo.ini", SystemInfo(""));
    WriteBytes(mGame / "scenario" / "main.txt", Crlf("start:\nnop\nこんにちは\n\\b\n"));
    const ToolResult check = Check();
    EXPECT_EQ(check.status, 1);
    EXPECT_NE(check.out.find("game/scenario/main.txt:3: error: this file is UTF-8; this game's "
                             "files are CP932"),
              std::string::npos)
        << check.out;
    // Named once, not again as the half-width characters of a misreading.
    EXPECT_EQ(check.out.find("半角"), std::string::npos) << check.out;
}

TEST_F(EncodingCheck, ACp932FileInAUtf8GameIsNamedAtItsLine) {
    WriteBytes(mGame / "SystemInfo.ini", SystemInfo("Encoding=UTF-8\n"));
    WriteBytes(mGame / "scenario" / "main.txt",
               Crlf("start:\n> Hello.\\b\n" + *Utf8ToCp932("こんにちは") + "\n\\b\n"));
    WriteBytes(mGame / "title_mode.ini",
               Crlf("[base]\nFadeTime=1\nCaption=" + *Utf8ToCp932("タイトル") + "\n"));
    const ToolResult check = Check();
    EXPECT_EQ(check.status, 1);
    EXPECT_NE(check.out.find("game/scenario/main.txt:3: error: this file is CP932; this game's "
                             "files are UTF-8"),
              std::string::npos)
        << check.out;
    EXPECT_NE(check.out.find("game/title_mode.ini:3: error: this file is CP932"), std::string::npos)
        << check.out;
}

TEST_F(EncodingCheck, ASystemInfoSavedAsUtf8WithoutTheDeclarationIsNamed) {
    WriteBytes(mGame / "SystemInfo.ini", SystemInfo("") + Crlf("[Const]\nname=Zoë\n"));
    WriteBytes(mGame / "scenario" / "main.txt", Crlf("start:\nnop\n"));
    const ToolResult check = Check();
    EXPECT_EQ(check.status, 1);
    EXPECT_NE(check.out.find("game/SystemInfo.ini:17: error: this file is UTF-8; this game's files "
                             "are CP932"),
              std::string::npos)
        << check.out;
}

TEST_F(EncodingCheck, AnUnknownEncodingIsNamedAtItsLine) {
    WriteBytes(mGame / "SystemInfo.ini", SystemInfo("Encoding=Shift_JIS\n"));
    WriteBytes(mGame / "scenario" / "main.txt", Crlf("start:\nnop\n"));
    const ToolResult check = Check();
    EXPECT_EQ(check.status, 1);
    EXPECT_NE(check.out.find("game/SystemInfo.ini:2: error: [Game] Encoding=Shift_JIS"),
              std::string::npos)
        << check.out;
}

TEST_F(EncodingCheck, AUtf8GamesStoryTextMistakesAreToldWithTheirMend) {
    WriteBytes(mGame / "SystemInfo.ini", "\xEF\xBB\xBF" + SystemInfo("Encoding=UTF-8\n"));
    WriteBytes(mGame / "scenario" / "main.txt",
               Crlf("start:\n"                          // 1
                    "> Zoë: \"PCでできる\" 3日目\\b\n"  // 2
                    "Sylvie: \"Hi!\"\n"                 // 3 read as a label and an instruction
                    "> \\nhello\\b\n"                   // 4 an escape swallowing letters
                    "Hello there, friend\n"             // 5 no mark
                    "안녕하세요\n"                      // 6 text without a mark
                    "\\b\n"));
    const ToolResult check = Check();
    EXPECT_EQ(check.status, 1);
    // The conversion stops at the first mistake of its file.
    EXPECT_NE(check.out.find("game/scenario/main.txt:4: error: unknown escape \"\\nhello\""),
              std::string::npos)
        << check.out;
    EXPECT_NE(check.out.find("\\n;hello"), std::string::npos) << check.out;

    WriteBytes(mGame / "scenario" / "main.txt",
               Crlf("start:\n> Zoë: \"PCでできる\" 3日目\\b\nSylvie: \"Hi!\"\n"
                    "Hello there, friend\n안녕하세요\n\\b\n"));
    const ToolResult marks = Check();
    EXPECT_EQ(marks.status, 1);
    EXPECT_NE(
        marks.out.find("game/scenario/main.txt:3: error: 未定義命令'\"hi!\"'. This line is read "
                       "as an instruction: in a UTF-8 game a line of story text that holds "
                       "ASCII characters begins with \"> \" (> Sylvie: \"Hi!\")"),
        std::string::npos)
        << marks.out;
    EXPECT_NE(
        marks.out.find("game/scenario/main.txt:4: error: 未定義命令'hello'. This line is read "
                       "as an instruction"),
        std::string::npos)
        << marks.out;
    EXPECT_EQ(marks.out.find("main.txt:2:"), std::string::npos) << marks.out;
    EXPECT_EQ(marks.out.find("main.txt:5:"), std::string::npos) << marks.out;
}

}  // namespace
}  // namespace zelk::testing

namespace zelk::testing {
namespace {

// A UTF-8 game's archive names its files in UTF-8 (its list starts with a
// byte-order mark, read before the game's SystemInfo is); a CP932 game's
// list cannot name a file CP932 lacks, and says so.
TEST_F(EncodingCheck, AUtf8GamesArchiveKeepsItsFileNames) {
    // Lines ending in a bare LF, as an editor of this system saves them.
    std::string lf = SystemInfo("Encoding=UTF-8\n");
    std::erase(lf, '\r');
    WriteBytes(mGame / "SystemInfo.ini", lf);
    WriteBytes(mGame / "scenario" / "main.txt", "start:\r\nse café\r\n> Zoë\\b\r\n");
    WriteBytes(mGame / "sound" / "café.ogg", "not really a sound");
    const ToolResult pack = RunTool(mRoot, {"pack", "game", "out/game.quor"});
    ASSERT_EQ(pack.status, 0) << pack.err;
    // The packed scenario is read in the game's encoding: its sound is found.
    // (The game has no other system files: only what its scenario names is
    // looked at here.)
    const ToolResult packed = RunTool(mRoot, {"check", "out"});
    EXPECT_NE(packed.out.find("1 scenarios:"), std::string::npos) << packed.out;
    EXPECT_EQ(packed.out.find("main.txt"), std::string::npos) << packed.out;
    EXPECT_EQ(packed.out.find("café"), std::string::npos) << packed.out;
    const ToolResult list = RunTool(mRoot, {"list", "out/game.quor"});
    ASSERT_EQ(list.status, 0) << list.err;
    EXPECT_NE(list.out.find("\tcafé\n"), std::string::npos) << list.out;
    EXPECT_NE(list.out.find("\tmain\n"), std::string::npos) << list.out;

    WriteBytes(mGame / "SystemInfo.ini", SystemInfo(""));
    WriteBytes(mGame / "scenario" / "main.txt", "start:\r\nnop\r\n");
    const ToolResult refused = RunTool(mRoot, {"pack", "game", "out/other.quor"});
    EXPECT_EQ(refused.status, 1);
    EXPECT_NE(refused.err.find("\"café\" can't be written in CP932"), std::string::npos)
        << refused.err;
}

}  // namespace
}  // namespace zelk::testing
