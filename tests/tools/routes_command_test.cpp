// zelk-tool routes: every road through a game is played; each ending is
// named with the shortest choices to it, each fault with its line and the
// choices that lead to it, and what no road reaches is listed.
#include <gtest/gtest.h>

#include <regex>

#include "common/text.h"
#include "tools/tool_process.h"

namespace zelk::testing {
namespace {

constexpr const char* kSystemInfo =
    "[Game]\n"
    "Title=routes\n"
    "EntryPoint=main.start\n"
    "[TextBlock]\n"
    "CharCount=20\n"
    "LineCount=3\n"
    "[const]\n"
    "[var]\n"
    "route=0\n"
    "[shared]\n"
    "clear=0\n"
    "plays=0\n"
    "[Instruction]\n"
    "put\t*\n"
    "da\n"
    "dd\n"
    "go\t*\n"
    "call\t*\n"
    "return\n"
    "if\t*\t%\t%\n"
    "let\t*\t*\n"
    "up\t*\t%\n"
    "item\t*\t*\n"
    "select\n"
    "er\t*\t*\t*\t*\t%\t%\n"
    "selecter\n"
    "nop\t%\t%\n"
    "wnd\t0\n"
    "restarttitle\n"
    "playending\t*\t%\t%\t%\n";

// Counts the lines of the output that contain `text`.
int Lines(const std::string& out, const std::string& text) {
    int count = 0;
    std::size_t at = 0;
    while ((at = out.find(text, at)) != std::string::npos) {
        ++count;
        at += text.size();
    }
    return count;
}

class RoutesCommand : public ::testing::Test {
protected:
    void SetUp() override {
        folder = FreshFolder(::testing::UnitTest::GetInstance()->current_test_info()->name());
        WriteGameText(folder / "game" / "SystemInfo.ini", kSystemInfo);
    }
    void Scenario(const std::string& name, const std::string& text) {
        WriteGameText(folder / "game" / "scenario" / (name + ".txt"), text);
    }
    ToolResult Routes(std::vector<std::string> more = {}) {
        std::vector<std::string> args = {"routes", "game"};
        args.insert(args.end(), more.begin(), more.end());
        return RunTool(folder, args);
    }
    fs::path folder;
};

TEST(RoutesShippedGames, TheDemoEndsEveryRouteAndLeavesNothingUnreached) {
    const fs::path folder = FreshFolder("routes_demo");
    const std::string loose = std::string(ZELK_SOURCE_DIR) + "/games/demo";
    const std::string packed = std::string(ZELK_BIN_DIR) + "/../games/demo";
    for (const std::string& game : {loose, packed}) {
        SCOPED_TRACE(game);
        const ToolResult result = RunTool(folder, {"routes", game});
        EXPECT_EQ(result.status, 0) << result.out << result.err;
        EXPECT_EQ(Lines(result.out, ": error:"), 0) << result.out;
        EXPECT_EQ(Lines(result.out, ": warning:"), 0) << result.out;
        // Both staff rolls, each after its own last choice, and the title.
        EXPECT_EQ(Lines(result.out, ": ending: staff roll"), 2) << result.out;
        EXPECT_EQ(Lines(result.out, "ed_back_a,ed_credits,ed_over_a) [choices: "), 1);
        EXPECT_NE(result.out.find("> 灯台に灯りをともす]"), std::string::npos) << result.out;
        EXPECT_NE(result.out.find("> 夜明けまで待つ]"), std::string::npos) << result.out;
        EXPECT_EQ(Lines(result.out, ": end: the route returns to the title"), 2) << result.out;
        // The five scene replays, which open only after an ending.
        EXPECT_EQ(Lines(result.out, ": end: the scene replay returns to the extras"), 5);
        EXPECT_NE(result.out.find("(a new game from the title) > (the extras: scene replay "
                                  "replay.rep5)"),
                  std::string::npos)
            << result.out;
        EXPECT_TRUE(result.err.empty()) << result.err;
    }
}

TEST(RoutesShippedGames, ANewGameEndsAtTheTitleWithNothingUnreached) {
    const fs::path folder = FreshFolder("routes_new");
    ASSERT_EQ(RunTool(folder, {"new", "game"}).status, 0);
    const ToolResult result = RunTool(folder, {"routes", "game"});
    EXPECT_EQ(result.status, 0) << result.out << result.err;
    EXPECT_EQ(Lines(result.out, ": error:"), 0) << result.out;
    EXPECT_EQ(Lines(result.out, ": warning:"), 0) << result.out;
    EXPECT_NE(result.out.find("game/scenario/main.txt:35: end: the route returns to the title "
                              "[choices: 海へ行く]"),
              std::string::npos)
        << result.out;
    EXPECT_EQ(Lines(result.out, ": end: the scene replay returns to the extras"), 1);
}

TEST_F(RoutesCommand, ABrokenRouteIsNamedWithItsLineAndChoicesAndAnUnusedLabelIsListed) {
    Scenario("main",
             "start:\n"
             "da\n"
             "はじまり。\n"
             "\\b\n"
             "item 海へ行く, main.sea\n"
             "item 町に残る, main.town\n"
             "select\n"
             "sea:\n"
             "海。\n"
             "\\b\n"
             "item 泳ぐ, main.swim\n"
             "item 帰る, main.town\n"
             "select\n"
             "swim:\n"
             "go nowhere\n"
             "restarttitle\n"
             "town:\n"
             "町。\n"
             "\\b\n"
             "restarttitle\n"
             "unused:\n"
             "だれも来ない。\n"
             "\\b\n"
             "まだ来ない。\n"
             "\\b\n"
             "restarttitle\n");
    const ToolResult result = Routes();
    EXPECT_EQ(result.status, 1) << result.out << result.err;
    EXPECT_NE(result.out.find("game/scenario/main.txt:15: error: there is no label nowhere: the "
                              "jump fails and the story runs on with the next line "
                              "(ラベル表現'nowhere'が不正です。) [choices: 海へ行く > 泳ぐ]"),
              std::string::npos)
        << result.out;
    EXPECT_NE(result.out.find("game/scenario/main.txt:21: warning: no route reaches the label "
                              "unused (2 pages under it)"),
              std::string::npos)
        << result.out;
    // The shortest road to the title takes one choice.
    EXPECT_NE(result.out.find("main.txt:20: end: the route returns to the title [choices: "
                              "町に残る]"),
              std::string::npos)
        << result.out;
    EXPECT_EQ(Lines(result.out, ": error:"), 1) << result.out;
    EXPECT_EQ(Lines(result.out, ": warning:"), 1) << result.out;
}

TEST_F(RoutesCommand, WhatAShippedGameWouldDropInSilenceIsAnErrorAtItsLine) {
    Scenario("main",
             "start:\n"
             "da\n"
             "item 海へ\n"
             "item 町へ, main.town\n"
             "select\n"
             "town:\n"
             "up route, 1, 2\n"
             "dance\n"
             "return\n"
             "wnd 1\n"
             "restarttitle\n");
    const ToolResult result = Routes();
    EXPECT_EQ(result.status, 1) << result.out;
    EXPECT_NE(result.out.find("main.txt:3: error: an argument is missing: the line is skipped"),
              std::string::npos)
        << result.out;
    EXPECT_NE(result.out.find("main.txt:7: error: an argument too many: the line is skipped"),
              std::string::npos)
        << result.out;
    EXPECT_NE(result.out.find("main.txt:8: error: dance is no command of the game's "
                              "[Instruction] table"),
              std::string::npos)
        << result.out;
    EXPECT_NE(result.out.find("main.txt:9: error: return without a call"), std::string::npos)
        << result.out;
    EXPECT_NE(result.out.find("main.txt:10: error: game_mode.ini has no complete window type "
                              "[wndtype:1]"),
              std::string::npos)
        << result.out;
    EXPECT_EQ(Lines(result.out, ": error:"), 5) << result.out;
}

TEST_F(RoutesCommand, APageAfterAJumpIsUnreachedThoughItsLabelIsNot) {
    Scenario("main",
             "start:\n"
             "da\n"
             "はじまり。\n"
             "\\b\n"
             "go end\n"
             "とどかない。\n"
             "\\b\n"
             "end:\n"
             "restarttitle\n");
    const ToolResult result = Routes();
    EXPECT_EQ(result.status, 0) << result.out;
    EXPECT_NE(result.out.find("main.txt:6: warning: no route shows this page"), std::string::npos)
        << result.out;
}

TEST_F(RoutesCommand, LoopsWithoutAChoiceAreNamedAndTheOtherRoutesStillEnd) {
    Scenario("main",
             "start:\n"
             "da\n"
             "item 回る, main.round\n"
             "item 止まる, main.spin\n"
             "item 帰る, main.home\n"
             "select\n"
             "round:\n"
             "まわる。\n"
             "\\b\n"
             "go round\n"
             "spin:\n"
             "go spin\n"
             "home:\n"
             "restarttitle\n");
    const ToolResult result = Routes({"--limit", "steps=5000"});
    EXPECT_EQ(result.status, 1) << result.out;
    // A page that comes back unchanged: the reader clicks for ever.
    EXPECT_NE(result.out.find("main.txt:8: error: the route comes back here with nothing changed "
                              "and no choice on the way: the reader clicks on for ever [choices: "
                              "回る]"),
              std::string::npos)
        << result.out;
    // A loop that never waits is stopped by the step limit, never hangs.
    EXPECT_NE(result.out.find("main.txt:12: error: the route runs 5000 instructions without a "
                              "choice or an end"),
              std::string::npos)
        << result.out;
    EXPECT_NE(result.out.find("main.txt:14: end: the route returns to the title [choices: 帰る]"),
              std::string::npos)
        << result.out;
}

TEST_F(RoutesCommand, AMenuWhoseEveryChoiceComesBackIsARouteThatNeverEnds) {
    Scenario("main",
             "start:\n"
             "da\n"
             "item 部屋へ, main.room\n"
             "item 外へ, main.out\n"
             "select\n"
             "room:\n"
             "どうする？\n"
             "\\b\n"
             "item 右, main.room\n"
             "item 左, main.left\n"
             "select\n"
             "left:\n"
             "ひだり。\n"
             "\\b\n"
             "go room\n"
             "out:\n"
             "restarttitle\n");
    const ToolResult trapped = Routes();
    EXPECT_EQ(trapped.status, 1) << trapped.out;
    EXPECT_NE(trapped.out.find("main.txt:11: error: no route from this choice ever ends: every "
                               "branch comes back to a choice already offered, and the reader can "
                               "only quit [choices: 部屋へ]"),
              std::string::npos)
        << trapped.out;
    EXPECT_EQ(Lines(trapped.out, ": error:"), 1) << trapped.out;

    // One way out is enough.
    Scenario("main",
             "start:\n"
             "da\n"
             "room:\n"
             "どうする？\n"
             "\\b\n"
             "item 右, main.room\n"
             "item 出る, main.out\n"
             "select\n"
             "out:\n"
             "restarttitle\n");
    const ToolResult free = Routes();
    EXPECT_EQ(free.status, 0) << free.out;
    EXPECT_EQ(Lines(free.out, ": error:"), 0) << free.out;
}

TEST_F(RoutesCommand, AClickWaitWhileDrawingIsStoppedIsNamedOnceAtItsFirstPage) {
    Scenario("main",
             "start:\n"
             "はじまり。\n"
             "\\b\n"
             "まっくら。\n"
             "\\b\n"
             "da\n"
             "みえる。\n"
             "\\b\n"
             "dd\n"
             "playending 1000, ed_back\n"
             "restarttitle\n");
    const ToolResult result = Routes();
    EXPECT_EQ(result.status, 1) << result.out;
    EXPECT_NE(result.out.find("game/scenario/main.txt:2: error: the reader waits for a click while "
                              "drawing is stopped"),
              std::string::npos)
        << result.out;
    EXPECT_EQ(Lines(result.out, "while drawing is stopped"), 1) << result.out;
    // After the staff roll the story goes on with drawing stopped.
    Scenario("main",
             "start:\n"
             "da\n"
             "playending 1000, ed_back\n"
             "おしまい。\n"
             "\\b\n"
             "restarttitle\n"
             "late:\n"
             "とちゅうから。\n"
             "\\b\n"
             "restarttitle\n");
    const ToolResult after = Routes();
    EXPECT_NE(after.out.find("main.txt:4: error: the reader waits for a click while drawing is "
                             "stopped"),
              std::string::npos)
        << after.out;
    // A game started at another label starts with drawing stopped too.
    const ToolResult from = Routes({"--from", "main.late"});
    EXPECT_NE(from.out.find("main.txt:8: error: the reader waits for a click while drawing is "
                            "stopped"),
              std::string::npos)
        << from.out;
    EXPECT_NE(result.out.find("main.txt:10: ending: staff roll (1000,ed_back,,) [no choice]"),
              std::string::npos)
        << result.out;
}

TEST_F(RoutesCommand, RoutesThatAnEndingOpensArePlayedWithTheSharedDataItLeaves) {
    Scenario("main",
             "start:\n"
             "up plays\n"
             "da\n"
             "item 海へ行く, main.sea\n"
             "if clear == 1\n"
             "item 秘密の道, main.secret\n"
             "endif\n"
             "select\n"
             "sea:\n"
             "let clear, 1\n"
             "restarttitle\n"
             "secret:\n"
             "ひみつ。\n"
             "\\b\n"
             "go nowhere\n"
             "restarttitle\n");
    const ToolResult result = Routes();
    EXPECT_EQ(result.status, 1) << result.out;
    EXPECT_NE(result.out.find("main.txt:15: error: there is no label nowhere: the jump fails and "
                              "the story runs on with the next line (ラベル表現'nowhere'が不正で"
                              "す。) [choices: 海へ行く > (a new game from the title) > 秘密の道]"),
              std::string::npos)
        << result.out;
    EXPECT_EQ(Lines(result.out, ": warning:"), 0) << result.out;
    // A play counter read by nothing opens no new game: two games, not sixteen.
    EXPECT_NE(result.out.find("\n2 games from the title, "), std::string::npos) << result.out;
}

TEST_F(RoutesCommand, AreasAreClickedAndPointedAtAsBranches) {
    Scenario("main",
             "start:\n"
             "da\n"
             "er 0, 0, 100, 100, main.left, main.hover\n"
             "er 200, 0, 100, 100, main.right\n"
             "selecter\n"
             "left:\n"
             "restarttitle\n"
             "hover:\n"
             "restarttitle\n"
             "right:\n"
             "go nowhere\n"
             "restarttitle\n");
    const ToolResult result = Routes();
    EXPECT_EQ(result.status, 1) << result.out;
    EXPECT_NE(result.out.find("main.txt:7: end: the route returns to the title [choices: [click "
                              "the area 0,0-100,100: main.left]]"),
              std::string::npos)
        << result.out;
    EXPECT_NE(result.out.find("main.txt:9: end: the route returns to the title [choices: [point "
                              "at the area 0,0-100,100: main.hover]]"),
              std::string::npos)
        << result.out;
    EXPECT_NE(result.out.find("main.txt:11: error: there is no label nowhere"), std::string::npos)
        << result.out;
}

TEST_F(RoutesCommand, TheStateLimitStopsAndSaysWhatWasLeftAndJsonSaysTheSame) {
    std::string text = "start:\nda\n";
    // Ten choices in a row, each remembered: 1,024 roads that never merge.
    for (int i = 0; i < 10; ++i) {
        const std::string n = std::to_string(i);
        text += "item 右, main.r" + n + "\nitem 左, main.l" + n + "\nselect\n";
        text += "r" + n + ":\nup route, " + std::to_string(1 << i) + "\ngo c" + n + "\n";
        text += "l" + n + ":\nc" + n + ":\nページ。\n\\b\n";
    }
    text += "if route == 9999\nrestarttitle\nendif\nrestarttitle\n";
    Scenario("main", text);
    const ToolResult result = Routes({"--limit", "states=50"});
    EXPECT_EQ(result.status, 0) << result.out;
    EXPECT_NE(result.out.find("note: the states limit (states=50 "), std::string::npos)
        << result.out;
    EXPECT_NE(result.out.find("were not played"), std::string::npos) << result.out;
    EXPECT_NE(result.out.find("note: not played: the route after choices: "), std::string::npos)
        << result.out;
    EXPECT_NE(result.out.find("before the states limit stopped the routes"), std::string::npos)
        << result.out;

    const ToolResult json = Routes({"--json", "--limit", "states=50"});
    EXPECT_NE(json.out.find("\"complete\": false"), std::string::npos) << json.out;
    EXPECT_NE(json.out.find("\"limit\": \"states\""), std::string::npos) << json.out;
    EXPECT_TRUE(std::regex_search(json.out, std::regex("\"unexplored\": [1-9]"))) << json.out;
    EXPECT_NE(json.out.find("\"unplayed\": [[\""), std::string::npos) << json.out;

    // Without the limit every road is played, merged where it meets another.
    const ToolResult whole = Routes({"--json"});
    EXPECT_EQ(whole.status, 0) << whole.out;
    EXPECT_NE(whole.out.find("\"complete\": true"), std::string::npos) << whole.out;
    EXPECT_NE(whole.out.find("{\"kind\": \"end\", \"place\": \"game/scenario/main.txt:"),
              std::string::npos)
        << whole.out;
}

TEST_F(RoutesCommand, AGameWithHugeVariablesMeetsTheMemoryLimitInsteadOfTakingAllMemory) {
    std::string systemInfo = kSystemInfo;
    std::string variables;
    for (int i = 0; i < 300; ++i)
        variables += "pad" + std::to_string(i) + "=" + std::string(200, 'x') + "\n";
    systemInfo.insert(systemInfo.find("[shared]"), variables);
    WriteGameText(folder / "game" / "SystemInfo.ini", systemInfo);
    std::string text = "start:\nda\n";
    for (int i = 0; i < 12; ++i) {
        const std::string n = std::to_string(i);
        text += "item 右, main.r" + n + "\nitem 左, main.l" + n + "\nselect\n";
        text += "r" + n + ":\nup route, " + std::to_string(1 << i) + "\n";
        text += "l" + n + ":\n";
    }
    text += "if route == 9999\nrestarttitle\nendif\nrestarttitle\n";
    Scenario("main", text);
    const ToolResult result = Routes({"--limit", "memory=2"});
    EXPECT_EQ(result.status, 0) << result.out;
    EXPECT_NE(result.out.find("note: the memory limit ("), std::string::npos) << result.out;
}

TEST_F(RoutesCommand, ARouteThatRunsPastItsEndIsOneErrorOnStandardOutputOnly) {
    Scenario("main",
             "start:\n"
             "da\n"
             "はじまり。\n"
             "\\b\n");
    const ToolResult result = Routes();
    EXPECT_EQ(result.status, 1) << result.out;
    EXPECT_NE(result.out.find("main.txt:5: error: the route runs past the end of its scenario: the "
                              "player closes"),
              std::string::npos)
        << result.out;
    // What the player would say on its terminal is not said again.
    EXPECT_EQ(result.err, "");
}

TEST_F(RoutesCommand, AStartThatLeadsNowhereIsNamedInItsSystemFile) {
    WriteGameText(folder / "game" / "title_mode.ini", "[menu]\nOmakeEnableFlags=clear\n");
    WriteGameText(folder / "game" / "omake_mode.ini",
                  "[repmode_panel]\npanel01_01=clear,rpp,main.gone\n");
    Scenario("main", "start:\nlet clear, 1\nrestarttitle\n");
    const ToolResult replay = Routes();
    EXPECT_EQ(replay.status, 1) << replay.out;
    EXPECT_NE(replay.out.find("game/omake_mode.ini: error: a scene replay cannot start at "
                              "main.gone: there is no such label [choices: (a new game from the "
                              "title) > (the extras: scene replay main.gone)]"),
              std::string::npos)
        << replay.out;

    WriteGameText(folder / "game" / "SystemInfo.ini",
                  ReplaceText(kSystemInfo, "EntryPoint=main.start", "EntryPoint=mian.start"));
    const ToolResult entry = Routes();
    EXPECT_EQ(entry.status, 1) << entry.out;
    EXPECT_NE(entry.out.find("game/SystemInfo.ini: error: the game cannot start at mian.start: "
                             "its scenario cannot be loaded"),
              std::string::npos)
        << entry.out;
}

TEST_F(RoutesCommand, WrongWordsAreAUsageError) {
    Scenario("main", "start:\nrestarttitle\n");
    EXPECT_EQ(Routes({"--limit", "colours=3"}).status, 2);
    EXPECT_EQ(Routes({"--limit", "states=0"}).status, 2);
    EXPECT_EQ(Routes({"--frobnicate"}).status, 2);
    EXPECT_EQ(RunTool(folder, {"routes", "nothing-here"}).status, 1);
}

}  // namespace
}  // namespace zelk::testing
