// The scripted-input seam as tests outside the repository use it: every
// command answers "ok", a bad line ends the player with status 3, and a
// conversation over standard input goes line by line.
#include <gtest/gtest.h>

#include <SDL_image.h>

#include <algorithm>
#include <chrono>

#include "zelk_process.h"

namespace zelk::testing {
namespace {

long CountOf(const std::vector<std::string>& lines, const std::string& text) {
    return std::count(lines.begin(), lines.end(), text);
}

bool StartsWith(const std::string& text, const std::string& prefix) {
    return text.rfind(prefix, 0) == 0;
}

TEST(InputScript, EveryCommandIsCarriedOutAndAnswered) {
    const fs::path folder = CopyOfDemoGame("zelk-input-all");
    if (folder.empty()) GTEST_SKIP() << "the demo game is not packed";
    const std::string shot = (folder / "screen.png").string();
    const std::string shotwin = (folder / "window.png").string();
    const PlayerRun run = RunScript(folder,
                                    "# a comment, then a blank line\n\n"
                                    "idle\n"
                                    "move 10 10\n"
                                    "click 320 240\n"
                                    "rclick 320 240\n"
                                    "dclick 100 100\n"
                                    "wheel 2\n"
                                    "wheel -1\n"
                                    "key Return\n"
                                    "key alt+Return\n"
                                    "key alt+Return\n"
                                    "hold ctrl 300\n"
                                    "answer yes\n"
                                    "wait 50\n"
                                    "menu screen!window\n"
                                    "idle\n"
                                    "state\n"
                                    "rects\n"
                                    "shot " +
                                        shot +
                                        "\n"
                                        "shotwin " +
                                        shotwin +
                                        "\n"
                                        "quit\n");
    EXPECT_EQ(run.status, 0) << run.errors;
    EXPECT_EQ(CountOf(run.lines, "ok"), 20);
    const auto state =
        std::find_if(run.lines.begin(), run.lines.end(),
                     [](const std::string& line) { return StartsWith(line, "state "); });
    ASSERT_NE(state, run.lines.end());
    EXPECT_TRUE(StartsWith(*state, "state mode=1 sub=")) << *state;
    EXPECT_NE(state->find(" screen=1 "), std::string::npos) << *state;
    EXPECT_NE(state->find(" text="), std::string::npos);
    // Each command is echoed to standard error as it starts.
    EXPECT_NE(run.errors.find("input: click 320 240\n"), std::string::npos);
    EXPECT_EQ(run.errors.find("input: # a comment"), std::string::npos);

    SDL_Surface* screen = IMG_Load(shot.c_str());
    ASSERT_NE(screen, nullptr);
    EXPECT_EQ(screen->w, 640);
    EXPECT_EQ(screen->h, 480);
    SDL_FreeSurface(screen);
    SDL_Surface* window = IMG_Load(shotwin.c_str());
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(window->w, 640);
    EXPECT_GT(window->h, 480);  // the menu bar above the picture
    SDL_FreeSurface(window);
    // A normal close writes the reader's files.
    EXPECT_TRUE(fs::exists(folder / "savedata" / "config.ini"));
    fs::remove_all(folder);
}

TEST(InputScript, AMalformedOrUnknownLineEndsThePlayerWithStatusThree) {
    const fs::path folder = CopyOfDemoGame("zelk-input-bad");
    if (folder.empty()) GTEST_SKIP() << "the demo game is not packed";
    for (const char* bad : {"click 10\n", "frobnicate\n", "click 640 10\n", "key NoSuchKey\n",
                            "menu file!nothing\n", "wait soon\n", "dialog tab system\n"}) {
        const PlayerRun run = RunScript(folder, std::string("idle\n") + bad + "quit\n");
        EXPECT_EQ(run.status, 3) << bad;
        ASSERT_FALSE(run.lines.empty()) << bad;
        EXPECT_TRUE(StartsWith(run.lines.back(), "error ")) << bad << run.lines.back();
        EXPECT_EQ(CountOf(run.lines, "ok"), 1) << bad;
    }
    fs::remove_all(folder);
}

TEST(InputScript, MoreWheelNotchesThanTheQueueHoldsAreAnErrorNotAHang) {
    const fs::path folder = CopyOfDemoGame("zelk-input-wheel");
    if (folder.empty()) GTEST_SKIP() << "the demo game is not packed";
    // The largest count was turned notch by notch for ages; the most
    // negative one had no magnitude at all.
    for (const char* notches : {"9223372036854775807", "-9223372036854775808"}) {
        const PlayerRun run = RunScript(folder, std::string("idle\nwheel ") + notches + "\nquit\n");
        EXPECT_EQ(run.status, 3) << notches;
        ASSERT_FALSE(run.lines.empty()) << notches;
        EXPECT_EQ(run.lines.back(), "error event queue full") << notches;
    }
    // A reader's few notches still turn.
    const PlayerRun run = RunScript(folder, "idle\nwheel -3\nquit\n");
    EXPECT_EQ(run.status, 0) << run.errors;
    EXPECT_EQ(CountOf(run.lines, "ok"), 3);
    fs::remove_all(folder);
}

TEST(InputScript, IdleGivesUpWithTheStateLine) {
    const fs::path folder = CopyOfDemoGame("zelk-input-timeout");
    if (folder.empty()) GTEST_SKIP() << "the demo game is not packed";
    // The about box keeps the player in a window's loop: never idle.
    const PlayerRun run =
        RunScript(folder, "idle\nmenu help!version\nidle\nquit\n", "ZELK_INPUT_TIMEOUT=300");
    EXPECT_EQ(run.status, 3);
    ASSERT_GE(run.lines.size(), 2u);
    EXPECT_EQ(run.lines[run.lines.size() - 2], "error idle timeout");
    EXPECT_TRUE(StartsWith(run.lines.back(), "state mode=")) << run.lines.back();
    fs::remove_all(folder);
}

TEST(InputScript, StandardInputDrivesThePlayerLineByLine) {
    const fs::path folder = CopyOfDemoGame("zelk-input-stdin");
    if (folder.empty()) GTEST_SKIP() << "the demo game is not packed";
    Conversation player(folder);
    EXPECT_EQ(player.Say("idle"), std::vector<std::string>{"ok"});
    const auto state = player.Say("state");
    ASSERT_EQ(state.size(), 2u);
    EXPECT_TRUE(StartsWith(state[0], "state mode=1 ")) << state[0];
    EXPECT_EQ(state[1], "ok");
    // The answer to one line decides the next.
    EXPECT_EQ(
        player.Say(state[0].find(" screen=1 ") != std::string::npos ? "key alt+Return" : "state")
            .back(),
        "ok");
    EXPECT_EQ(player.Say("quit"), std::vector<std::string>{"ok"});
    EXPECT_EQ(player.Wait(), 0);
    fs::remove_all(folder);
}

// A wait passes its whole time even when it is longer than the player's
// longest rest between wakes, and a short one is not held up by that rest.
TEST(InputScript, AWaitLastsItsTimeLongOrShort) {
    const fs::path folder = CopyOfDemoGame("zelk-input-wait");
    if (folder.empty()) GTEST_SKIP() << "the demo game is not packed";
    Conversation player(folder);
    ASSERT_EQ(player.Say("idle"), std::vector<std::string>{"ok"});
    using Clock = std::chrono::steady_clock;
    for (const long ms : {2500L, 30L, 1000L}) {
        const auto start = Clock::now();
        ASSERT_EQ(player.Say("wait " + std::to_string(ms)), std::vector<std::string>{"ok"});
        const auto took =
            std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start).count();
        EXPECT_GE(took, ms) << "wait " << ms;
    }
    EXPECT_EQ(player.Say("quit"), std::vector<std::string>{"ok"});
    EXPECT_EQ(player.Wait(), 0);
    fs::remove_all(folder);
}

}  // namespace
}  // namespace zelk::testing
