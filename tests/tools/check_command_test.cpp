// zelk-tool check: each thing the player would drop or refuse is named at
// its line, once, with how to mend it; errors fail the run, warnings do not.
#include <gtest/gtest.h>

#include "tools/tool_process.h"

namespace zelk::testing {
namespace {

constexpr const char* kSystemInfo =
    "[Game]\n"
    "Title=check\n"
    "EntryPoint=main.start\n"
    "[TextBlock]\n"
    "CharCount=8\n"
    "LineCount=3\n"
    "[Nameplate]\n"
    "Count=2\n"
    "Item:1=【ユキ】\n"
    "[const]\n"
    "center=320\n"
    "[var]\n"
    "route=0\n"
    "[shared]\n"
    "clear=0\n"
    "[Instruction]\n"
    "put\t*\n"
    "bg\t*\t%\t%\n"
    "bgm\t%\t%\n"
    "go\t*\n"
    "call\t*\n"
    "return\n"
    "if\t*\t%\t%\n"
    "let\t*\t*\n"
    "playmovie\t*\t%\n"
    "nop\t%\t%\n"
    "dance\n"
    "[Config]\n"
    "TextSpeed=2\nTextAutoClick=False\nAutoModeWait=1800\nBGMVolume=200\nSEVolume=200\n"
    "CVVolume=200\nBGMMute=False\nSEMute=False\nCVMute=False\nWndAlpha=208\n"
    "NovelAlpha=176\nCustomCursor=False\nFont=\nCustomColor=\nOriginalTextColor=True\n"
    "MaleVoice=True\nCVPan=False\nSkipStopUnread=True\nSkipGrpEffect=True\n"
    "SkipAfterSelect=False\nStartScreenMode=1\nFullMode=False\nStartCenter=True\nPos=\n"
    "DeactivateMute=False\nDeactivateWnd=False\nDXFullScreen=False\nTextShadow=True\n"
    "QueryQuickSave=True\nQueryQuickLoad=True\nQueryRestartTitle=True\nQueryExit=True\n"
    "QuerySave=True\nQueryLoad=True\nLastSaveLoadPage=1\n";

// The other settings files, as small as the player takes them.
void WriteOtherSystemFiles(const fs::path& game) {
    WriteGameText(game / "game_mode.ini", "[Base]\n");
    WriteGameText(game / "title_mode.ini", "[base]\n");
    WriteGameText(game / "saveload_mode.ini", "[Base]\n");
    WriteGameText(game / "omake_mode.ini", "[base]\n");
}

class CheckCommand : public ::testing::Test {
protected:
    void SetUp() override {
        mRoot = FreshFolder(
            "check-" +
            std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
        mGame = mRoot / "game";
        WriteGameText(mGame / "SystemInfo.ini", kSystemInfo);
        WriteOtherSystemFiles(mGame);
        WriteGameText(mGame / "scenario" / "other.txt", "scene:\nreturn");
    }

    ToolResult Check(const std::string& folder = "game") {
        return RunTool(mRoot, {"check", folder});
    }

    fs::path mRoot;
    fs::path mGame;
};

TEST_F(CheckCommand, NamesEachFaultAtItsLineWithItsMend) {
    WriteBytes(mGame / "image" / "BG01.png", "a picture");
    WriteBytes(mGame / "sound" / "bgm1.ogg", "a sound");
    WriteGameText(mGame / "scenario" / "main.txt",
                  "start:\n"                      // 1
                  "bg bg01\n"                     // 2 found in any case
                  "bg bg02\n"                     // 3
                  "bgm bgm1\n"                    // 4
                  "bgm \"bgm1\"\n"                // 5 the quotes are part of the name
                  "PCでできる\n"                  // 6
                  "テキスト\\b\n"                 // 7
                  "dance\n"                       // 8
                  "jump here\n"                   // 9
                  "bg bg01, 1, 2, 3\n"            // 10
                  "go\n"                          // 11
                  "go nowhere\n"                  // 12
                  "call other.scene\n"            // 13
                  "call other.gone\n"             // 14
                  "call ghost.scene\n"            // 15
                  "let undeclared, 1\n"           // 16
                  "bg bg01, centre\n"             // 17
                  "\\v(voice1)あいうえお\\b\n"    // 18
                  "playmovie \"op.mpg\"\n"        // 19
                  "【ユキ】あいうえおかきく。\n"  // 20
                  "\\b\n"                         // 21
                  "let route, center\n");         // 22 a constant, a variable: fine
    WriteGameText(mGame / "scenario" / "bad.txt", "nop\nendif");
    WriteGameText(mGame / "scenario" / "open.txt", "nop\nあ");

    const ToolResult run = Check();
    EXPECT_EQ(run.status, 1) << run.err;
    EXPECT_EQ(run.err, "");
    const std::string main = "game/scenario/main.txt:";
    const std::vector<std::string> expected = {
        "game/scenario/bad.txt:2: error: endif without if. Add the if it belongs to, or remove "
        "it.",
        main +
            "3: error: picture \"bg02\" not found in image/. Mend the name (its case does not "
            "matter).",
        main + "5: error: sound \"\"bgm1\"\" not found in sound/. Write the name without quotes.",
        main +
            "6: error: 未定義命令'pcでできる'. This story text is read as an instruction "
            "because it holds half-width characters (P C): write them in full width (ＰＣ "
            "for PC, ！ for !).",
        main +
            "7: error: 未定義命令'テキスト\\b'. This story text is read as an instruction "
            "because \\b follows it on the same line: put \\b on a line of its own, or "
            "begin the line with \\.",
        main +
            "8: error: 未実装命令'dance'. [Instruction] of SystemInfo.ini lists \"dance\", but "
            "the player has no such command: mend the word in both places, or remove the "
            "line.",
        main +
            "9: error: 未定義命令'jump'. \"jump\" is no command of this game: mend its "
            "spelling, or add it to [Instruction] of SystemInfo.ini.",
        main +
            "10: error: bg命令の引数は3個までです。 \"bg\" takes fewer arguments: remove the "
            "extra ones (a ',' inside a text starts a new one).",
        main + "11: error: go命令の第1引数は省略できません。 \"go\" needs this argument: give it.",
        main +
            "12: error: label \"nowhere\" is not here. Mend the label, or write it on a line "
            "as LABEL:.",
        main +
            "14: error: label \"other.gone\" is not in scenario \"other\". Mend the label, or "
            "write it on a line as LABEL:.",
        main +
            "15: error: label \"ghost.scene\" names no scenario of the game. Mend the "
            "scenario's name: it is the file's name without .txt.",
        main +
            "16: error: \"let\" cannot store into \"undeclared\": "
            "値表現が設定対象として不正です。 Declare it in [var] (or [shared]) of "
            "SystemInfo.ini, as undeclared=0.",
        main +
            "17: error: \"centre\" cannot be read: 値表現が不正です. Declare the name in "
            "[var], [shared] or [const] of SystemInfo.ini, or mend its spelling.",
        main +
            "18: error: voice \"voice1\" not found in sound/. Mend the name in \\v(...) (its "
            "case does not matter).",
        main + "19: error: movie \"op.mpg\" not found in the movie folder " +
            fs::canonical(mGame).string() + ". Mend the file name, extension included.",
        main +
            "20: warning: the wrapping after 8 characters starts a line with \"。\": "
            "\"あいうえおかきく\" / \"。\". Break the line earlier with \\n, or reword it.",
        "game/scenario/open.txt:2: warning: the story text from this line has no closing \\b "
        "and is dropped. End it with \\b.",
        "4 scenarios: 16 errors, 2 warnings",
    };
    EXPECT_EQ(SplitLines(run.out), expected) << run.out;
}

// A line of story text may hold escapes only when it begins with one.
TEST_F(CheckCommand, AnEscapeInsideALineOfStoryTextIsNamed) {
    WriteGameText(mGame / "scenario" / "main.txt",
                  "start:\nあい\\nうえ\n\\b\n\\nあい\\c(a01)うえ\\b");
    const ToolResult run = Check();
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(SplitLines(run.out),
              (std::vector<std::string>{
                  "game/scenario/main.txt:2: error: 未定義命令'あい\\nうえ'. This story text is "
                  "read as an instruction because it holds \\n but does not begin with \\: "
                  "break the line before \\n, so that a line begins with it.",
                  "2 scenarios: 1 errors, 0 warnings"}));
}

TEST_F(CheckCommand, WarningsAloneDoNotFailAndPlacesFollowTheNamedFolder) {
    WriteGameText(mGame / "scenario" / "main.txt", "start:\nあいうえおかきく！\n\\b");
    const ToolResult run = RunTool(mGame, {"check", "."});
    EXPECT_EQ(run.status, 0) << run.out << run.err;
    EXPECT_EQ(run.out,
              "scenario/main.txt:2: warning: the wrapping after 8 characters starts a line with "
              "\"！\": \"あいうえおかきく\" / \"！\". Break the line earlier with \\n, or reword "
              "it.\n"
              "2 scenarios: 0 errors, 1 warnings\n");
}

TEST_F(CheckCommand, AnExplicitBreakBeforeAShortLineIsTheAuthorsChoice) {
    WriteGameText(mGame / "scenario" / "main.txt", "start:\nあい\n\\n。\\b");
    const ToolResult run = Check();
    EXPECT_EQ(run.status, 0) << run.out;
    EXPECT_EQ(run.out, "2 scenarios: 0 errors, 0 warnings\n");
}

TEST_F(CheckCommand, TheEntryPointAndTheReplayScenesMustExist) {
    WriteGameText(mGame / "SystemInfo.ini",
                  std::string(kSystemInfo)
                      .replace(std::string(kSystemInfo).find("main.start"), 10, "main.begin"));
    WriteGameText(mGame / "omake_mode.ini",
                  "[repmode_panel]\npanel01_01=rep1,rpp1,other.scene\npanel01_02=rep2,rpp2,"
                  "other.lost\n");
    WriteBytes(mGame / "image" / "rpp1.png", "a picture");
    WriteBytes(mGame / "image" / "rpp2.png", "a picture");
    WriteGameText(mGame / "scenario" / "main.txt", "start:\nnop");
    const ToolResult run = Check();
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(SplitLines(run.out),
              (std::vector<std::string>{
                  "SystemInfo.ini [Game] EntryPoint: error: label \"main.begin\" is not in "
                  "scenario \"main\". Mend the label, or write it on a line as LABEL:.",
                  "omake_mode.ini [repmode_panel] panel01_02: error: label \"other.lost\" is not "
                  "in scenario \"other\". Mend the label, or write it on a line as LABEL:.",
                  "2 scenarios: 2 errors, 0 warnings"}));
}

// The archives hold what the loose folders do not: pictures packed while
// the scenarios are still loose (a debug file asks for them).
TEST_F(CheckCommand, PicturesMayLieInTheArchives) {
    WriteBytes(mRoot / "pictures" / "bg01.png",
               ReadAll(fs::path(ZELK_TEST_DATA) / "pictures" / "grey.png"));
    ASSERT_EQ(RunTool(mRoot, {"pack", "pictures", "game/image.quor"}).status, 0);
    WriteGameText(mGame / "debug.ini", "[debug]\nScenarioFileMode=True\n");
    WriteGameText(mGame / "scenario" / "main.txt", "start:\nbg BG01\nbg bg02");
    const ToolResult run = Check();
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(SplitLines(run.out),
              (std::vector<std::string>{
                  // Measured in the archive, too.
                  "game/scenario/main.txt:2: warning: background \"bg01\" is 6x3, smaller than "
                  "the screen (640x480): the screen around it is left bare. Make it the "
                  "screen's size.",
                  "game/scenario/main.txt:3: error: picture \"bg02\" not found in the archives. "
                  "Mend the name (its case does not matter).",
                  "2 scenarios: 1 errors, 1 warnings"}));
}

// A packed game's scenarios are checked in the archive, from where the game
// starts, and named as the player's log names them.
TEST_F(CheckCommand, APackedGameIsCheckedInItsArchives) {
    WriteGameText(mRoot / "stage" / "SystemInfo.ini", kSystemInfo);
    WriteOtherSystemFiles(mRoot / "stage");
    WriteGameText(mRoot / "stage" / "scenario" / "main.txt",
                  "start:\ncall other.scene\nbg bg01\ngo nowhere");
    WriteGameText(mRoot / "stage" / "scenario" / "other.txt", "scene:\nreturn");
    fs::create_directories(mRoot / "packed");
    ASSERT_EQ(RunTool(mRoot, {"pack", "stage", "packed/scenario.quor"}).status, 0);
    const ToolResult run = Check("packed");
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(SplitLines(run.out),
              (std::vector<std::string>{
                  "main 第2要素: error: picture \"bg01\" not found in the archives. Mend the "
                  "name (its case does not matter).",
                  "main 第3要素: error: label \"nowhere\" is not here. Mend the label, or write "
                  "it on a line as LABEL:.",
                  "2 scenarios: 2 errors, 0 warnings"}));
}

// What the player would refuse to show fails the check too, though no
// scenario names it: an entry whose data no longer match its checksum, and a
// picture whose header claims a size no picture may have.
TEST_F(CheckCommand, DamagedEntriesAndLyingPicturesInTheArchivesFailIt) {
    const std::string png = ReadAll(fs::path(ZELK_TEST_DATA) / "pictures" / "rgba.png");
    WriteBytes(mRoot / "pictures" / "bg01.png", png);
    std::string liar = ReadAll(fs::path(ZELK_TEST_DATA) / "pictures" / "rgb24.bmp");
    liar.replace(18, 8, std::string("\x20\x4E\0\0\x20\x4E\0\0", 8));  // 20000 x 20000
    WriteBytes(mRoot / "pictures" / "bg02.bmp", liar);
    ASSERT_EQ(RunTool(mRoot, {"pack", "pictures", "game/image.quor"}).status, 0);
    WriteGameText(mGame / "scenario" / "main.txt", "start:\nreturn");
    WriteGameText(mGame / "debug.ini", "[debug]\nScenarioFileMode=True\n");

    EXPECT_EQ(Check().status, 1);
    EXPECT_NE(Check().out.find("game/image.quor: error: entry 3 \"bg02\" is a picture the "
                               "player cannot read"),
              std::string::npos)
        << Check().out;

    // The first picture's data damaged where it lies (stored, not deflated).
    std::string archive = ReadAll(mGame / "image.quor");
    const std::size_t at = archive.find(png);
    ASSERT_NE(at, std::string::npos);
    archive[at + png.size() / 2] ^= 0x5A;
    WriteBytes(mGame / "image.quor", archive);
    const ToolResult run = Check();
    EXPECT_EQ(run.status, 1);
    EXPECT_NE(run.out.find("game/image.quor: error: entry 1 \"bg01\" is missing or damaged"),
              std::string::npos)
        << run.out;
    EXPECT_NE(run.out.find("2 scenarios: 2 errors, 0 warnings"), std::string::npos) << run.out;
}

TEST_F(CheckCommand, AFolderThatIsNoGameIsRefused) {
    fs::create_directories(mRoot / "photos");
    const ToolResult run = Check("photos");
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.err,
              "zelk-tool: photos is no game folder: it has no archives (*.quor) and no "
              "SystemInfo.ini\n");
}

// The game authors learn from shows nothing to mend, warnings included.
TEST(CheckCommandOnTheDemo, TheDemoGameHasNothingToMend) {
    const fs::path demo = fs::path(ZELK_SOURCE_DIR) / "games" / "demo";
    const ToolResult run = RunTool(FreshFolder("check-demo"), {"check", demo.string()});
    EXPECT_EQ(run.status, 0) << run.out << run.err;
    EXPECT_EQ(run.out.find(": error:"), std::string::npos) << run.out;
    EXPECT_NE(run.out.find("8 scenarios: 0 errors, 0 warnings"), std::string::npos) << run.out;
}

}  // namespace
}  // namespace zelk::testing
