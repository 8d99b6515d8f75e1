// The demo game played as a reader would, through the player's scripted
// input: the title, a new game, pages, quick save and load, the log, and
// back to the title.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "modes/play_support.h"

namespace zelk {
namespace {

using testing::Colours;
using testing::CopyOfDemoGame;
using testing::Field;
using testing::RunScript;

std::vector<std::string> StateLines(const std::vector<std::string>& lines) {
    std::vector<std::string> states;
    for (const std::string& line : lines)
        if (line.starts_with("state ")) states.push_back(line);
    return states;
}

TEST(GamePlay, TitleGameQuickSaveLoadLogAndBackToTheTitle) {
    const auto folder = CopyOfDemoGame("game_play");
    if (folder.empty()) GTEST_SKIP() << "the demo game is not packed";
    const std::string shots = folder.string();
    const std::string script =
        "idle\nwait 3500\nidle\nstate\nshot " + shots +
        "/title.png\nrects\n"
        // A new game: the opening movie gives way to a click, then pages.
        "click 150 254\nidle\nstate\nclick 320 240\nidle\nclick 320 240\nidle\n"
        "answer yes\nmenu file!qsave\nidle\nstate\nshot " +
        shots +
        "/page.png\n"
        "click 320 240\nidle\nclick 320 240\nidle\nstate\n"
        "answer yes\nmenu file!qload\nidle\nstate\n"
        "wheel 1\nidle\nstate\nrects\nshot " +
        shots +
        "/log.png\n"
        "wheel -1\nidle\nstate\n"
        "answer yes\nmenu file!title\nidle\nstate\nquit\n";
    const testing::PlayerRun run = RunScript(folder, script);
    ASSERT_EQ(run.status, 0) << run.errors;
    const std::vector<std::string> states = StateLines(run.lines);
    ASSERT_EQ(states.size(), 8u) << run.errors;

    // The title menu, its buttons, quick load and extras disabled.
    EXPECT_EQ(Field(states[0], "mode"), "1");
    EXPECT_EQ(Field(states[0], "sub"), "3");
    size_t menuButtons = 0;
    for (const std::string& line : run.lines)
        if (line.starts_with("rect ") && line.find(" main_menu ") != std::string::npos)
            ++menuButtons;
    EXPECT_EQ(menuButtons, 5u);
    EXPECT_GT(Colours(shots + "/title.png", 0, 0, 640, 480), 16u);

    // The game: the movie, then the pages.
    EXPECT_EQ(Field(states[1], "mode"), "2");
    const std::string saved = states[2];
    EXPECT_EQ(Field(saved, "sub"), "9");
    EXPECT_EQ(Field(saved, "wait"), "4");
    EXPECT_FALSE(Field(saved, "text").empty());
    // The text window shows over the scene.
    EXPECT_GT(Colours(shots + "/page.png", 150, 360, 590, 420), 2u);

    // Read on, then the quick load brings back the saved page.
    EXPECT_NE(Field(states[3], "addr"), Field(saved, "addr"));
    EXPECT_EQ(Field(states[4], "script"), Field(saved, "script"));
    EXPECT_EQ(Field(states[4], "addr"), Field(saved, "addr"));
    EXPECT_EQ(Field(states[4], "text"), Field(saved, "text"));

    // The wheel opens the log over the scene; turning it back leaves it.
    EXPECT_EQ(Field(states[5], "sub"), "11");
    bool background = false;
    for (const std::string& line : run.lines)
        if (line.starts_with("rect ") && line.find(" log_bk ") != std::string::npos)
            background = true;
    EXPECT_TRUE(background);
    EXPECT_GT(Colours(shots + "/log.png", 80, 344, 560, 424), 2u);
    EXPECT_EQ(Field(states[6], "sub"), "9");
    EXPECT_EQ(Field(states[6], "addr"), Field(saved, "addr"));

    // Back to the title.
    EXPECT_EQ(Field(states[7], "mode"), "1");
}

}  // namespace
}  // namespace zelk
